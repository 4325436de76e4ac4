// Fuzz target: names compared and folded in ASCII letter case, against the fuzz targets' own
// plain fold.
#include "Rules/CaseText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    const std::string& A = Fields[0];
    const std::string& B = Fields[1];
    bool Same = SameText(A, B);
    Check(Same == SameText(B, A), "symmetric");
    Check(Same == (UpperAscii(A) == UpperAscii(B)), "equal but for ASCII letter case");
    Check(SameText(A, UpperAscii(A)), "a name equals its upper case");
    Check(FoldedText(A) == UpperAscii(A), "folded is the ASCII upper case");
    return 0;
}

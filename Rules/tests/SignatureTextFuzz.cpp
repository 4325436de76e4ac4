// Fuzz target: the signature's position in any text, against a plain search of the upper case.
#include "Rules/SignatureText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Value = NulEnded(Data, Size);
    size_t At = UpperAscii(Value.data()).find("KELVOR");
    Check(SignaturePosition(Value.data()) == (At == std::string::npos ? 0 : int(At) + 1),
          "signature at the first KELVOR in any case");
    return 0;
}

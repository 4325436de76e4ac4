#include "Rules/SignatureText.h"

#include <string>

#include "Rules/CaseText.h"

int SignaturePosition(const char* Value)
{
    size_t At = FoldedText(Value).find("KELVOR");
    return At == std::string::npos ? 0 : int(At) + 1;
}

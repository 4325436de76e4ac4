#include "Setup/base/VarExpand.h"

#include "Setup/base/WinText.h"
#include "Rules/VarExpandText.h"

const size_t PasStringSize = 521;

// The rule is applied here rather than by ExpandEnvironmentStringsA: that call takes and gives at
// most 32K characters, and beyond that it returns a cut text, or none at all for a longer input,
// without saying so; a value or path cut that way would be written as if it were whole.
std::string ExpandVars(const std::string& Text)
{
    return ExpandText(Text.c_str(), ReadEnv);
}

std::string ExpandEnvPasString(const std::string& S)
{
    std::string Expanded = ExpandVars(S);
    size_t Need = Expanded.size() + 1;   // the NUL counts, as it does in the fixed buffer
    if (Need > PasStringSize) {
        // S.c_str(): the message ends where the text's first NUL is, as a printed %s would.
        throw EBufferOverflow("Buffersize = " + std::to_string(PasStringSize) +
                              " at ExpandEnvPasString " + S.c_str() + " too small, " +
                              std::to_string(Need) + " required");
    }
    return Expanded;
}

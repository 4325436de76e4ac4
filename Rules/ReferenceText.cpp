#include "Rules/ReferenceText.h"

#include <cctype>
#include <cstring>

// A reference that names a variable: a letter or '_' first, then letters, digits and "_().-"
// (as in "ProgramFiles(x86)").
static bool LooksLikeName(const std::string& Name)
{
    if (Name.empty() || !(std::isalpha((unsigned char)Name[0]) || Name[0] == '_'))
        return false;
    for (unsigned char C : Name)
        if (!std::isalnum(C) && !std::strchr("_().-", C))
            return false;
    return true;
}

bool HasReference(const std::string& Text)
{
    return Text.find('%') != std::string::npos;
}

std::vector<std::string> ReferencedNames(const std::string& Text)
{
    std::vector<std::string> Names;
    size_t Open = Text.find('%');
    while (Open != std::string::npos) {
        size_t Close = Text.find('%', Open + 1);
        if (Close == std::string::npos)
            break;
        std::string Name = Text.substr(Open + 1, Close - Open - 1);
        Open = Text.find('%', Close + 1);
        if (LooksLikeName(Name))
            Names.push_back(Name);
    }
    return Names;
}

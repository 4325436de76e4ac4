#include "Rules/DlgText.h"

#include <cctype>
#include <cstring>

std::string WithNamePart(const std::string& Picked, const char* NamePart)
{
    // An empty name never counts as contained; the search is case-sensitive on purpose, as
    // users have come to expect.
    if (NamePart == nullptr || *NamePart == 0)
        return Picked + (Picked.empty() || Picked.back() != '\\' ? "\\" : "");
    if (Picked.find(NamePart) != std::string::npos)
        return Picked;
    std::string Result = Picked;
    if (Result.empty() || Result.back() != '\\')
        Result += '\\';
    return Result + NamePart;
}

std::string LastComponent(const std::string& Path)
{
    size_t Cut = Path.rfind('\\');
    return Cut == std::string::npos ? Path : Path.substr(Cut + 1);
}

// Text starts with Prefix (lower case) in any letter case.
static bool StartsWithNoCase(const char* Text, const char* Prefix)
{
    for (; *Prefix; ++Text, ++Prefix)
        if (std::tolower(static_cast<unsigned char>(*Text)) != *Prefix)
            return false;   // also at the end of Text, whose NUL matches no letter
    return true;
}

bool IsWebAddress(const char* Text)
{
    if (Text == nullptr)
        return false;
    size_t Prefix = StartsWithNoCase(Text, "http://")    ? 7
                    : StartsWithNoCase(Text, "https://") ? 8
                                                          : 0;
    return Prefix != 0 && std::strlen(Text) > Prefix;
}

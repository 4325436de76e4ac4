#include "Rules/DlgText.h"

#include <cstring>

#include "Rules/CaseText.h"

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

bool IsWebAddress(const char* Text)
{
    if (Text == nullptr)
        return false;
    size_t Prefix = StartsWithText(Text, "http://") ? 7 : StartsWithText(Text, "https://") ? 8 : 0;
    return Prefix != 0 && std::strlen(Text) > Prefix;
}

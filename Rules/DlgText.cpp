#include "Rules/DlgText.h"

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

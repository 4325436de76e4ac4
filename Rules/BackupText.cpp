#include "Rules/BackupText.h"

std::string NumberedName(const std::string& Name, int Number)
{
    size_t Dot = Name.rfind('.');
    if (Dot == std::string::npos || Dot == 0)
        Dot = Name.size();
    return Name.substr(0, Dot) + " (" + std::to_string(Number) + ")" + Name.substr(Dot);
}

std::string BackupKeptLine(const std::string& B)
{
    return B + "\tkept: its backup failed, and a quiet run overwrites nothing without it";
}

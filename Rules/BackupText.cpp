#include "Rules/BackupText.h"

#include "Rules/FilesText.h"

std::string BackupName(const std::string& Name, int Number)
{
    return BeforeExtension(Name, " (" + std::to_string(Number) + ")");
}

std::string BackupKeptLine(const std::string& B)
{
    return B + "\tkept: its backup failed, and a quiet run overwrites nothing without it";
}

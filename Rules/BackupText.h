// Text rules of the backup that goes before an overwrite, without the system: the names a backup
// may take beside earlier ones, and the line of a file kept because its backup failed.
#pragma once
#include <string>

// Name with " (Number)" before its extension (see BeforeExtension): "lib.dll" and 2 give
// "lib (2).dll".
std::string BackupName(const std::string& Name, int Number);

// The log line of the system's file B when a quiet run keeps it: its backup failed, and nobody was
// there to agree to an overwrite without one.
std::string BackupKeptLine(const std::string& B);

// Installing one file: copy it unless the file already on the system is newer, asking the user
// in the file-conflict dialog when it is, and log the outcome.
#pragma once
#include <cstdint>
#include <string>

// Capacity of the backup directory that the file-conflict dialog edits, NUL included.
const int BackupDirSize = 720;

// Copies the new file A over B unless B is newer (by version, or by date when A has none) and
// the user keeps it. Writes one outcome line (two with a backup) into the log. Returns false
// when the copy itself failed, or when a quiet run kept B because its backup failed: that has
// been shown (or logged) and marked fatal, and the caller must copy nothing more. Ends the run
// when the user cancels the installation.
bool CopyOneFile(const std::string& A, const std::string& B);

// The answer that "always" repeats without asking: the button, whether to back up, and the
// backup directory that the user confirmed with it.
struct TConflictAnswer {
    bool Always;
    int32_t Result;
    bool Backup;
    std::string BackupDir;
};

// The remembered answer, so that a directory walk can keep its own across a subdirectory's.
TConflictAnswer SaveConflictAnswer();
void RestoreConflictAnswer(const TConflictAnswer& Answer);

// Installing one file: copy it unless the file already on the system is newer, asking the user
// in the file-conflict dialog when it is, and log the outcome.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Rules/FilesText.h"
#include "Rules/OptionsText.h"

// What a copy does when the file it replaces is in use: the script's [Options] FilesInUse, set
// by the [Files] section for its run.
extern TFilesInUse FilesInUse;

// An open file, closed when it goes out of scope.
struct THandle {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    THandle() = default;
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    ~THandle() { Close(); }
    void Close()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            CloseHandle(Handle);
        Handle = INVALID_HANDLE_VALUE;
    }
};

// What one open of a file shows before anything else is asked of it.
struct TFirstLook {
    bool Opened;           // opened as the date reader opens it: reading, sharing read only
    bool MayHoldVersion;   // its first bytes allow a version resource
    int64_t WriteTime;     // its exact last-write time
};

// What installing the new file A over B would do, as far as it can be known before anything
// changes. Both files stay open as they were looked at, so that the copy reads the file that was
// weighed, and opens it no second time.
struct TCopyLook {
    THandle Source;      // A, open for reading; INVALID_HANDLE_VALUE when it would not open
    THandle Installed;   // B likewise
    TFirstLook LookA = {}, LookB = {};
    TFileFacts New = {}, Old = {};
    DWORD AttributesB = INVALID_FILE_ATTRIBUTES;
    bool OldMissing = false;     // nothing at B
    bool ReadOnlyB = false;      // B is read-only: someone else's, never replaced
    TCopyPlan Plan = {};         // the decision, with the labels the log shows
    bool AlreadyThere = false;   // no question, and B already is what the copy would make
};

// Looks at A and B and decides, changing nothing on disk. False when A names a device, which is
// never opened (it could wait for input for ever).
bool LookAtCopy(const std::string& A, const std::string& B, TCopyLook& Look);

// Copies the new file A over B unless B is newer (by version, or by date when A has none) and
// the user keeps it. Writes one outcome line (two with a backup) into the log. A B in use is
// dealt with as FilesInUse says: a failed copy, a question, or a replacement at the next restart.
// Returns false when the copy itself failed, or when a quiet run kept B because its backup
// failed: that has been shown (or logged) and marked fatal, and the caller must copy nothing
// more. Ends the run when the user cancels the installation.
bool CopyOneFile(const std::string& A, const std::string& B);

// The first name for a backup of B in Dir that nothing has: B's own, else "name (2).ext",
// "name (3).ext", ... An earlier backup may be the only copy left of an older file, so it is never
// replaced. False when no name is free (or none can be looked at).
bool FreeBackupTarget(const std::string& Dir, const std::string& B, std::string& Target);

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

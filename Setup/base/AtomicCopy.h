// Writing an installed file whole or not at all: the copy is made under a temporary name (in the
// destination folder, or in a folder of the run's own inside it), written through to the disk, and
// takes the final name in one step only then. A run that is killed, a full disk, a vanished source
// or a power cut leave the final name as it was or with the complete new file. Only the run's
// file door copies and removes through these; the decisions go through the door (FileDoor.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Copies From over To (replacing it) with From's last-write time and attributes, but never the
// read-only attribute: a file from a CD must stay replaceable by the next installation. A To that
// is itself read-only is not replaced. On failure removes what it wrote, returns false and leaves
// the system's error code in GetLastError.
bool CopyAtomic(const std::string& From, const std::string& To);

// The same from a source that the caller opened already (for reading, sharing read access at
// most, at any position) and closes itself: one open of a file serves both the look at it and
// its copy. For the many files of an installation: the temporary file is made in a folder of
// the run's own inside To's folder, which RemoveStagingDirs removes again.
bool CopyAtomic(HANDLE Source, const std::string& To);

// Called between the chunks of a file larger than one, with the bytes copied so far: false stops
// the copy, which then fails with ERROR_CANCELLED and leaves its destination as it was. Set by
// whoever shows the copies' progress; none by default.
typedef bool (*TCopyChunkDone)(uint64_t Copied);
extern TCopyChunkDone CopyChunkDone;

// Removes the folders of the run's own that the copies made (each empty once its copy is done).
void RemoveStagingDirs();

// Whether replacing the file at Path would fail now because a program uses it: someone holds it
// open without sharing it, or it runs or is loaded as a program. Changes nothing.
bool FileInUseNow(const std::string& Path);

// For a To that is in use: writes the new file (Source as above, or INVALID_HANDLE_VALUE to open
// From by its name) whole under its waiting name beside To (WaitingFileName), and has Windows
// put it in To's place at its next start, once however often the file is installed before. A
// successful copy to To later, in this run or another, takes the rename back and removes the
// waiting file. False when the waiting file can't be written, or when the system refuses the
// rename (Refused; the waiting file is gone again); the system's error code is in GetLastError.
bool CopyAtRestart(HANDLE Source, const std::string& From, const std::string& To, bool& Refused);

// The attributes and last-write time of an open file, asked in the cheapest way the system has.
bool FileBasics(HANDLE File, DWORD& Attributes, FILETIME& Written);

// The attributes that a copy of a file with SourceAttributes gets, as far as the copy decides
// them (the file system adds its own, such as "archive" for every new file).
DWORD CopiedAttributes(DWORD SourceAttributes);

// Where the system keeps the renames it carries out at its next start.
extern const char* const SessionManagerKey;

// The file that waits beside To for the next restart.
std::string WaitingFor(const std::string& To);

// Whether the system's list renames Waiting at its next start already.
bool RenameScheduled(const std::string& Waiting);

// Removes the temporary files (and folders) that killed runs left in Dir (a file that another
// running installation still writes can't be removed and stays); files that wait there for the
// next restart stay. Each folder is looked at once a run.
void RemoveStaleTemps(const std::string& Dir);

// Whether a replacement of To that an earlier run scheduled waits for the next restart: a copy to
// To takes it back.
bool ReplacementWaits(const std::string& To);

// Takes back the rename of Waiting at the next restart and removes Waiting; false when the
// system's list keeps the rename.
bool WithdrawRestart(const std::string& Waiting);

// Has Waiting put in To's place at the next restart again, as CopyAtRestart scheduled it.
bool RestartReplaces(const std::string& Waiting, const std::string& To);

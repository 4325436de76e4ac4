// Files that the run writes or removes in folders that others may write too: the temporary folder
// (for a run as SYSTEM, the one that every user can write), an installation folder that exists
// already. A file there that has a second name (a hard link) or is a link (a reparse point) belongs
// to someone else, and writing or removing it would change that other file.
#pragma once
#include <windows.h>

#include <string>

// True when the open File has more than one name or is a link, and so is not ours to change; also
// when the system can't tell.
bool IsForeignFile(HANDLE File);

// What OpenOwnFile found at its path.
enum TOwnOpen {
    ooOpened,    // the file is open; Existed tells whether it was there before
    ooForeign,   // a file of someone else's is there: left as it was, nothing open
    ooFailed,    // the system refused (the last error says why)
};

// Opens Path for writing, shared for reading only, without ever writing through a link or second
// name: the file is made when missing; an existing one of ours is appended to (Append) or emptied,
// only after it was found to be ours.
TOwnOpen OpenOwnFile(const std::string& Path, bool Append, HANDLE& File, bool& Existed);

// What OpenOwnFile would find at Path where a file is there, asked with the same access and
// sharing; nothing is made, emptied or written. ooFailed when it can't be opened, and the last
// error says why (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND: none there).
TOwnOpen LookOwnFile(const std::string& Path);

// A new file of ours beside Path, under a name that nobody had (see NumberedName), made for writing
// and shared for reading only; its path in Fresh. INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateBeside(const std::string& Path, std::string& Fresh);

// Removes the file at Path when it is ours: not a link, one name only, and not held open by anyone
// (another running installation's file being written). False when it stays.
bool DeleteOwnFile(const std::string& Path);

// A new temporary file of ours in Dir (a name in the run's temporary format, which a later run
// takes for a killed run's leftover), created for writing and deleting and shared with nobody;
// its path in Temp. A link placed under the name first makes it taken.
HANDLE CreateTemp(const std::string& Dir, DWORD Attributes, std::string& Temp);

// Gives the open file Handle the name To, replacing a file of that name, in one step. Through
// the handle where the system can (one request instead of opening the file again by its name);
// false when it can't, and then the caller moves the file by its name (Tried false).
bool RenameOpenFile(HANDLE Handle, const std::string& To, bool& Tried);

// Gives the temporary file Temp, open as Target and Written whole, the name To (which replaces the
// name there, never writes through it) and closes it; removes it when it can't.
bool PutInPlace(HANDLE Target, const std::string& Temp, const std::string& To, bool Written);

// Writes Text as the whole file To as an installed file is written: a new file of our own beside To, flushed to
// the disk, then given To's name, which replaces whatever had it as a name. A link or another
// file's second name there is never written through: the file it led to stays as it was. False
// with the system's error code in GetLastError when it can't be written.
bool WriteAtomic(const std::string& Text, const std::string& To);

// The whole text of the open File, read from its start.
std::string ReadAllOf(HANDLE File);

// Folders of the run's own in the user's temporary folder (for a run as SYSTEM, the Windows
// folder's Temp, where any user may make folders): named so that no one could know the name
// beforehand, reachable only with the run's own rights, held open while the run uses them so
// that no other run takes them for a killed run's, and removed by a later run only when they
// were made as that run makes its own.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const size_t OwnFolderNameSize = 26;   // a folder's name with its NUL
typedef char TOwnFolderName[OwnFolderNameSize];
typedef void (*TNameFolder)(uint64_t Random, TOwnFolderName& Name);
typedef bool (*TIsFolderName)(const char* Name);

// Whether the run has an administrator's full rights.
bool RunElevated();

// Makes a new folder in Temp (which ends in a backslash) under a name that NameOf makes of a
// random number, with the access list of the run's own folders; Path gets its path, and Held
// the folder, open until the caller closes it. False when none could be made.
bool MakeOwnFolder(const char* Temp, TNameFolder NameOf, std::string& Path, HANDLE& Held);

// A killed run's folder as the temporary folder's listing showed it.
struct TKilledFolder {
    TOwnFolderName Name;
    LONGLONG Id;
};

// The folders in Temp whose names IsName takes, at most so many (the names are taken first, the
// folders looked at after).
const int KilledFoldersAtMost = 16;
std::vector<TKilledFolder> ListKilledFolders(HANDLE Temp, TIsFolderName IsName);

// The folder Found of the folder that Temp holds, opened held (OpenListed) when it was made as
// the run's own folder Own was and is used by no live run; INVALID_HANDLE_VALUE otherwise.
HANDLE OpenKilledFolder(HANDLE Temp, DWORD Serial, const TKilledFolder& Found, HANDLE Own);

// The folder Name, which the listing showed with the number Id, opened held through the folder
// Temp holds (OpenListed); INVALID_HANDLE_VALUE when it isn't what the listing showed, or in use.
HANDLE OpenFolderIn(HANDLE Temp, DWORD Serial, const char* Name, LONGLONG Id);

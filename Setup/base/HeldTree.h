// Folders that the run removes where others may write too: the temporary folder, where a run as
// SYSTEM unpacks and every user may make folders. Nothing in them is reached by its path, which
// someone could swap for a link between a look and the deletion: each folder is held open, every
// entry is opened through the folder's handle, never through a link, checked on its own handle to
// be what the listing showed, and deleted through that handle. A link is removed as a link; what
// it leads to is never touched.
#pragma once
#include <windows.h>

// An entry of a folder as the folder's listing shows it.
struct THeldEntry {
    const wchar_t* Name;   // not NUL-ended
    ULONG NameBytes;
    DWORD Attributes;
    LONGLONG Id;   // the file system's number of the file or folder; 0 where it keeps none
};

// Opens the folder Path for listing it and opening what is in it; INVALID_HANDLE_VALUE when it
// can't. Serial gets its volume's serial number.
HANDLE OpenListing(const char* Path, DWORD& Serial);

// Calls Visit for every entry of the folder that Dir holds ("." and ".." left out); false when
// the folder can't be listed.
typedef void (*THeldVisit)(HANDLE Dir, const THeldEntry& Entry, void* Context);
bool ListHeld(HANDLE Dir, THeldVisit Visit, void* Context);

// Opens Entry of the folder Dir through Dir, never through a link, held (nobody else may delete or
// rename it while it is open) and ready to be deleted, with READ_CONTROL as well. The handle is
// checked: INVALID_HANDLE_VALUE when what was opened is not what the listing showed (a link now,
// another file or folder, another volume than Serial), or when it is in use.
HANDLE OpenListed(HANDLE Dir, const THeldEntry& Entry, DWORD Serial);

// Removes everything in the folder Dir holds (opened by OpenListed), the files by two threads,
// then the folder itself, which goes when Dir is closed. False when something stays.
bool RemoveHeldTree(HANDLE Dir, DWORD Serial);

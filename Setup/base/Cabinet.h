// Files as the system's cabinet library (cabinet.dll) reads and writes them through its
// callbacks: each handle is a window on a Win32 file, so that the cabinet inside the program's
// own file, after its image, reads as a file of its own; or a block of memory.
#pragma once
#include <windows.h>

#include <cstdint>

#include "Rules/BundleText.h"

struct TCabFile {
    HANDLE File = INVALID_HANDLE_VALUE;
    bool Owned = true;            // the file is closed with the window
    uint64_t Base = 0;            // where the window begins in File
    uint64_t Size = UINT64_MAX;   // how far reads may go; writes make it grow
    uint64_t At = 0;              // position in the window
    char* Memory = nullptr;       // not null: the window is this block of Size bytes instead
};

// A window on File from Base on, Size bytes long (UINT64_MAX: to its end), or on a block of
// memory; the value is what the callbacks take as the handle. Owned: File was opened for the
// window just now, its pointer at its start, and is closed with it.
intptr_t OpenCabWindow(HANDLE File, bool Owned, uint64_t Base, uint64_t Size);
intptr_t OpenCabMemory(void* Memory, uint64_t Size);

// The operations of the callbacks, with the C library's meanings: a count, or UINT_MAX (-1 for
// the others) on failure; Seek takes SEEK_SET, SEEK_CUR or SEEK_END and gives the new position.
// Writes to a block of memory never go past its end.
unsigned ReadCab(intptr_t Handle, void* Data, unsigned Count);
unsigned WriteCab(intptr_t Handle, const void* Data, unsigned Count);
long SeekCab(intptr_t Handle, long Distance, int From);
int CloseCab(intptr_t Handle);

// A file named Path opened as the library asks with its _O_ flags (read, write, create,
// truncate); -1 when it can't be opened.
intptr_t OpenCabPath(const char* Path, int Flags);

// Where the parts of the program file File end (ReadPeLayout, with its string table read); the
// file's pointer is left at its start. False when it can't be read.
bool ReadImageLayout(HANDLE File, TPeLayout& Layout);

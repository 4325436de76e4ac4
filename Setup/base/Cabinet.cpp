#include "Setup/base/Cabinet.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <climits>
#include <cstring>

static TCabFile* Window(intptr_t Handle)
{
    return reinterpret_cast<TCabFile*>(Handle);
}

// Where the reads and writes through the windows left their files' pointers: the library reads
// and writes each file mostly in order, but alternates between files (the cabinet and the file it
// unpacks), and under Wine a seek that changes nothing still costs a round trip.
struct TFilePosition {
    HANDLE File;
    uint64_t At;
};
static TFilePosition Positions[8];
static unsigned NextPosition;

static TFilePosition* PositionOf(HANDLE File)
{
    for (TFilePosition& Known : Positions)
        if (Known.File == File)
            return &Known;
    return nullptr;
}

// What a window knows of its file's pointer when it opens: at the start of a file just opened for
// it, else nothing (another window or the caller may have moved it).
static void OpenPosition(HANDLE File, bool AtStart)
{
    TFilePosition* Known = PositionOf(File);
    if (!Known && AtStart) {
        Known = &Positions[NextPosition++ % (sizeof Positions / sizeof Positions[0])];
        Known->File = File;
    }
    if (Known && AtStart)
        Known->At = 0;
    else if (Known)
        Known->File = nullptr;
}

// Moves the file's pointer to the window's position; always true for memory.
static bool Position(TCabFile* Cab)
{
    uint64_t To = Cab->Base + Cab->At;
    if (Cab->Memory)
        return true;
    TFilePosition* Known = PositionOf(Cab->File);
    if (Known && Known->At == To)
        return true;
    LARGE_INTEGER Where;
    Where.QuadPart = LONGLONG(To);
    if (Known)
        Known->File = nullptr;
    return SetFilePointerEx(Cab->File, Where, nullptr, FILE_BEGIN);
}

// After a read or write of Done bytes at the window's position.
static void Moved(TCabFile* Cab, DWORD Done)
{
    TFilePosition* Known = PositionOf(Cab->File);
    if (!Known) {
        Known = &Positions[NextPosition++ % (sizeof Positions / sizeof Positions[0])];
        Known->File = Cab->File;
    }
    Known->At = Cab->Base + Cab->At + Done;
}

intptr_t OpenCabWindow(HANDLE File, bool Owned, uint64_t Base, uint64_t Size)
{
    if (File != INVALID_HANDLE_VALUE)
        OpenPosition(File, Owned);   // an owned file was opened for the window just now
    TCabFile* Cab = new TCabFile;
    Cab->File = File;
    Cab->Owned = Owned;
    Cab->Base = Base;
    Cab->Size = Size;
    return reinterpret_cast<intptr_t>(Cab);
}

intptr_t OpenCabMemory(void* Memory, uint64_t Size)
{
    intptr_t Handle = OpenCabWindow(INVALID_HANDLE_VALUE, false, 0, Size);
    Window(Handle)->Memory = static_cast<char*>(Memory);
    return Handle;
}

intptr_t OpenCabPath(const char* Path, int Flags)
{
    DWORD Access = (Flags & (_O_WRONLY | _O_RDWR)) ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    DWORD How = (Flags & _O_CREAT) ? ((Flags & _O_TRUNC) ? CREATE_ALWAYS : OPEN_ALWAYS)
                                   : ((Flags & _O_TRUNC) ? TRUNCATE_EXISTING : OPEN_EXISTING);
    HANDLE File = CreateFileA(Path, Access, FILE_SHARE_READ, nullptr, How,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    LARGE_INTEGER Size;
    if (File == INVALID_HANDLE_VALUE)
        return -1;
    return OpenCabWindow(File, true, 0, GetFileSizeEx(File, &Size) ? uint64_t(Size.QuadPart) : 0);
}

unsigned ReadCab(intptr_t Handle, void* Data, unsigned Count)
{
    TCabFile* Cab = Window(Handle);
    if (Cab->At >= Cab->Size)
        return 0;
    if (Count > Cab->Size - Cab->At)
        Count = unsigned(Cab->Size - Cab->At);
    DWORD Done = Count;
    if (Cab->Memory)
        std::memcpy(Data, Cab->Memory + Cab->At, Count);
    else if (!Position(Cab) || !ReadFile(Cab->File, Data, Count, &Done, nullptr))
        return UINT_MAX;
    else
        Moved(Cab, Done);
    Cab->At += Done;
    return Done;
}

unsigned WriteCab(intptr_t Handle, const void* Data, unsigned Count)
{
    TCabFile* Cab = Window(Handle);
    DWORD Done = Count;
    if (Cab->Memory) {
        if (Cab->At > Cab->Size || Count > Cab->Size - Cab->At)
            return UINT_MAX;
        std::memcpy(Cab->Memory + Cab->At, Data, Count);
    } else if (!Position(Cab) || !WriteFile(Cab->File, Data, Count, &Done, nullptr) ||
               Done != Count) {
        OpenPosition(Cab->File, false);   // where it stopped, nobody knows
        return UINT_MAX;
    } else {
        Moved(Cab, Done);
    }
    Cab->At += Count;
    if (!Cab->Memory && (Cab->Size == UINT64_MAX || Cab->At > Cab->Size))
        Cab->Size = Cab->At;
    return Count;
}

long SeekCab(intptr_t Handle, long Distance, int From)
{
    TCabFile* Cab = Window(Handle);
    int64_t To = Distance;
    if (From == SEEK_CUR)
        To += int64_t(Cab->At);
    else if (From == SEEK_END)
        To += int64_t(Cab->Size);
    if (To < 0 || To > LONG_MAX)
        return -1;
    Cab->At = uint64_t(To);
    return long(To);
}

int CloseCab(intptr_t Handle)
{
    TCabFile* Cab = Window(Handle);
    OpenPosition(Cab->File, false);   // its value may name another file next
    bool Closed = !Cab->Owned || CloseHandle(Cab->File);
    delete Cab;
    return Closed ? 0 : -1;
}

bool ReadImageLayout(HANDLE File, TPeLayout& Layout)
{
    char Head[4096];   // the headers and the section table
    LARGE_INTEGER Size, At = {};
    DWORD Read = 0;
    if (!GetFileSizeEx(File, &Size) || !SetFilePointerEx(File, At, nullptr, FILE_BEGIN) ||
        !ReadFile(File, Head, sizeof Head, &Read, nullptr))
        return false;
    Layout = ReadPeLayout(Head, Read, uint64_t(Size.QuadPart));
    uint32_t Length = 0;
    At.QuadPart = LONGLONG(Layout.StringTableAt);
    if (Layout.StringTableAt != 0 && SetFilePointerEx(File, At, nullptr, FILE_BEGIN) &&
        ReadFile(File, &Length, sizeof Length, &Read, nullptr) && Read == sizeof Length &&
        Layout.StringTableAt + Length > Layout.ImageEnd)
        Layout.ImageEnd = std::min<uint64_t>(Layout.StringTableAt + Length, Layout.DataEnd);
    At.QuadPart = 0;
    return SetFilePointerEx(File, At, nullptr, FILE_BEGIN);
}

#include "Setup/run/Bundle.h"

#include <windows.h>

#include <aclapi.h>
#include <fdi.h>
#include <sddl.h>

#include <cstdlib>
#include <cstring>

#include "Rules/BundleText.h"
#include "Setup/base/Cabinet.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/HeldTree.h"
#include "Setup/base/OwnFolder.h"
#include "Setup/base/Progress.h"
#include "SysDll/SysDll.h"

namespace {

// The cabinet's name as the library asks to open it: the payload behind the program's image.
const char CabinetName[] = "<payload>";
const DWORD CheckSize = 1 << 16;      // bytes read at a time for the checksum
const uint64_t SlackPerFile = 4096;   // what a file may take beyond its bytes on the disk
const int RemoveTries = 30;           // removing the folder at the end: so many tries,
const DWORD RemoveWaitMs = 100;       // this far apart

struct TUnpack {
    char OwnPath[MAX_PATH];              // the program's own file
    HANDLE Own = INVALID_HANDLE_VALUE;   // open for the unpacking
    uint64_t Base = 0;                   // where the payload begins in it
    TBundleTrailer Trailer;
    char Dir[MAX_PATH] = "";                  // the folder of this run, once made
    HANDLE DirInUse = INVALID_HANDLE_VALUE;   // held while the run uses that folder
    TMediumRecord* Index = nullptr;           // the medium's index, as unpacked
    uint32_t Entries = 0;
    uint32_t Next = 0;     // the record after the last file's
    bool Unsafe = false;   // a name in the cabinet would leave the folder
} Unpack;

// Path opened to be read through from its start, as the check and the unpacking read it.
HANDLE OpenForReading(const char* Path)
{
    return CreateFileA(Path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Whether the bytes of Own from From to To are all zero: what a signing tool puts between the
// image and the signature, to begin it on a whole step, when the image ends off one.
bool OnlyZeros(HANDLE Own, uint64_t From, uint64_t To)
{
    const DWORD ChunkSize = 512;
    char Chunk[ChunkSize];
    LARGE_INTEGER At;
    At.QuadPart = LONGLONG(From);
    if (!SetFilePointerEx(Own, At, nullptr, FILE_BEGIN))
        return false;
    for (uint64_t Left = To - From; Left > 0;) {
        DWORD Read = 0;
        if (!ReadFile(Own, Chunk, Left < ChunkSize ? DWORD(Left) : ChunkSize, &Read, nullptr) ||
            Read == 0)
            return false;
        for (DWORD I = 0; I < Read; ++I)
            if (Chunk[I] != 0)
                return false;
        Left -= Read;
    }
    return true;
}

// Finds the payload: the trailer ends the data before a signature (a signing tool may have
// padded it to whole steps). Damaged: more than the image, but no payload that fits; only zeros
// there are a signed SETUP.EXE's padding, no payload.
bool FindPayload(bool& Damaged)
{
    Damaged = false;
    char* Own = Unpack.OwnPath;
    DWORD Len = GetModuleFileNameA(nullptr, Own, sizeof Unpack.OwnPath);
    Unpack.Own = Len && Len < sizeof Unpack.OwnPath ? OpenForReading(Own) : INVALID_HANDLE_VALUE;
    char Head[BundleTrailerSize];
    DWORD Read = 0;
    TPeLayout Layout;
    if (Unpack.Own == INVALID_HANDLE_VALUE || !ReadImageLayout(Unpack.Own, Layout) ||
        Layout.DataEnd <= Layout.ImageEnd)
        return false;   // nothing appended but, perhaps, a signature: a plain SETUP.EXE
    Damaged = true;
    for (uint64_t Pad = 0; Pad < BundleAlign; ++Pad) {
        LARGE_INTEGER At;
        At.QuadPart = LONGLONG(Layout.DataEnd - BundleTrailerSize - Pad);
        if (uint64_t(At.QuadPart) < Layout.ImageEnd || At.QuadPart < 0 ||
            !SetFilePointerEx(Unpack.Own, At, nullptr, FILE_BEGIN) ||
            !ReadFile(Unpack.Own, Head, BundleTrailerSize, &Read, nullptr) ||
            Read != BundleTrailerSize || !DecodeBundleTrailer(Head, Unpack.Trailer))
            continue;
        if (Unpack.Trailer.PayloadSize > uint64_t(At.QuadPart) - Layout.ImageEnd)
            return false;
        Unpack.Base = uint64_t(At.QuadPart) - Unpack.Trailer.PayloadSize;
        Damaged = false;
        return true;
    }
    Damaged = !OnlyZeros(Unpack.Own, Layout.ImageEnd, Layout.DataEnd);
    return false;
}

// Whether the payload read through Own (at any position) has the trailer's checksum.
bool PayloadIntact(HANDLE Own)
{
    char* Buffer = static_cast<char*>(std::malloc(CheckSize));
    LARGE_INTEGER At;
    At.QuadPart = LONGLONG(Unpack.Base);
    bool Ok = Buffer && SetFilePointerEx(Own, At, nullptr, FILE_BEGIN);
    uint32_t Crc = 0;
    for (uint64_t Left = Unpack.Trailer.PayloadSize; Ok && Left > 0;) {
        DWORD Read = 0;
        Ok = ReadFile(Own, Buffer, Left < CheckSize ? DWORD(Left) : CheckSize, &Read, nullptr) &&
             Read > 0;
        Crc = Crc32(Crc, Buffer, Read);
        Left -= Read;
    }
    std::free(Buffer);
    return Ok && SealedCrc(Crc, Unpack.Trailer) == Unpack.Trailer.Crc;
}

// The check of the payload runs in a thread of its own while the medium unpacks: it reads the
// whole payload once more, which for a large medium takes half as long as the unpacking, and a
// second processor does it meanwhile. The run waits for the verdict before it goes on; what a
// damaged payload unpacked until then lies in the run's own folder only, and goes with it.
struct TCheck {
    HANDLE File = INVALID_HANDLE_VALUE;   // the program file, opened again for the thread
    HANDLE Thread = nullptr;
    bool Intact = false;
} Check;

DWORD WINAPI CheckPayload(void*)
{
    Check.Intact = PayloadIntact(Check.File);
    return 0;
}

// Starts the check; where no thread can start, checks here and now.
void StartCheck()
{
    Check.File = OpenForReading(Unpack.OwnPath);
    if (Check.File != INVALID_HANDLE_VALUE)
        Check.Thread = CreateThread(nullptr, 0, CheckPayload, nullptr, 0, nullptr);
    if (!Check.Thread)
        Check.Intact = PayloadIntact(Unpack.Own);
}

// The verdict of the check, once it is done.
bool CheckedIntact()
{
    if (Check.Thread) {
        WaitForSingleObject(Check.Thread, INFINITE);
        CloseHandle(Check.Thread);
    }
    if (Check.File != INVALID_HANDLE_VALUE)
        CloseHandle(Check.File);
    return Check.Intact;
}

// The folders of bundle runs that were killed, found in the folder Temp holds, are removed
// through the run's door (a plan's removes none). A folder is not renamed first: under Wine a
// rename goes by the folder's path, and a program of the machine's own that swaps that path for a
// link makes it move what the link leads to.
void RemoveStaleFolders(const char* Temp)
{
    DWORD Serial;
    HANDLE Dir = OpenListing(Temp, Serial);
    if (Dir == INVALID_HANDLE_VALUE)
        return;
    for (const TKilledFolder& Found : ListKilledFolders(Dir, IsBundleDirName)) {
        HANDLE Folder = OpenKilledFolder(Dir, Serial, Found, Unpack.DirInUse);
        if (Folder != INVALID_HANDLE_VALUE) {
            Files().RemoveKilledFolder(Folder, Serial);
            CloseHandle(Folder);
        }
    }
    CloseHandle(Dir);
}

// A new folder in Temp whose name no one could know beforehand, held open so that no other run
// takes it for a killed run's leftover. A name that exists already is never used.
bool MakeOwnFolder(const char* Temp)
{
    std::string Path;
    if (std::strlen(Temp) + BundleDirNameSize <= sizeof Unpack.Dir &&
        ::MakeOwnFolder(Temp, BundleDirName, Path, Unpack.DirInUse)) {
        std::memcpy(Unpack.Dir, Path.c_str(), Path.size() + 1);
        return true;
    }
    Unpack.Dir[0] = '\0';
    return false;
}

// The callbacks of the cabinet library; it calls them with the C calling convention.
void* __cdecl UnpackAlloc(ULONG Size)
{
    return std::malloc(Size);
}
void __cdecl UnpackFree(void* Memory)
{
    std::free(Memory);
}
INT_PTR __cdecl UnpackOpen(char* Name, int, int)
{
    if (std::strcmp(Name, CabinetName) != 0)
        return -1;
    return OpenCabWindow(Unpack.Own, false, Unpack.Base, Unpack.Trailer.PayloadSize);
}
UINT __cdecl UnpackRead(INT_PTR File, void* Data, UINT Count)
{
    return ReadCab(File, Data, Count);
}
UINT __cdecl UnpackWrite(INT_PTR File, void* Data, UINT Count)
{
    return WriteCab(File, Data, Count);
}
int __cdecl UnpackClose(INT_PTR File)
{
    return CloseCab(File);
}
LONG __cdecl UnpackSeek(INT_PTR File, LONG Distance, int From)
{
    return SeekCab(File, Distance, From);
}

// The record of the file the library just unpacked: the index lists files in the cabinet's order,
// so it is the next file record, unless the cabinet was packed otherwise.
TMediumRecord* RecordOf(const char* Name)
{
    for (uint32_t Tries = 0; Tries < Unpack.Entries; ++Tries) {
        TMediumRecord& Entry = Unpack.Index[Unpack.Next];
        Unpack.Next = (Unpack.Next + 1) % Unpack.Entries;
        if (!(Entry.Attributes & FolderAttribute) && std::strcmp(Entry.Path, Name) == 0)
            return &Entry;
    }
    return nullptr;
}

const DWORD KeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// The index has been read: every record is checked, and each folder it names is made.
INT_PTR IndexRead(PFDINOTIFICATION Note)
{
    char Path[2 * MAX_PATH];
    CloseCab(Note->hf);
    for (uint32_t I = 0; I < Unpack.Entries; ++I) {
        TMediumRecord& Entry = Unpack.Index[I];
        if (!IsSafeMediumRecord(Entry)) {
            Unpack.Unsafe = true;
            return FALSE;
        }
        wsprintfA(Path, "%s\\%s", Unpack.Dir, Entry.Path);
        if (Entry.Attributes & FolderAttribute)
            CreateDirectoryA(Path, nullptr);
    }
    return TRUE;
}

// A new file Name in the run's folder, for the library to write; -1 when it can't be made, or the
// name would leave the folder.
INT_PTR CreateUnpacked(const char* Name)
{
    char Path[2 * MAX_PATH];
    if (!IsSafeMediumPath(Name) || std::strlen(Unpack.Dir) + std::strlen(Name) + 2 > MAX_PATH) {
        Unpack.Unsafe = true;
        return -1;
    }
    wsprintfA(Path, "%s\\%s", Unpack.Dir, Name);
    HANDLE File =
        CreateFileA(Path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
        // A folder the index did not make: those on its way, then the file again.
        for (char* Slash = std::strchr(Path + std::strlen(Unpack.Dir) + 1, '\\'); Slash;
             Slash = std::strchr(Slash + 1, '\\')) {
            *Slash = '\0';
            CreateDirectoryA(Path, nullptr);
            *Slash = '\\';
        }
        File = CreateFileA(Path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    return File == INVALID_HANDLE_VALUE ? -1 : OpenCabWindow(File, true, 0, 0);
}

// The index comes first in the cabinet: every folder is made before the files, and each file
// gets its exact times while it is still open, its attributes when they are not a new file's.
INT_PTR __cdecl UnpackNotify(FDINOTIFICATIONTYPE Type, PFDINOTIFICATION Note)
{
    char Path[2 * MAX_PATH];
    bool Index = std::strcmp(Note->psz1, MediumIndexName) == 0;
    if (Type == fdintCLOSE_FILE_INFO && Index)
        return IndexRead(Note);
    if (Type == fdintCLOSE_FILE_INFO) {
        TMediumRecord* Entry = Unpack.Entries ? RecordOf(Note->psz1) : nullptr;
        HANDLE File = reinterpret_cast<TCabFile*>(Note->hf)->File;
        if (Entry) {
            FILETIME Written = {Entry->TimeLow, Entry->TimeHigh};
            FILETIME Created = {Entry->CreatedLow, Entry->CreatedHigh};
            SetFileTime(File, &Created, nullptr, &Written);
        }
        bool Closed = CloseCab(Note->hf) == 0;
        DWORD Wanted = Entry ? Entry->Attributes & KeptAttributes : 0;
        wsprintfA(Path, "%s\\%s", Unpack.Dir, Note->psz1);
        if (Wanted != 0 && Wanted != FILE_ATTRIBUTE_ARCHIVE)
            SetFileAttributesA(Path, Wanted);
        return Closed;
    }
    if (Type != fdintCOPY_FILE)
        return 0;
    if (Index) {
        Unpack.Entries = uint32_t(Note->cb / sizeof(TMediumRecord));
        Unpack.Index =
            static_cast<TMediumRecord*>(std::calloc(Unpack.Entries + 1, sizeof(TMediumRecord)));
        return Unpack.Index ? OpenCabMemory(Unpack.Index, uint64_t(Note->cb)) : -1;
    }
    ProgressItem(Note->psz1, uint64_t(Note->cb));
    return CreateUnpacked(Note->psz1);
}

typedef HFDI(__cdecl* TFdiCreate)(PFNALLOC, PFNFREE, PFNOPEN, PFNREAD, PFNWRITE, PFNCLOSE, PFNSEEK,
                                  int, PERF);
typedef BOOL(__cdecl* TFdiCopy)(HFDI, char*, char*, int, PFNFDINOTIFY, PFNFDIDECRYPT, void*);
typedef BOOL(__cdecl* TFdiDestroy)(HFDI);
TFdiCreate FdiCreate;
TFdiCopy FdiCopy;
TFdiDestroy FdiDestroy;

bool Extract()
{
    if (!SystemFunc(FdiCreate, "cabinet.dll", "FDICreate") ||
        !SystemFunc(FdiCopy, "cabinet.dll", "FDICopy") ||
        !SystemFunc(FdiDestroy, "cabinet.dll", "FDIDestroy"))
        return false;
    ERF Error = {};
    HFDI Fdi = FdiCreate(UnpackAlloc, UnpackFree, UnpackOpen, UnpackRead, UnpackWrite, UnpackClose,
                         UnpackSeek, cpuUNKNOWN, &Error);
    char Cabinet[] = "<payload>", Path[] = "";
    bool Ok = Fdi && FdiCopy(Fdi, Cabinet, Path, 0, UnpackNotify, nullptr, nullptr) &&
              !Unpack.Unsafe && Unpack.Index;
    if (Fdi)
        FdiDestroy(Fdi);
    return Ok;
}

// Gives the folders the exact times they had on the medium: deepest first, since filling a folder
// changes its time.
bool ApplyIndex()
{
    char Path[2 * MAX_PATH];
    for (uint32_t I = Unpack.Entries; I-- > 0;) {
        TMediumRecord& Entry = Unpack.Index[I];
        if (!(Entry.Attributes & FolderAttribute))
            continue;
        wsprintfA(Path, "%s\\%s", Unpack.Dir, Entry.Path);
        HANDLE Folder = CreateFileA(Path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        FILETIME Written = {Entry.TimeLow, Entry.TimeHigh};
        FILETIME Created = {Entry.CreatedLow, Entry.CreatedHigh};
        if (Folder == INVALID_HANDLE_VALUE || !SetFileTime(Folder, &Created, nullptr, &Written))
            return false;
        CloseHandle(Folder);
        if (Entry.Attributes & (KeptAttributes & ~FILE_ATTRIBUTE_ARCHIVE))
            SetFileAttributesA(Path, Entry.Attributes & KeptAttributes);
    }
    return true;
}

// Unpacks the medium into a new folder of the run's own, while the check runs; Message tells why
// when it did not.
TUnpacked UnpackChecked(std::string& Message)
{
    char Temp[MAX_PATH + 1];
    DWORD Len = GetTempPathA(sizeof Temp, Temp);   // ends in a backslash
    if (Len == 0 || Len >= sizeof Temp) {
        Message = "Error: no temporary folder to unpack the setup into";
        return unFailed;
    }
    // The run's own folder first: a killed run's folder is taken for one of ours only when it
    // was made as this one was (MadeAsOurs).
    bool Made = MakeOwnFolder(Temp);
    if (Made)
        RemoveStaleFolders(Temp);
    ULARGE_INTEGER Free;
    uint64_t Needed = UnpackRoom(Unpack.Trailer, SlackPerFile);
    if (GetDiskFreeSpaceExA(Temp, &Free, nullptr, nullptr) && Free.QuadPart < Needed) {
        char Text[MAX_PATH + 160];
        const uint64_t Mega = 1 << 20;
        wsprintfA(Text,
                  "Not enough space in the temporary folder %s to unpack the setup: %I64u "
                  "MB needed, %I64u MB free.",
                  Temp, Needed / Mega + (Needed % Mega != 0), Free.QuadPart / Mega);
        Message = Text;
        return unNoSpace;
    }
    if (Made && Extract() && ApplyIndex())
        return unDone;
    Message =
        std::string("Error: can't unpack the setup into ") + (*Unpack.Dir ? Unpack.Dir : Temp);
    return unFailed;
}

}   // namespace

TUnpacked UnpackOwnMedium(std::string& MediumDir, std::string& Message)
{
    bool Damaged;
    bool Found = FindPayload(Damaged);
    TUnpacked Outcome = unNone;
    if (Found) {
        StartCheck();
        ProgressStep(StepUnpacking, Unpack.Trailer.UnpackedBytes);
        Outcome = UnpackChecked(Message);
        // A damaged payload is reported as such, whatever else became of the unpacking.
        ProgressStep(StepChecking, 0);
        Damaged = !CheckedIntact();
    }
    CloseHandle(Unpack.Own);
    std::free(Unpack.Index);
    if (Damaged) {
        Message = "This setup file is damaged: part of it is missing or changed. Please "
                  "download it again.";
        return unDamaged;
    }
    if (Outcome == unDone)
        MediumDir = Unpack.Dir;
    return Outcome;
}

void RemoveOwnMedium()
{
    if (!*Unpack.Dir)
        return;
    BY_HANDLE_FILE_INFORMATION Info = {};
    GetFileInformationByHandle(Unpack.DirInUse, &Info);
    CloseHandle(Unpack.DirInUse);
    // The run's current folder is the medium's, and a current folder can't be removed.
    char System[MAX_PATH];
    if (GetSystemDirectoryA(System, sizeof System))
        SetCurrentDirectoryA(System);
    char Temp[sizeof Unpack.Dir];   // the folder's path is Temp and its name
    std::memcpy(Temp, Unpack.Dir, sizeof Temp);
    char* Name = std::strrchr(Temp, '\\');
    *Name++ = '\0';
    // A program the run started may still have the folder as its current one for a moment (or
    // a virus scanner a file in it): try again for a while. What stays, the next bundle run
    // removes.
    for (int Try = 0; Try < RemoveTries; ++Try) {
        DWORD Serial;
        HANDLE Parent = OpenListing(Temp, Serial);
        HANDLE Folder =
            Parent == INVALID_HANDLE_VALUE
                ? INVALID_HANDLE_VALUE
                : OpenFolderIn(Parent, Serial, Name,
                               LONGLONG(Info.nFileIndexHigh) << 32 | Info.nFileIndexLow);
        if (Folder != INVALID_HANDLE_VALUE) {
            RemoveHeldTree(Folder, Serial);
            CloseHandle(Folder);
        }
        if (Parent != INVALID_HANDLE_VALUE)
            CloseHandle(Parent);
        if (GetFileAttributesA(Unpack.Dir) == INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(RemoveWaitMs);
    }
    Unpack.Dir[0] = '\0';
}

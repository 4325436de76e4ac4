#include "Setup/run/Bundle.h"

#include <windows.h>

#include <fci.h>
#include <fcntl.h>

#include <cstdlib>
#include <cstring>

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/BundleText.h"
#include "Rules/ProductText.h"
#include "Rules/SwitchText.h"
#include "Setup/base/Cabinet.h"
#include "Setup/base/Report.h"
#include "Setup/base/WinText.h"
#include "Setup/run/InfDiscovery.h"
#include "SysDll/SysDll.h"

namespace {

// The cabinet's name as the library asks to open it: no file has it; it is the window behind
// the program's image in the bundle being written.
const char CabinetName[] = "<bundle>";
const ULONG CabinetLimit = 0x7FFF0000;   // the largest medium one cabinet holds
const size_t CopySize = 1 << 16;         // bytes copied at a time
const size_t MessageSize = 1024;         // wsprintf writes at most this, with its NUL

struct TPack {
    char Medium[MAX_PATH];   // the folder SETUP.EXE lies in, without trailing backslash
    TMediumRecord* Index;    // every folder and file of the medium
    uint32_t Entries, Capacity;
    uint32_t Files;
    uint64_t Unpacked;
    HANDLE Out;
    uint64_t ImageEnd;   // where the cabinet begins in Out
    bool Ok;
    // [Version] Product, ProductVersion and Publisher of the script, for the version resource.
    std::string Product, Version, Publisher;
    char Refused[MediumPathSize];   // a path that no bundle could unpack; empty for none
} Pack;

// The callbacks of the cabinet library; it calls them with the C calling convention.
void* __cdecl PackAlloc(ULONG Size)
{
    return std::malloc(Size);
}
void __cdecl PackFree(void* Memory)
{
    std::free(Memory);
}
INT_PTR __cdecl PackOpen(char* Name, int Flags, int, int* Err, void*)
{
    if (std::strcmp(Name, CabinetName) == 0)
        return OpenCabWindow(Pack.Out, false, Pack.ImageEnd, 0);
    INT_PTR Handle = OpenCabPath(Name, Flags);
    *Err = int(GetLastError());
    return Handle;
}
UINT __cdecl PackRead(INT_PTR File, void* Data, UINT Count, int*, void*)
{
    return ReadCab(File, Data, Count);
}
UINT __cdecl PackWrite(INT_PTR File, void* Data, UINT Count, int*, void*)
{
    return WriteCab(File, Data, Count);
}
int __cdecl PackClose(INT_PTR File, int*, void*)
{
    return CloseCab(File);
}
LONG __cdecl PackSeek(INT_PTR File, LONG Distance, int From, int*, void*)
{
    return SeekCab(File, Distance, From);
}
int __cdecl PackDelete(char* Name, int*, void*)
{
    return DeleteFileA(Name) ? 0 : -1;
}
BOOL __cdecl PackTempFile(char* Name, int Size, void*)
{
    // The library's own spill files: made new by the system, never one that exists.
    char Dir[MAX_PATH + 1], Temp[MAX_PATH];
    DWORD Len = GetTempPathA(sizeof Dir, Dir);
    if (Len == 0 || Len >= sizeof Dir || GetTempFileNameA(Dir, "skv", 0, Temp) == 0)
        return FALSE;
    if (int(std::strlen(Temp)) < Size) {
        std::strcpy(Name, Temp);
        return TRUE;
    }
    DeleteFileA(Temp);
    return FALSE;
}
int __cdecl PackPlaced(PCCAB, char*, LONG, BOOL, void*)
{
    return 0;
}
BOOL __cdecl PackNextCabinet(PCCAB, ULONG, void*)
{
    return FALSE;
}
LONG __cdecl PackStatus(UINT, ULONG, ULONG, void*)
{
    return 0;
}
INT_PTR __cdecl PackOpenInfo(char* Name, USHORT* Date, USHORT* Time, USHORT* Attributes, int* Err,
                             void*)
{
    FILETIME Written, Local;
    INT_PTR Handle;
    *Attributes = 0;
    if (std::strcmp(Name, MediumIndexName) == 0) {
        GetSystemTimeAsFileTime(&Written);
        Handle = OpenCabMemory(Pack.Index, uint64_t(Pack.Entries) * sizeof(TMediumRecord));
    } else {
        Handle = OpenCabPath(Name, _O_RDONLY);
        BY_HANDLE_FILE_INFORMATION Info;
        if (Handle == -1 ||
            !GetFileInformationByHandle(reinterpret_cast<TCabFile*>(Handle)->File, &Info)) {
            *Err = int(GetLastError());
            if (Handle != -1)
                CloseCab(Handle);
            return -1;
        }
        Written = Info.ftLastWriteTime;
    }
    FileTimeToLocalFileTime(&Written, &Local);
    FileTimeToDosDateTime(&Local, Date, Time);
    return Handle;
}

// Adds every folder and file below Medium\Rel to the index ("" at the top), in the order the
// folder lists them. SETUP.EXE itself (Own, at the top) is not part of the medium, and neither
// is what a link leads to: a link is no file of the medium.
bool ListMedium(const char* Rel, const char* Own)
{
    char Pattern[MAX_PATH];
    wsprintfA(Pattern, *Rel ? "%s\\%s\\*" : "%s%s\\*", Pack.Medium, Rel);
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA(Pattern, &Found);
    if (Search == INVALID_HANDLE_VALUE)
        return true;
    bool Ok = true;
    do {
        const char* Name = Found.cFileName;
        if (!std::strcmp(Name, ".") || !std::strcmp(Name, "..") ||
            (!*Rel && !lstrcmpiA(Name, Own)) ||
            (Found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (Pack.Entries == Pack.Capacity) {
            Pack.Capacity = Pack.Capacity * 2 + 64;
            void* Grown = std::realloc(Pack.Index, Pack.Capacity * sizeof(TMediumRecord));
            if (!Grown)
                return false;
            Pack.Index = static_cast<TMediumRecord*>(Grown);
        }
        TMediumRecord& Entry = Pack.Index[Pack.Entries++];
        std::memset(&Entry, 0, sizeof Entry);
        Entry.Attributes = Found.dwFileAttributes;
        Entry.TimeLow = Found.ftLastWriteTime.dwLowDateTime;
        Entry.TimeHigh = Found.ftLastWriteTime.dwHighDateTime;
        Entry.CreatedLow = Found.ftCreationTime.dwLowDateTime;
        Entry.CreatedHigh = Found.ftCreationTime.dwHighDateTime;
        if (std::strlen(Rel) + std::strlen(Name) + 2 > sizeof Entry.Path)
            return false;   // longer than a path the system takes
        wsprintfA(Entry.Path, *Rel ? "%s\\%s" : "%s%s", Rel, Name);
        if (!IsSafeMediumPath(Entry.Path)) {   // a device's name, which the unpacking refuses
            std::memcpy(Pack.Refused, Entry.Path, sizeof Pack.Refused);
            return false;
        }
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            char Sub[MediumPathSize];
            std::memcpy(Sub, Entry.Path, sizeof Sub);
            Ok = ListMedium(Sub, Own);
        } else {
            ++Pack.Files;
            Pack.Unpacked += (uint64_t(Found.nFileSizeHigh) << 32) | Found.nFileSizeLow;
        }
    } while (Ok && FindNextFileA(Search, &Found));
    FindClose(Search);
    return Ok;
}

bool WriteAll(const void* Data, DWORD Size)
{
    DWORD Done = 0;
    return WriteFile(Pack.Out, Data, Size, &Done, nullptr) && Done == Size;
}

// Copies the program's image to the start of Out, without what a bundle or a signature
// appended to it, and without the signature's entry in its header.
bool CopyImage(const char* OwnPath, char* Buffer)
{
    HANDLE Own = CreateFileA(OwnPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    TPeLayout Layout;
    bool Ok = Own != INVALID_HANDLE_VALUE && ReadImageLayout(Own, Layout);
    Pack.ImageEnd = Layout.ImageEnd;
    for (uint64_t Left = Layout.ImageEnd, At = 0; Ok && Left > 0;) {
        DWORD Read = 0;
        Ok = ReadFile(Own, Buffer, Left < CopySize ? DWORD(Left) : CopySize, &Read, nullptr) &&
             Read > 0;
        if (Ok && At == 0 && Layout.DirectoryAt != 0 && Layout.DirectoryAt + 8 <= Read)
            std::memset(Buffer + Layout.DirectoryAt, 0, 8);
        Ok = Ok && WriteAll(Buffer, Read);
        Left -= Read;
        At += Read;
    }
    if (Own != INVALID_HANDLE_VALUE)
        CloseHandle(Own);
    return Ok;
}

// Without ProductVersion, the product version of the file that ProjectVersionFile names, in
// four parts, as the run takes ProjectVersion from it; "" when there is none.
std::string FileProductVersion(const std::string& Script)
{
    std::string File = ReadProfile("Version", "ProjectVersionFile", Script), Text;
    if (File.empty() || ReadVersionInfo((std::string(Pack.Medium) + "\\" + File).c_str(), Text) < 0)
        return "";
    char Version[ProductVersionSize];
    wsprintfA(Version, "%u.%u.%u.%u", VersionInfo.Major, VersionInfo.Minor, VersionInfo.Release,
              VersionInfo.Build);
    return Version;
}

// Text as the version resource holds it: UTF-16, two bytes a character, without a NUL.
std::string Wide(const std::string& Text)
{
    std::string Out(2 * Text.size() + 2, '\0');
    int Len = MultiByteToWideChar(CP_ACP, 0, Text.data(), int(Text.size()),
                                  reinterpret_cast<wchar_t*>(&Out[0]), int(Text.size() + 1));
    Out.resize(2 * size_t(Len));
    return Out;
}

// Puts the product's version resource over SETUP.EXE's own in the image copied to Out; the
// image stays as it is when the script names no product. False when the image has no version
// resource with the room for it.
bool NameProduct()
{
    if (Pack.Product.empty() && Pack.Version.empty() && Pack.Publisher.empty())
        return true;
    std::string Resource =
        ProductVersionResource(Wide(Pack.Product), Pack.Version, Wide(Pack.Publisher));
    char* Image = static_cast<char*>(std::malloc(size_t(Pack.ImageEnd)));
    LARGE_INTEGER At = {};
    DWORD Read = 0;
    TResourceSpot Spot;
    bool Ok = Image && SetFilePointerEx(Pack.Out, At, nullptr, FILE_BEGIN) &&
              ReadFile(Pack.Out, Image, DWORD(Pack.ImageEnd), &Read, nullptr) &&
              FindVersionResource(Image, Read, Spot) && Resource.size() <= Spot.Length;
    std::free(Image);
    if (!Ok) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    uint32_t Length = uint32_t(Resource.size());
    Resource.resize(size_t(Spot.Length), '\0');   // the rest of the room, cleared
    At.QuadPart = LONGLONG(Spot.DataAt);
    LARGE_INTEGER LengthAt;
    LengthAt.QuadPart = LONGLONG(Spot.LengthAt);
    return SetFilePointerEx(Pack.Out, At, nullptr, FILE_BEGIN) &&
           WriteAll(Resource.data(), DWORD(Resource.size())) &&
           SetFilePointerEx(Pack.Out, LengthAt, nullptr, FILE_BEGIN) &&
           WriteAll(&Length, sizeof Length);
}

// Reads the product's name, version and publisher from Script; false, with the message in
// Text, when the version resource can't take them.
bool ReadProduct(const std::string& Script, char* Text, size_t TextSize)
{
    std::string* Values[] = {&Pack.Product, &Pack.Version, &Pack.Publisher};
    const char* const Keys[] = {ProductKey, ProductVersionKey, PublisherKey};
    for (int I = 0; I < 3; ++I) {
        *Values[I] = ReadProfile("Version", Keys[I], Script.c_str());
        std::string Fault = ProductValueFault(Keys[I], *Values[I]);
        if (!Fault.empty()) {
            std::string Message =
                "Error: [Version] " + Fault + " in " + Script + ": nothing bundled";
            lstrcpynA(Text, Message.c_str(), int(TextSize));
            return false;
        }
    }
    if (Pack.Version.empty() && !(Pack.Product.empty() && Pack.Publisher.empty()))
        Pack.Version = FileProductVersion(Script);
    return true;
}

typedef HFCI(__cdecl* TFciCreate)(PERF, PFNFCIFILEPLACED, PFNFCIALLOC, PFNFCIFREE, PFNFCIOPEN,
                                  PFNFCIREAD, PFNFCIWRITE, PFNFCICLOSE, PFNFCISEEK, PFNFCIDELETE,
                                  PFNFCIGETTEMPFILE, PCCAB, void*);
typedef BOOL(__cdecl* TFciAddFile)(HFCI, char*, char*, BOOL, PFNFCIGETNEXTCABINET, PFNFCISTATUS,
                                   PFNFCIGETOPENINFO, TCOMP);
typedef BOOL(__cdecl* TFciFlushCabinet)(HFCI, BOOL, PFNFCIGETNEXTCABINET, PFNFCISTATUS);
typedef BOOL(__cdecl* TFciDestroy)(HFCI);
TFciCreate FciCreate;
TFciAddFile FciAddFile;
TFciFlushCabinet FciFlushCabinet;
TFciDestroy FciDestroy;

// Writes the cabinet of the medium, its index first, behind the image; its size, or 0.
uint64_t WriteCabinet()
{
    if (!SystemFunc(FciCreate, "cabinet.dll", "FCICreate") ||
        !SystemFunc(FciAddFile, "cabinet.dll", "FCIAddFile") ||
        !SystemFunc(FciFlushCabinet, "cabinet.dll", "FCIFlushCabinet") ||
        !SystemFunc(FciDestroy, "cabinet.dll", "FCIDestroy"))
        return 0;
    CCAB Cab = {};
    Cab.cb = Cab.cbFolderThresh = CabinetLimit;
    std::memcpy(Cab.szCab, CabinetName, sizeof CabinetName);
    ERF Error = {};
    HFCI Fci = FciCreate(&Error, PackPlaced, PackAlloc, PackFree, PackOpen, PackRead, PackWrite,
                         PackClose, PackSeek, PackDelete, PackTempFile, &Cab, nullptr);
    bool Ok = Fci != nullptr;
    char Source[2 * MAX_PATH], Name[] = "<medium>";
    // The index first: the unpacking makes the folders and gives each file its times from it.
    for (uint32_t I = 0; Ok && I <= Pack.Entries; ++I) {
        TMediumRecord* Entry = I > 0 ? &Pack.Index[I - 1] : nullptr;
        if (Entry && (Entry->Attributes & FolderAttribute))
            continue;
        if (Entry)
            wsprintfA(Source, "%s\\%s", Pack.Medium, Entry->Path);
        Ok = FciAddFile(Fci, Entry ? Source : Name, Entry ? Entry->Path : Name, FALSE,
                        PackNextCabinet, PackStatus, PackOpenInfo, tcompTYPE_MSZIP);
    }
    Ok = Ok && FciFlushCabinet(Fci, FALSE, PackNextCabinet, PackStatus);
    if (Fci)
        FciDestroy(Fci);
    LARGE_INTEGER Size;
    return Ok && GetFileSizeEx(Pack.Out, &Size) ? uint64_t(Size.QuadPart) - Pack.ImageEnd : 0;
}

// Pads the payload to whole steps, reads it back for its checksum and appends the trailer.
bool WriteTrailer(uint64_t CabinetSize, char* Buffer)
{
    TBundleTrailer Trailer;
    Trailer.PayloadSize = (CabinetSize + BundleAlign - 1) / BundleAlign * BundleAlign;
    Trailer.UnpackedBytes = Pack.Unpacked;
    Trailer.FileCount = Pack.Files;
    std::memset(Buffer, 0, BundleAlign);
    LARGE_INTEGER End, Start;
    End.QuadPart = LONGLONG(Pack.ImageEnd + CabinetSize);
    Start.QuadPart = LONGLONG(Pack.ImageEnd);
    bool Ok = SetFilePointerEx(Pack.Out, End, nullptr, FILE_BEGIN) &&
              WriteAll(Buffer, DWORD(Trailer.PayloadSize - CabinetSize)) &&
              SetFilePointerEx(Pack.Out, Start, nullptr, FILE_BEGIN);
    for (uint64_t Left = Trailer.PayloadSize; Ok && Left > 0;) {
        DWORD Read = 0;
        Ok = ReadFile(Pack.Out, Buffer, Left < CopySize ? DWORD(Left) : CopySize, &Read, nullptr) &&
             Read > 0;
        Trailer.Crc = Crc32(Trailer.Crc, Buffer, Read);
        Left -= Read;
    }
    Trailer.Crc = SealedCrc(Trailer.Crc, Trailer);
    std::string Bytes = EncodeBundleTrailer(Trailer);
    return Ok && WriteAll(Bytes.data(), DWORD(Bytes.size()));
}

// A build pipeline reads what /bundle says on its standard output; someone who started it from
// the desktop gets a box, unless the run is quiet.
int Say(const char* Text, bool Failure, bool Quiet)
{
    TellStarter(Text, "SETUP.EXE /bundle", Failure, Quiet);
    return Failure ? ecBadCommandLine : ecSuccess;
}

// Writes the bundle under Temp, a name of its own beside Out, and puts it in place when complete,
// so that a failed pack never leaves a torn Out behind. False with Error when it failed.
bool WriteBundle(const char* Own, const char* Temp, const char* Out, uint64_t& CabinetSize,
                 LARGE_INTEGER& Total, DWORD& Error)
{
    Pack.Out = CreateFileA(Temp, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    char* Buffer = static_cast<char*>(std::malloc(CopySize));
    bool Ok = Pack.Out != INVALID_HANDLE_VALUE && Buffer && CopyImage(Own, Buffer) &&
              NameProduct() && (CabinetSize = WriteCabinet()) != 0 &&
              WriteTrailer(CabinetSize, Buffer) && FlushFileBuffers(Pack.Out);
    Error = GetLastError();
    if (Pack.Out != INVALID_HANDLE_VALUE) {
        GetFileSizeEx(Pack.Out, &Total);
        CloseHandle(Pack.Out);
    }
    std::free(Buffer);
    std::free(Pack.Index);
    if (Ok && !MoveFileExA(Temp, Out, MOVEFILE_REPLACE_EXISTING)) {
        Error = GetLastError();
        Ok = false;
    }
    return Ok;
}

}   // namespace

int RefuseBundleArgs(const std::string& Bad, bool Quiet)
{
    char Text[MessageSize];
    wsprintfA(Text,
              "Error: bad command line: %.900s can't go with /bundle\r\n"
              "Usage: SETUP.EXE /bundle=OUT.EXE [/quiet]",
              Bad.c_str());
    return Say(Text, true, Quiet);
}

int PackBundle(const std::string& OutArg, bool Quiet)
{
    char Own[MAX_PATH], Out[MAX_PATH], Temp[MAX_PATH + 16], Text[MessageSize];
    DWORD OwnLen = GetModuleFileNameA(nullptr, Own, sizeof Own);
    DWORD OutLen = GetFullPathNameA(OutArg.c_str(), sizeof Out, Out, nullptr);
    char* OwnName = std::strrchr(Own, '\\');
    if (OwnLen == 0 || OwnLen >= sizeof Own || !OwnName || OutLen == 0 || OutLen >= sizeof Out)
        return Say("Error: the bundle's path is too long", true, Quiet);
    lstrcpynA(Pack.Medium, Own, int(OwnName - Own + 1));
    ++OwnName;
    size_t MediumLen = std::strlen(Pack.Medium);
    std::string Last, Script = FirstSignedInf(Pack.Medium, Last);
    if (Script.empty()) {
        wsprintfA(Text,
                  "Error: no *.INF-File with the required Version/Signature in %s: "
                  "nothing to bundle",
                  Pack.Medium);
        return Say(Text, true, Quiet);
    }
    if (!ReadProduct(std::string(Pack.Medium) + "\\" + Script, Text, sizeof Text))
        return Say(Text, true, Quiet);
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, Out, int(MediumLen), Pack.Medium,
                       int(MediumLen)) == CSTR_EQUAL &&
        Out[MediumLen] == '\\') {
        wsprintfA(Text, "Error: %s lies inside the medium %s, which would pack it into itself", Out,
                  Pack.Medium);
        return Say(Text, true, Quiet);
    }
    Pack.Refused[0] = '\0';
    bool Listed = ListMedium("", OwnName);
    if (*Pack.Refused) {
        wsprintfA(Text,
                  "Error: %s in the medium %s has a name that Windows keeps for a device: no "
                  "bundle can unpack it. Rename it.",
                  Pack.Refused, Pack.Medium);
        return Say(Text, true, Quiet);
    }
    if (!Listed || Pack.Unpacked + uint64_t(Pack.Entries) * sizeof(TMediumRecord) >= CabinetLimit) {
        wsprintfA(Text,
                  "Error: the medium %s is more than one bundle can carry (2 GB, paths "
                  "of %u characters)",
                  Pack.Medium, unsigned(MediumPathSize - 1));
        return Say(Text, true, Quiet);
    }
    uint64_t CabinetSize = 0;
    LARGE_INTEGER Total = {};
    DWORD Error = 0;
    wsprintfA(Temp, "%s.%lu.tmp", Out, GetCurrentProcessId());
    Pack.Ok = WriteBundle(Own, Temp, Out, CabinetSize, Total, Error);
    if (!Pack.Ok) {
        DeleteFileA(Temp);
        std::string Why;
        SystemErrorText(Error, 0, Why);
        wsprintfA(Text, "Error: can't write %s: %.200s", Out, Why.c_str());
        return Say(Text, true, Quiet);
    }
    wsprintfA(Text, "Bundled %lu files of %s (%lu bytes) into %s: %lu bytes packed, %lu in all",
              ULONG(Pack.Files), Pack.Medium, ULONG(Pack.Unpacked), Out, ULONG(CabinetSize),
              ULONG(Total.QuadPart));
    return Say(Text, false, Quiet);
}

#include "Setup/base/AtomicCopy.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/PathParts.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/WinText.h"

namespace {

const DWORD CopyChunkSize = 1u << 20;   // bytes read and written at a time

// The attributes a copy may carry over; everything else belongs to the file system.
const DWORD KeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Folders cleaned in this run, upper case, as the file system compares names.
std::set<std::string> CleanedDirs;

// For each destination folder of installed files (upper case): the folder of our own inside it
// that holds the file being written, or "" where none could be made.
std::map<std::string, std::string> StagingDirs;

// The files waiting for the next restart whose renames the system's list held when this run
// first looked, or that this run scheduled (full paths, upper case), whether the files are there
// or not. Nearly always none, so that a copy asks nothing more about them.
std::set<std::string> WaitingSeen;

const wchar_t* const PendingValue = L"PendingFileRenameOperations";

// The folder part of Path without its trailing backslash; "." for a bare name.
std::string FolderOf(const std::string& Path)
{
    size_t Slash = Path.rfind('\\');
    return Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash);
}

// Where the temporary file of a copy into Dir is made: a folder of this run's own inside Dir,
// made on the first copy, after a killed run's leftovers are gone. Some systems look through a
// whole folder for a name that does not exist yet, and the folder of our own holds only the file
// being written, where the destination may hold thousands. Dir itself when the folder can't be
// made.
std::string StagingFor(const std::string& Dir)
{
    auto Entry = StagingDirs.emplace(UpperCase(Dir), std::string());
    if (Entry.second) {
        RemoveStaleTemps(Dir);
        std::string Own = JoinPath(Dir, TempFileName(GetCurrentProcessId(), 0));
        if (CreateDirectoryA(Own.c_str(), nullptr))
            Entry.first->second = Own;
    }
    return Entry.first->second.empty() ? Dir : Entry.first->second;
}

// Copies the rest of Source into Target; false on the first failure, with its code kept, or
// when CopyChunkDone stops it.
bool CopyContent(HANDLE Source, HANDLE Target)
{
    static std::vector<char> Chunk(CopyChunkSize);
    for (uint64_t Copied = 0;; Copied += CopyChunkSize) {
        DWORD Got = 0, Put = 0;
        if (!ReadFile(Source, Chunk.data(), CopyChunkSize, &Got, nullptr))
            return false;
        if (Got == 0)
            return true;
        if (!WriteFile(Target, Chunk.data(), Got, &Put, nullptr))
            return false;
        if (Put != Got) {
            SetLastError(ERROR_DISK_FULL);   // a short write leaves no code of its own
            return false;
        }
        // A small file, read whole by its first read, never calls it.
        if (Got == CopyChunkSize && CopyChunkDone && !CopyChunkDone(Copied + Got)) {
            SetLastError(ERROR_CANCELLED);
            return false;
        }
    }
}

typedef BOOL(WINAPI* TGetFileInformationByHandleEx)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID,
                                                    DWORD);

}   // namespace

// The basic information where the system has it: the full information also wants the volume's
// serial number, which on some systems asks the mount manager, another process, once a file.
bool FileBasics(HANDLE Handle, DWORD& Attributes, FILETIME& Written)
{
    static TGetFileInformationByHandleEx GetInfo =
        reinterpret_cast<TGetFileInformationByHandleEx>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx")));
    if (GetInfo) {
        FILE_BASIC_INFO Basic;
        if (!GetInfo(Handle, FileBasicInfo, &Basic, sizeof Basic))
            return false;
        Attributes = Basic.FileAttributes;
        Written.dwLowDateTime = DWORD(Basic.LastWriteTime.QuadPart);
        Written.dwHighDateTime = DWORD(uint64_t(Basic.LastWriteTime.QuadPart) >> 32);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION Info;
    if (!GetFileInformationByHandle(Handle, &Info))
        return false;
    Attributes = Info.dwFileAttributes;
    Written = Info.ftLastWriteTime;
    return true;
}

DWORD CopiedAttributes(DWORD SourceAttributes)
{
    DWORD Kept = SourceAttributes & KeptAttributes;
    return Kept ? Kept : FILE_ATTRIBUTE_NORMAL;
}

namespace {

// Closes Handle and returns Result, keeping the error code that Result is about.
bool CloseKeepingError(HANDLE Handle, bool Result)
{
    DWORD Error = GetLastError();
    CloseHandle(Handle);
    SetLastError(Error);
    return Result;
}

// Creates the temporary file that becomes To, in a folder of our own in To's folder when Staged;
// Temp gets its name. INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTempFor(const std::string& To, bool Staged, DWORD Attributes, std::string& Temp)
{
    std::string Dir = FolderOf(To);
    // Once per folder: a killed run's leftovers go before this run writes there.
    std::string Staging = Staged ? StagingFor(Dir) : Dir;
    if (!Staged)
        RemoveStaleTemps(Dir);
    HANDLE Target = INVALID_HANDLE_VALUE;
    if (Staging != Dir)
        Target = CreateTemp(Staging, Attributes, Temp);
    // Without a folder of our own, or when it has gone (another installation into the same
    // folder may take it for a killed run's), the file is made beside its final name.
    if (Target == INVALID_HANDLE_VALUE)
        Target = CreateTemp(Dir, Attributes, Temp);
    return Target;
}

// The copy of the open Source to To, through a folder of our own in To's folder when Staged.
bool CopyFrom(HANDLE Source, const std::string& To, bool Staged)
{
    DWORD SourceAttributes;
    FILETIME Written;
    if (!FileBasics(Source, SourceAttributes, Written) ||
        SetFilePointer(Source, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    std::string Temp;
    HANDLE Target = CreateTempFor(To, Staged, CopiedAttributes(SourceAttributes), Temp);
    if (Target == INVALID_HANDLE_VALUE)
        return false;
    // The data reaches the disk before the name does. What we promise: after the rename the new
    // file is complete under its final name, or, when the power fails before, the old file is
    // still there as it was. Without the flush, some file systems write the rename first, and a
    // power cut right after it leaves an empty or partial file under the final name.
    bool Copied = CopyContent(Source, Target) && SetFileTime(Target, nullptr, nullptr, &Written) &&
                  FlushFileBuffers(Target);
    return PutInPlace(Target, Temp, To, Copied);
}

// The copy of the file called From, opened as the date reader opens it.
bool CopyByName(const std::string& From, const std::string& To)
{
    // Sharing read access only, as the date reader does: a file that someone is still writing
    // is not installed half-written.
    HANDLE Source = CreateFileA(From.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (Source == INVALID_HANDLE_VALUE)
        return false;
    return CloseKeepingError(Source, CopyFrom(Source, To, false));
}

// Text in the system's own characters, two bytes each, and back: in the code page of the
// program's paths.
std::string WideText(const std::string& Text)
{
    int Length = MultiByteToWideChar(CP_ACP, 0, Text.data(), int(Text.size()), nullptr, 0);
    std::string Wide(size_t(Length > 0 ? Length : 0) * sizeof(WCHAR), '\0');
    if (!Wide.empty())
        MultiByteToWideChar(CP_ACP, 0, Text.data(), int(Text.size()),
                            reinterpret_cast<WCHAR*>(&Wide[0]), Length);
    return Wide;
}

std::string NarrowText(const std::string& Wide)
{
    const WCHAR* Chars = reinterpret_cast<const WCHAR*>(Wide.data());
    int Count = int(Wide.size() / sizeof(WCHAR));
    int Length = WideCharToMultiByte(CP_ACP, 0, Chars, Count, nullptr, 0, nullptr, nullptr);
    std::string Text(size_t(Length > 0 ? Length : 0), '\0');
    if (!Text.empty())
        WideCharToMultiByte(CP_ACP, 0, Chars, Count, &Text[0], Length, nullptr, nullptr);
    return Text;
}

std::string UpperWide(std::string Wide)
{
    if (Wide.size() >= sizeof(WCHAR))
        CharUpperBuffW(reinterpret_cast<WCHAR*>(&Wide[0]), DWORD(Wide.size() / sizeof(WCHAR)));
    return Wide;
}

// The system's list of renames at the next start in Key, as the registry holds it in the system's
// own characters; "" when there is none. False when it can't be read, or is no list of names.
bool ReadPending(HKEY Key, std::string& List)
{
    DWORD Type = REG_MULTI_SZ, Size = 0;
    List.clear();
    LONG Result = RegQueryValueExW(Key, PendingValue, nullptr, &Type, nullptr, &Size);
    while (Result == ERROR_SUCCESS && Size > 0) {
        List.resize(Size);
        Result = RegQueryValueExW(Key, PendingValue, nullptr, &Type,
                                  reinterpret_cast<BYTE*>(&List[0]), &Size);
        if (Result != ERROR_MORE_DATA)
            break;
        Result = ERROR_SUCCESS;   // it grew meanwhile: again, with the size it needs now
    }
    List.resize(Result == ERROR_SUCCESS ? Size : 0);
    return Result == ERROR_FILE_NOT_FOUND || (Result == ERROR_SUCCESS && Type == REG_MULTI_SZ);
}

// The list in the program's characters, for looking up our own names; "" when there is none or
// it can't be read.
std::string PendingRenames()
{
    HKEY Key;
    std::string List;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_QUERY_VALUE, &Key) !=
        ERROR_SUCCESS)
        return "";
    ReadPending(Key, List);
    RegCloseKey(Key);
    return NarrowText(List);
}

// What became of the renames of a waiting file.
enum TWithdrawn {
    wdNone,        // the list had none
    wdWithdrawn,   // taken out of the list
    wdStays,       // still in it: only an administrator may change the list
};

// Takes every rename of Waiting out of the system's list; the other programs' renames stay as
// they were. The list is read and written back whole in the system's own characters, so that
// no name of another program is changed by a code page.
TWithdrawn WithdrawRenames(const std::string& Waiting)
{
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &Key) != ERROR_SUCCESS)
        return IsScheduledSource(PendingRenames(), Waiting) ? wdStays : wdNone;
    std::string List, Kept;
    int Dropped = ReadPending(Key, List)
                      ? DropPendingPairs(List, UpperWide(List),
                                         UpperWide(WideText(PendingPrefix + Waiting)), Kept)
                      : -1;
    LONG Result = ERROR_SUCCESS;
    if (Dropped > 0 && Kept.empty())
        Result = RegDeleteValueW(Key, PendingValue);
    else if (Dropped > 0)
        Result = RegSetValueExW(Key, PendingValue, 0, REG_MULTI_SZ,
                                reinterpret_cast<const BYTE*>(Kept.data()), DWORD(Kept.size()));
    RegCloseKey(Key);
    if (Dropped < 0)   // unreadable, or not ours to rewrite
        return IsScheduledSource(NarrowText(List), Waiting) ? wdStays : wdNone;
    return Dropped == 0 ? wdNone : Result == ERROR_SUCCESS ? wdWithdrawn : wdStays;
}

// The waiting files that the system's list renames at the next start, once a run: a direct copy
// later takes their renames back, also where the file itself has gone.
void NoteScheduledWaiting()
{
    static bool Noted = false;
    if (Noted)
        return;
    Noted = true;
    std::string Prefix = PendingPrefix;
    for (const std::string& Source : PendingSources(PendingRenames()))
        if (StartsWithText(Source, Prefix) && IsWaitingFileName(FileNamePart(Source)))
            WaitingSeen.insert(UpperCase(Source.substr(Prefix.size())));
}

// To has been replaced now. A rename that an earlier run scheduled for the next restart would put
// its older file back then: it is taken out of the system's list, and its waiting file goes
// after it. Never the file alone: its rename would then move whatever file of that name someone
// puts there over To, as the system. Where the list can't be changed, the waiting file takes the
// new file too, so that the restart changes nothing.
void DropWaiting(const std::string& To)
{
    NoteScheduledWaiting();
    if (WaitingSeen.empty())
        return;
    std::string Waiting = WaitingFor(To);
    if (!WaitingSeen.erase(UpperCase(Waiting)))
        return;
    TWithdrawn Withdrawn = WithdrawRenames(Waiting);
    if (Withdrawn == wdWithdrawn)
        DeleteOwnFile(Waiting);
    else if (Withdrawn == wdStays)
        CopyByName(To, Waiting);
}

// What follows a copy that has replaced To: the system's copy of an old To read through the
// profile functions goes, and so does a replacement that waits for the next restart.
void Replaced(const std::string& To)
{
    ProfileFileReplaced(To);
    DropWaiting(To);
}

}   // namespace

TCopyChunkDone CopyChunkDone = nullptr;

const char* const SessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string WaitingFor(const std::string& To)
{
    return JoinPath(FolderOf(To), WaitingFileName(FileNamePart(To)));
}

bool RenameScheduled(const std::string& Waiting)
{
    return IsScheduledSource(PendingRenames(), Waiting);
}

void RemoveStaleTemps(const std::string& Dir)
{
    if (!CleanedDirs.insert(UpperCase(Dir)).second)
        return;
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA(JoinPath(Dir, TempPattern).c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    do {
        // The search also matches short names and names of users' own files ("~setupkv
        // notes.tmp"): only names in our own format are ours to remove. A link (to a folder
        // anywhere, or to a file) is never followed nor removed, and a file with a second name
        // elsewhere is not ours either. A file waiting for the next restart is no leftover.
        if (!IsTempFileName(Found.cFileName) ||
            (Found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::string Path = JoinPath(Dir, Found.cFileName);
        if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteOwnFile(Path);
        } else {
            // A killed run's own folder: its files, then the folder, which stays when it still
            // holds anything else (another running installation's file being written).
            RemoveStaleTemps(Path);
            RemoveDirectoryA(Path.c_str());
        }
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
}

void RemoveStagingDirs()
{
    for (const auto& Entry : StagingDirs)
        if (!Entry.second.empty())
            RemoveDirectoryA(Entry.second.c_str());
    StagingDirs.clear();
}

bool CopyAtomic(const std::string& From, const std::string& To)
{
    if (!CopyByName(From, To))
        return false;
    Replaced(To);
    return true;
}

bool CopyAtomic(HANDLE Source, const std::string& To)
{
    if (!CopyFrom(Source, To, true))
        return false;
    Replaced(To);
    return true;
}

bool FileInUseNow(const std::string& Path)
{
    // Access to delete and to write, sharing everything: only others who share less refuse it,
    // and so does a running program or a loaded library (the system maps it as an image). Opening
    // without reading or writing changes none of the file's times.
    HANDLE File = CreateFileA(Path.c_str(), DELETE | FILE_WRITE_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        CloseHandle(File);
        return false;
    }
    DWORD Error = GetLastError();
    return Error == ERROR_SHARING_VIOLATION || Error == ERROR_LOCK_VIOLATION;
}

bool CopyAtRestart(HANDLE Source, const std::string& From, const std::string& To, bool& Refused)
{
    Refused = false;
    std::string Waiting = WaitingFor(To);
    // Written whole beside To, as every installed file is: an earlier run's waiting file is
    // replaced by the complete new one in one step, and the rename it has scheduled stays right.
    if (!(Source != INVALID_HANDLE_VALUE ? CopyFrom(Source, Waiting, false)
                                         : CopyByName(From, Waiting)))
        return false;
    WaitingSeen.insert(UpperCase(Waiting));
    // The system carries out every rename of its list, also a second one of the same file, which
    // would then find it gone: one is enough.
    if (RenameScheduled(Waiting) ||
        MoveFileExA(Waiting.c_str(), To.c_str(),
                    MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
        return true;
    Refused = true;   // only an administrator may add to the list
    DWORD Error = GetLastError();
    DeleteFileA(Waiting.c_str());
    WaitingSeen.erase(UpperCase(Waiting));
    SetLastError(Error);
    return false;
}

bool ReplacementWaits(const std::string& To)
{
    NoteScheduledWaiting();
    return !WaitingSeen.empty() && WaitingSeen.count(UpperCase(WaitingFor(To))) != 0;
}

bool WithdrawRestart(const std::string& Waiting)
{
    if (WithdrawRenames(Waiting) == wdStays)
        return false;
    WaitingSeen.erase(UpperCase(Waiting));
    DeleteOwnFile(Waiting);
    return true;
}

bool RestartReplaces(const std::string& Waiting, const std::string& To)
{
    if (!RenameScheduled(Waiting) &&
        !MoveFileExA(Waiting.c_str(), To.c_str(),
                     MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
        return false;
    WaitingSeen.insert(UpperCase(Waiting));
    return true;
}

#include "Setup/base/AtomicCopy.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/PathParts.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/Plan.h"

namespace {

const DWORD CopyChunkSize = 1u << 20;   // bytes read and written at a time
const int TempNameTries = 1000;         // names taken by others before a copy gives up

// The attributes a copy may carry over; everything else belongs to the file system.
const DWORD KeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Folders cleaned in this run, upper case, as the file system compares names.
std::set<std::string> CleanedDirs;

// For each destination folder of installed files (upper case): the folder of our own inside it
// that holds the file being written, or "" where none could be made.
std::map<std::string, std::string> StagingDirs;

// The files waiting for the next restart that the cleanups of this run have seen (full paths,
// upper case). Nearly always none, so that a copy asks nothing more about them.
std::set<std::string> WaitingSeen;

// Where the system keeps the renames it carries out at its next start.
const char* const SessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string UpperCase(std::string Text)
{
    if (!Text.empty())
        CharUpperBuffA(&Text[0], DWORD(Text.size()));
    return Text;
}

// The folder part of Path without its trailing backslash; "." for a bare name.
std::string FolderOf(const std::string& Path)
{
    size_t Slash = Path.rfind('\\');
    return Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash);
}

// A new temporary file in Dir, created for writing and shared with nobody; its path in Temp.
HANDLE CreateTemp(const std::string& Dir, DWORD Attributes, std::string& Temp)
{
    static DWORD Count = 0;
    for (int Tries = 0; Tries < TempNameTries; ++Tries) {
        Temp = JoinPath(Dir, TempFileName(GetCurrentProcessId(), ++Count));
        HANDLE File = CreateFileA(Temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  Attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (File != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return File;
    }
    return INVALID_HANDLE_VALUE;   // the last error says the names are taken
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

// Copies the rest of Source into Target; false on the first failure, with its code kept.
bool CopyContent(HANDLE Source, HANDLE Target)
{
    static std::vector<char> Chunk(CopyChunkSize);
    for (;;) {
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
    }
}

typedef BOOL(WINAPI* TSetFileInformationByHandle)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Gives the open file Handle the name To, replacing a file of that name, in one step. Through
// the handle where the system can (one request instead of opening the file again by its name);
// false when it can't, and then the caller moves the file by its name.
bool RenameOpenFile(HANDLE Handle, const std::string& To, bool& Tried)
{
    static TSetFileInformationByHandle SetInfo =
        reinterpret_cast<TSetFileInformationByHandle>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
    Tried = false;
    int Length = MultiByteToWideChar(CP_ACP, 0, To.c_str(), -1, nullptr, 0);
    if (!SetInfo || Length <= 0)
        return false;
    std::vector<char> Buffer(sizeof(FILE_RENAME_INFO) + size_t(Length) * sizeof(WCHAR));
    auto* Rename = reinterpret_cast<FILE_RENAME_INFO*>(Buffer.data());
    Rename->ReplaceIfExists = TRUE;
    Rename->RootDirectory = nullptr;
    Rename->FileNameLength = DWORD(Length - 1) * sizeof(WCHAR);
    MultiByteToWideChar(CP_ACP, 0, To.c_str(), -1, Rename->FileName, Length);
    Tried = true;
    return SetInfo(Handle, FileRenameInfo, Rename, DWORD(Buffer.size()));
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

// A plan copies nothing: it asks whether the file could be written, and whether a program holds
// it now, which would make the copy fail as one that is in use. The run's move over such a file
// is refused as access denied, whether the file runs, is loaded or is held open: the plan says
// the run's code, not the sharing violation of its own look.
bool PlanCopy(const std::string& To)
{
    bool InUse = GetFileAttributesA(To.c_str()) != INVALID_FILE_ATTRIBUTES && FileInUseNow(To);
    if (InUse) {
        PlanLine("in use now: " + To);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (!MayWriteFile(To))
        return false;
    PlanAddFile(To);
    return true;
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
    if (Planning)
        return PlanCopy(To);
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
    bool Tried = false;
    bool Done = Copied && RenameOpenFile(Target, To, Tried);
    DWORD Error = GetLastError();
    // Closing writes what the system still buffers: on a full disk that may be where it fails.
    if (!CloseHandle(Target) && Copied && !Done) {
        Error = GetLastError();
        Copied = false;
    }
    if (Copied && !Tried) {   // no renaming through the handle here: by the names
        Done = MoveFileExA(Temp.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING);
        Error = GetLastError();
    }
    if (Done)
        return true;
    DeleteFileA(Temp.c_str());
    SetLastError(Error);
    return false;
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

// The file that waits beside To for the next restart.
std::string WaitingFor(const std::string& To)
{
    return JoinPath(FolderOf(To), WaitingFileName(FileNamePart(To)));
}

// The system's list of renames at the next start, as the registry holds it; "" when there is
// none or it can't be read.
std::string PendingRenames()
{
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_QUERY_VALUE, &Key) !=
        ERROR_SUCCESS)
        return "";
    const char* const Name = "PendingFileRenameOperations";
    std::string List;
    DWORD Size = 0;
    LONG Result = RegQueryValueExA(Key, Name, nullptr, nullptr, nullptr, &Size);
    while (Result == ERROR_SUCCESS && Size > 0) {
        List.resize(Size);
        Result =
            RegQueryValueExA(Key, Name, nullptr, nullptr, reinterpret_cast<BYTE*>(&List[0]), &Size);
        if (Result != ERROR_MORE_DATA)
            break;
        Result = ERROR_SUCCESS;   // it grew meanwhile: again, with the size it needs now
    }
    RegCloseKey(Key);
    List.resize(Result == ERROR_SUCCESS ? Size : 0);
    return List;
}

// To has been replaced now. A file that an earlier run left waiting for the next restart would
// put its older content back then: it goes, when the system's list names it (a file of that name
// that nothing would rename is not ours to judge). The rename then finds nothing to do.
void DropWaiting(const std::string& To)
{
    if (WaitingSeen.empty())
        return;
    std::string Waiting = WaitingFor(To);
    if (WaitingSeen.erase(UpperCase(Waiting)) && IsScheduledSource(PendingRenames(), Waiting))
        DeleteFileA(Waiting.c_str());
}

}   // namespace

void RemoveStaleTemps(const std::string& Dir)
{
    if (Planning)
        return;   // a plan removes nothing
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
        // elsewhere is not ours either.
        if (IsWaitingFileName(Found.cFileName))
            WaitingSeen.insert(UpperCase(JoinPath(Dir, Found.cFileName)));
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
    DropWaiting(To);
    return true;
}

bool CopyAtomic(HANDLE Source, const std::string& To)
{
    if (!CopyFrom(Source, To, true))
        return false;
    DropWaiting(To);
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
    // A plan schedules nothing: it asks whether the system's list would take the rename.
    if (Planning) {
        Refused = !IsScheduledSource(PendingRenames(), Waiting) &&
                  MaySetValue(HKEY_LOCAL_MACHINE, SessionManagerKey) != ERROR_SUCCESS;
        if (Refused)
            SetLastError(ERROR_ACCESS_DENIED);
        return !Refused;
    }
    WaitingSeen.insert(UpperCase(Waiting));
    // The system carries out every rename of its list, also a second one of the same file, which
    // would then find it gone: one is enough.
    if (IsScheduledSource(PendingRenames(), Waiting) ||
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

#include "Setup/base/OwnFile.h"

#include <vector>

#include "Rules/FilesText.h"
#include "Rules/PathParts.h"

namespace {

const uint32_t FreshNameTries = 100;   // names taken by others before we give up
const int TempNameTries = 1000;        // names taken by others before a copy gives up

// How a file of ours is opened to be written: shared for reading only, a link as itself.
const DWORD OwnAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
const DWORD OwnSharing = FILE_SHARE_READ;
const DWORD OwnFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

typedef BOOL(WINAPI* TSetFileInformationByHandle)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Closes File, keeping the error code that the caller reports.
void CloseKeepingError(HANDLE& File)
{
    DWORD Error = GetLastError();
    CloseHandle(File);
    File = INVALID_HANDLE_VALUE;
    SetLastError(Error);
}

}   // namespace

bool IsForeignFile(HANDLE File)
{
    BY_HANDLE_FILE_INFORMATION Info;
    return !GetFileInformationByHandle(File, &Info) || Info.nNumberOfLinks > 1 ||
           (Info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TOwnOpen OpenOwnFile(const std::string& Path, bool Append, HANDLE& File, bool& Existed)
{
    // Opening changes nothing in a file that is there, and a link is opened as itself, not as what
    // it points to: the look comes before the first change.
    File =
        CreateFileA(Path.c_str(), OwnAccess, OwnSharing, nullptr, OPEN_ALWAYS, OwnFlags, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return ooFailed;
    Existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (Existed && IsForeignFile(File)) {
        CloseHandle(File);
        File = INVALID_HANDLE_VALUE;
        return ooForeign;
    }
    bool Ready = Append ? SetFilePointer(File, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER
                        : SetEndOfFile(File) != FALSE;
    if (Ready)
        return ooOpened;
    CloseKeepingError(File);
    return ooFailed;
}

TOwnOpen LookOwnFile(const std::string& Path)
{
    HANDLE File =
        CreateFileA(Path.c_str(), OwnAccess, OwnSharing, nullptr, OPEN_EXISTING, OwnFlags, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return ooFailed;
    bool Foreign = IsForeignFile(File);
    CloseHandle(File);
    return Foreign ? ooForeign : ooOpened;
}

HANDLE CreateBeside(const std::string& Path, std::string& Fresh)
{
    std::string Name = FileNamePart(Path);
    std::string Dir = Path.substr(0, Path.size() - Name.size());
    for (uint32_t Try = 0; Try < FreshNameTries; ++Try) {
        // Only a name that nobody has is made: a link placed under it first makes it taken.
        Fresh = Dir + NumberedName(Name, GetCurrentProcessId(), Try);
        HANDLE File =
            CreateFileA(Fresh.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (File != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return File;
    }
    return INVALID_HANDLE_VALUE;
}

bool DeleteOwnFile(const std::string& Path)
{
    static TSetFileInformationByHandle SetInfo =
        reinterpret_cast<TSetFileInformationByHandle>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
    // Shared with nobody: a file that someone holds open is not taken from under them.
    HANDLE File = CreateFileA(Path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    bool Ours = !IsForeignFile(File);
    FILE_DISPOSITION_INFO Disposition = {TRUE};
    bool Deleted =
        Ours && SetInfo && SetInfo(File, FileDispositionInfo, &Disposition, sizeof Disposition);
    CloseHandle(File);
    // Systems without the call remove it by its name, right after the look.
    if (Ours && !SetInfo)
        Deleted = DeleteFileA(Path.c_str()) != FALSE;
    return Deleted;
}

HANDLE CreateTemp(const std::string& Dir, DWORD Attributes, std::string& Temp)
{
    static DWORD Count = 0;
    for (int Tries = 0; Tries < TempNameTries; ++Tries) {
        Temp = JoinPath(Dir, TempFileName(GetCurrentProcessId(), ++Count));
        // A link placed under the name first makes it taken, instead of making its target.
        HANDLE File = CreateFileA(
            Temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            Attributes | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (File != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return File;
    }
    return INVALID_HANDLE_VALUE;   // the last error says the names are taken
}

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

bool PutInPlace(HANDLE Target, const std::string& Temp, const std::string& To, bool Written)
{
    bool Tried = false;
    bool Done = Written && RenameOpenFile(Target, To, Tried);
    DWORD Error = GetLastError();
    // Closing writes what the system still buffers: on a full disk that may be where it fails.
    if (!CloseHandle(Target) && Written && !Done) {
        Error = GetLastError();
        Written = false;
    }
    if (Written && !Tried) {   // no renaming through the handle here: by the names
        Done = MoveFileExA(Temp.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING);
        Error = GetLastError();
    }
    if (Done)
        return true;
    DeleteFileA(Temp.c_str());
    SetLastError(Error);
    return false;
}

bool WriteAtomic(const std::string& Text, const std::string& To)
{
    std::string Temp, Dir = DirectoryPart(To);
    DropOneTrailingBackslash(Dir);
    HANDLE Target = CreateTemp(Dir.empty() ? "." : Dir, FILE_ATTRIBUTE_NORMAL, Temp);
    if (Target == INVALID_HANDLE_VALUE)
        return false;
    DWORD Put = 0;
    bool Written = WriteFile(Target, Text.data(), DWORD(Text.size()), &Put, nullptr);
    if (Written && Put != Text.size()) {
        SetLastError(ERROR_DISK_FULL);   // a short write leaves no code of its own
        Written = false;
    }
    if (!PutInPlace(Target, Temp, To, Written && FlushFileBuffers(Target)))
        return false;
    return true;
}

std::string ReadAllOf(HANDLE File)
{
    std::string Text;
    char Chunk[1 << 14];
    DWORD Got = 0;
    SetFilePointer(File, 0, nullptr, FILE_BEGIN);
    while (ReadFile(File, Chunk, sizeof Chunk, &Got, nullptr) && Got > 0)
        Text.append(Chunk, Got);
    return Text;
}

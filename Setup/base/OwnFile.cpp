#include "Setup/base/OwnFile.h"

#include "Rules/FilesText.h"
#include "Rules/PathParts.h"

namespace {

const uint32_t FreshNameTries = 100;   // names taken by others before we give up

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
    File = CreateFileA(Path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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

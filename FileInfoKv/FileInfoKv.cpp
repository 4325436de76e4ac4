#include "FileInfoKv/FileInfoKv.h"

#include <windows.h>
#include <cstring>
#include <vector>
#include <winver.h>

#include "Rules/VersionText.h"
#include "SysDll/SysDll.h"

TVersionInfo VersionInfo{};
bool TranslationFound = false;

namespace {

// The version library is no DLL that every process has loaded: it comes from the system folder,
// never from beside the program.
typedef DWORD(WINAPI* TGetFileVersionInfoSize)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* TGetFileVersionInfo)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* TVerQueryValue)(LPCVOID, LPCSTR, LPVOID*, PUINT);
TGetFileVersionInfoSize GetInfoSize = nullptr;
TGetFileVersionInfo GetInfo = nullptr;
TVerQueryValue QueryValue = nullptr;

// Without the library no file has a version.
bool VersionLibraryReady()
{
    return SystemFunc(GetInfoSize, "version.dll", "GetFileVersionInfoSizeA") &&
           SystemFunc(GetInfo, "version.dll", "GetFileVersionInfoA") &&
           SystemFunc(QueryValue, "version.dll", "VerQueryValueA");
}

// The program's own path, as GetModuleFileNameA fills it, with its NUL.
const int ModulePathSize = 301;

// The string items read from the table that the translation names, in the order they are asked.
struct TStringItem {
    const char* Name;
    std::string TVersionInfo::*Field;
};

const TStringItem StringItems[] = {
    {"FileDescription", &TVersionInfo::FileDescription},
    {"CompanyName", &TVersionInfo::CompanyName},
    {"FileVersion", &TVersionInfo::FileVersion},
    {"InternalName", &TVersionInfo::InternalName},
    {"LegalCopyright", &TVersionInfo::LegalCopyright},
    {"OriginalFilename", &TVersionInfo::OriginalFilename},
    {"ProductName", &TVersionInfo::ProductName},
    {"ProductVersion", &TVersionInfo::ProductVersion},
};

// Takes the numbers, the translation and the string items out of a loaded version block.
// Returns -1, changing nothing, when the block has no fixed version information.
int64_t ReadVersionBlock(void* Block, std::string& VersionText)
{
    void* Value = nullptr;
    UINT Length = 0;
    if (!QueryValue(Block, "\\", &Value, &Length) || !Value || Length < sizeof(VS_FIXEDFILEINFO))
        return -1;
    VS_FIXEDFILEINFO Fixed;
    memcpy(&Fixed, Value, sizeof Fixed);

    VersionInfo.Major = HIWORD(Fixed.dwProductVersionMS);
    VersionInfo.Minor = LOWORD(Fixed.dwProductVersionMS);
    VersionInfo.Release = HIWORD(Fixed.dwProductVersionLS);
    VersionInfo.Build = LOWORD(Fixed.dwProductVersionLS);
    VersionText = FormatVersionText(VersionInfo.Major, VersionInfo.Minor, VersionInfo.Release,
                                    VersionInfo.Build);

    // The entry is a language word followed by a code-page word; read as one little-endian
    // number, the code page is the high half.
    TranslationFound = QueryValue(Block, "\\VarFileInfo\\Translation", &Value, &Length) && Value &&
                       Length >= sizeof(uint32_t);
    if (TranslationFound) {
        uint32_t Translation;
        memcpy(&Translation, Value, sizeof Translation);
        VersionInfo.Translation = TranslationText(Translation);
    }

    // Without a translation table the one kept from an earlier file names the table. With none
    // at all there is no name, and an empty path part would make VerQueryValueA look one level
    // too high.
    std::string TableName = StringTableName(VersionInfo.Translation);
    if (!TableName.empty()) {
        std::string TablePath = "\\StringFileInfo\\" + TableName + "\\";
        for (const TStringItem& Item : StringItems) {
            if (QueryValue(Block, (TablePath + Item.Name).c_str(), &Value, &Length) && Value) {
                // Length counts characters, with or without the NUL depending on the system.
                const char* Text = static_cast<const char*>(Value);
                VersionInfo.*Item.Field = std::string(Text, strnlen(Text, Length));
            }
        }
    }
    return VersionValue(VersionInfo.Major, VersionInfo.Minor, VersionInfo.Release,
                        VersionInfo.Build);
}

// The time as the DOS date and time form keeps it: even seconds, no fraction. Returns false only
// when the file time can't be a calendar time at all.
bool DosResolutionTime(const FILETIME& Time, SYSTEMTIME& Result)
{
    SYSTEMTIME Exact;
    if (!FileTimeToSystemTime(&Time, &Exact))
        return false;
    if (Exact.wYear >= 1980 && Exact.wYear <= 2107) {
        WORD DosDate;
        WORD DosTime;
        FILETIME Rounded;
        if (FileTimeToDosDateTime(&Time, &DosDate, &DosTime) &&
            DosDateTimeToFileTime(DosDate, DosTime, &Rounded) &&
            FileTimeToSystemTime(&Rounded, &Result))
            return true;
    }
    // The DOS form holds only 1980 to 2107 (and some systems convert other years to nonsense
    // instead of failing). The file exists, so its date must not come out empty, which callers
    // read as "no file": show such a time as it is, cut to the same 2-second resolution.
    Result = Exact;
    Result.wSecond -= Result.wSecond % 2;
    Result.wMilliseconds = 0;
    return true;
}

// The date in the user's short date format, or "" when the system can't format it.
std::string ShortDateText(const SYSTEMTIME& Time)
{
    int Size = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &Time, nullptr, nullptr, 0);
    if (Size <= 0)
        return std::string();
    std::vector<char> Text(Size);
    // The size was asked for just now, so only a failure returns 0 here.
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &Time, nullptr, Text.data(), Size) <= 0)
        return std::string();
    return Text.data();
}

// The time in the user's long time format, or "" when the system can't format it.
std::string LongTimeText(const SYSTEMTIME& Time)
{
    int Size = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &Time, nullptr, nullptr, 0);
    if (Size <= 0)
        return std::string();
    std::vector<char> Text(Size);
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &Time, nullptr, Text.data(), Size) <= 0)
        return std::string();
    return Text.data();
}

// The text of a file time. Never empty, as callers take an empty date for a missing file: "?"
// stands for a time that no calendar format can show.
std::string FileTimeText(const FILETIME& Time)
{
    SYSTEMTIME Shown;
    if (!DosResolutionTime(Time, Shown))
        return "?";
    std::string Text = ShortDateText(Shown);
    if (Text.empty())
        return "?";
    if (Shown.wHour == 0 && Shown.wMinute == 0 && Shown.wSecond == 0)
        return Text;
    std::string Clock = LongTimeText(Shown);
    return Clock.empty() ? Text : Text + " " + Clock;
}

}   // namespace

std::string FileTimeText(int64_t FileTime)
{
    FILETIME Time = {DWORD(uint64_t(FileTime)), DWORD(uint64_t(FileTime) >> 32)};
    return FileTimeText(Time);
}

int64_t ReadVersionInfo(const char* FileName, std::string& VersionText)
{
    VersionText.clear();
    char ModulePath[ModulePathSize];
    if (!FileName) {
        DWORD Length = GetModuleFileNameA(nullptr, ModulePath, sizeof ModulePath);
        // A cut path names another file or none: rather read no version than a wrong one.
        if (Length == 0 || Length >= sizeof ModulePath)
            return -1;
        FileName = ModulePath;
    }
    if (!VersionLibraryReady())
        return -1;
    DWORD Handle = 0;
    DWORD Size = GetInfoSize(FileName, &Handle);
    if (Size == 0)
        return -1;
    std::vector<char> Block(Size);   // freed on every way out
    if (!GetInfo(FileName, 0, Size, Block.data()))
        return -1;
    return ReadVersionBlock(Block.data(), VersionText);
}

void GetFileDate(const char* FileName, int Kind, int64_t& FileTime, std::string& DateText)
{
    DateText.clear();
    FileTime = 0;
    if (Kind < fdCreation || Kind > fdLastWrite)
        return;
    // Sharing read access only: a file that someone is writing right now counts as not there.
    HANDLE File = CreateFileA(FileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return;
    FILETIME Times[3];   // creation, last access, last write: the order of the Kind values
    BOOL Read = GetFileTime(File, &Times[0], &Times[1], &Times[2]);
    CloseHandle(File);
    if (!Read)
        return;
    const FILETIME& Selected = Times[Kind - fdCreation];
    FileTime = int64_t((uint64_t(Selected.dwHighDateTime) << 32) | Selected.dwLowDateTime);
    DateText = FileTimeText(Selected);
}

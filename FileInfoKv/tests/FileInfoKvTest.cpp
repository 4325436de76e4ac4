#include "FileInfoKv/FileInfoKv.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// Room for any path the tests build, with its NUL.
const int PathSize = 1024;

std::string OwnProgramPath()
{
    char Path[PathSize];
    DWORD Length = GetModuleFileNameA(nullptr, Path, sizeof Path);
    return Length > 0 && Length < sizeof Path ? std::string(Path, Length) : std::string();
}

// Every field on a line of its own, so that one comparison shows all differences.
std::string Describe(const TVersionInfo& Info)
{
    return std::to_string(Info.Major) + "," + std::to_string(Info.Minor) + "," +
           std::to_string(Info.Release) + "," + std::to_string(Info.Build) +
           "\nTranslation=" + Info.Translation + "\nCompanyName=" + Info.CompanyName +
           "\nFileDescription=" + Info.FileDescription + "\nFileVersion=" + Info.FileVersion +
           "\nInternalName=" + Info.InternalName + "\nLegalCopyright=" + Info.LegalCopyright +
           "\nOriginalFilename=" + Info.OriginalFilename + "\nProductName=" + Info.ProductName +
           "\nProductVersion=" + Info.ProductVersion + "\nComments=" + Info.Comments +
           "\nLegalTrademarks=" + Info.LegalTrademarks + "\nPrivateBuild=" + Info.PrivateBuild;
}

// A folder of the test's own under the temporary directory, with one file; both go at the end.
struct TTempFile {
    std::string Folder, Path;
    TTempFile()
    {
        char Base[PathSize];
        DWORD Length = GetTempPathA(sizeof Base, Base);
        EXPECT_TRUE(Length > 0 && Length < sizeof Base);
        Folder = std::string(Base) + "FileInfoKvTest" + std::to_string(GetCurrentProcessId());
        Path = Folder + "\\file.txt";
        EXPECT_TRUE(CreateDirectoryA(Folder.c_str(), nullptr)) << Folder;
        HANDLE File = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, File) << Path;
        DWORD Written;
        WriteFile(File, "no version\r\n", 12, &Written, nullptr);
        CloseHandle(File);
    }
    ~TTempFile()
    {
        DeleteFileA(Path.c_str());
        RemoveDirectoryA(Folder.c_str());
    }
};

FILETIME UtcTime(WORD Year, WORD Month, WORD Day, WORD Hour, WORD Minute, WORD Second)
{
    SYSTEMTIME Time = {Year, Month, 0, Day, Hour, Minute, Second, 0};
    FILETIME Result = {};
    EXPECT_TRUE(SystemTimeToFileTime(&Time, &Result));
    return Result;
}

int64_t AsInt64(const FILETIME& Time)
{
    return int64_t((uint64_t(Time.dwHighDateTime) << 32) | Time.dwLowDateTime);
}

// Sets the times that are not null, then reads back all three as the system keeps them.
bool SetTimes(const std::string& Path, const FILETIME* Creation, const FILETIME* Access,
              const FILETIME* Write, FILETIME (&Stored)[3])
{
    HANDLE File = CreateFileA(Path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    BOOL Done = SetFileTime(File, Creation, Access, Write) &&
                GetFileTime(File, &Stored[0], &Stored[1], &Stored[2]);
    CloseHandle(File);
    return Done != 0;
}

// What the user's formats make of a time, so that the tests hold in any locale.
std::string LocaleText(const FILETIME& Shown, bool DateOnly)
{
    SYSTEMTIME Time;
    char Date[PathSize];
    char Clock[PathSize];
    EXPECT_TRUE(FileTimeToSystemTime(&Shown, &Time));
    EXPECT_GT(
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &Time, nullptr, Date, sizeof Date), 0);
    EXPECT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &Time, nullptr, Clock, sizeof Clock), 0);
    return DateOnly ? std::string(Date) : std::string(Date) + " " + Clock;
}

void ExpectNoDate(const char* File, int Line, const std::string& Path, int Kind = fdLastWrite)
{
    SCOPED_TRACE(testing::Message() << "called from " << File << ":" << Line);
    int64_t Time = 12345;
    std::string Text = "garbage";
    GetFileDate(Path.c_str(), Kind, Time, Text);
    EXPECT_EQ(0, Time);
    EXPECT_EQ("", Text);
}
#define EXPECT_NO_DATE(...) ExpectNoDate(__FILE__, __LINE__, __VA_ARGS__)

}   // namespace

// FileInfoKvTests.rc gives file version 3.4.5.6, product version 2.5.0.123, no InternalName.
TEST(ReadVersionInfo, OwnProgramGivesProductVersionAndItsTexts)
{
    const TVersionInfo Stale{9,       9,       9,       9,       "stale", "stale",
                             "stale", "stale", "stale", "stale", "stale", "stale",
                             "stale", "stale", "stale", "stale"};
    TVersionInfo Expected = Stale;
    Expected.Major = 2;
    Expected.Minor = 5;
    Expected.Release = 0;
    Expected.Build = 123;
    Expected.Translation = "04E40409";
    Expected.CompanyName = "Test Company Ltd";
    Expected.FileDescription = "FileInfoKv unit tests";
    Expected.FileVersion = "3.4.5.6";
    Expected.LegalCopyright = "Copyright (C) Nobody";
    Expected.OriginalFilename = "FileInfoKvTests.exe";
    Expected.ProductName = "FileInfoKv";
    Expected.ProductVersion = "2.5.0.123";

    const std::string Own = OwnProgramPath();
    for (const char* Path : {static_cast<const char*>(nullptr), Own.c_str()}) {
        SCOPED_TRACE(Path ? Path : "null");
        VersionInfo = Stale;
        std::string Text = "garbage";
        EXPECT_EQ(2005000123, ReadVersionInfo(Path, Text));
        EXPECT_EQ("2.05.0000.0123", Text);
        EXPECT_EQ(Describe(Expected), Describe(VersionInfo));
    }
}

TEST(ReadVersionInfo, FileWithoutVersionLeavesVersionInfoAsItWas)
{
    TTempFile Temp;
    std::string Text;
    ReadVersionInfo(nullptr, Text);
    const std::string Before = Describe(VersionInfo);
    for (const std::string& Path : {Temp.Path, Temp.Folder + "\\missing.dll", Temp.Folder}) {
        SCOPED_TRACE(Path);
        Text = "garbage";
        EXPECT_EQ(-1, ReadVersionInfo(Path.c_str(), Text));
        EXPECT_EQ("", Text);
        EXPECT_EQ(Before, Describe(VersionInfo));
    }
}

// NoTranslation.rc: product version 10.12.3456.7, no translation table, InternalName and
// ProductName under 040904E4, CompanyName under 040704B0.
TEST(ReadVersionInfo, FileWithoutTranslationKeepsEarlierTexts)
{
    std::string Dll = OwnProgramPath();
    Dll = Dll.substr(0, Dll.rfind('\\') + 1) + "FileInfoKvNoTranslation.dll";
    std::string Text;
    ASSERT_EQ(2005000123, ReadVersionInfo(nullptr, Text));
    TVersionInfo Expected = VersionInfo;

    Text = "garbage";
    EXPECT_EQ(10015456007, ReadVersionInfo(Dll.c_str(), Text));
    EXPECT_EQ("10.12.3456.0007", Text);
    // The kept translation still names the string table, so the items the DLL has there are
    // taken; the others, and the DLL's table under another name, are not.
    Expected.Major = 10;
    Expected.Minor = 12;
    Expected.Release = 3456;
    Expected.Build = 7;
    Expected.InternalName = "NoTranslation";
    Expected.ProductName = "Second product";
    EXPECT_EQ(Describe(Expected), Describe(VersionInfo));
}

TEST(GetFileDate, LastWriteTextHasEvenSecondsOfUniversalTime)
{
    const struct {
        const char* What;
        FILETIME Written, Shown;
        bool DateOnly;
    } Cases[] = {
        {"odd second", UtcTime(2021, 6, 15, 10, 0, 1), UtcTime(2021, 6, 15, 10, 0, 0), false},
        {"last second", UtcTime(2021, 6, 15, 23, 59, 59), UtcTime(2021, 6, 15, 23, 59, 58), false},
        {"midnight", UtcTime(2021, 6, 15, 0, 0, 0), UtcTime(2021, 6, 15, 0, 0, 0), true},
        {"rounds to midnight", UtcTime(2021, 6, 15, 0, 0, 1), UtcTime(2021, 6, 15, 0, 0, 0), true},
        // Times the DOS form can't hold are shown as they are, at the same resolution.
        {"before 1980", UtcTime(1979, 12, 31, 23, 59, 59), UtcTime(1979, 12, 31, 23, 59, 58),
         false},
        {"after 2107", UtcTime(2150, 3, 1, 0, 0, 1), UtcTime(2150, 3, 1, 0, 0, 0), true},
    };
    TTempFile Temp;
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        FILETIME Stored[3];
        ASSERT_TRUE(SetTimes(Temp.Path, nullptr, nullptr, &Case.Written, Stored));
        int64_t Time = 12345;
        std::string Text = "garbage";
        GetFileDate(Temp.Path.c_str(), fdLastWrite, Time, Text);
        EXPECT_EQ(AsInt64(Case.Written), Time);   // exact, for comparing files
        EXPECT_EQ(LocaleText(Case.Shown, Case.DateOnly), Text);
    }
}

TEST(GetFileDate, KindSelectsCreationAccessOrWriteTime)
{
    TTempFile Temp;
    const FILETIME Set[3] = {UtcTime(2001, 1, 1, 1, 1, 2), UtcTime(2002, 2, 2, 2, 2, 2),
                             UtcTime(2003, 3, 3, 3, 3, 4)};
    FILETIME Stored[3];
    ASSERT_TRUE(SetTimes(Temp.Path, &Set[0], &Set[1], &Set[2], Stored));
    for (int Kind : {fdCreation, fdLastAccess, fdLastWrite}) {
        SCOPED_TRACE(Kind);
        int64_t Time = 12345;
        std::string Text;
        GetFileDate(Temp.Path.c_str(), Kind, Time, Text);
        EXPECT_EQ(AsInt64(Stored[Kind - 1]), Time);
        EXPECT_EQ(LocaleText(Stored[Kind - 1], false), Text);
    }
    EXPECT_NO_DATE(Temp.Path, 0);
    EXPECT_NO_DATE(Temp.Path, 4);
    if (AsInt64(Stored[0]) != AsInt64(Set[0]))
        GTEST_SKIP() << "the file system keeps no settable creation time, so the creation kind "
                        "was compared with whatever it reports";
}

TEST(GetFileDate, FileThatCannotBeOpenedGivesNothing)
{
    TTempFile Temp;
    EXPECT_NO_DATE(Temp.Folder + "\\missing.txt");
    EXPECT_NO_DATE(Temp.Folder + "\\missing\\missing.txt");

    const struct {
        const char* What;
        DWORD Access, Share;
        bool Readable;
    } Holders[] = {
        {"writer sharing nothing", GENERIC_WRITE, 0, false},
        {"writer sharing reading", GENERIC_WRITE, FILE_SHARE_READ, false},
        {"reader sharing reading", GENERIC_READ, FILE_SHARE_READ, true},
    };
    for (const auto& Holder : Holders) {
        SCOPED_TRACE(Holder.What);
        HANDLE Held = CreateFileA(Temp.Path.c_str(), Holder.Access, Holder.Share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, Held);
        int64_t Time = 0;
        std::string Text;
        GetFileDate(Temp.Path.c_str(), fdLastWrite, Time, Text);
        CloseHandle(Held);
        EXPECT_EQ(Holder.Readable, Time != 0);
        EXPECT_EQ(Holder.Readable, !Text.empty());
    }
}

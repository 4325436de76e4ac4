#include "FileInfoKv/FileInfoKv.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The copy decision formats the dates of files it has opened already; the texts must be those
// of GetFileDate, or "refreshed" and "replaced by" would depend on who read the date.
TEST(FileTimeText, SameTextAsGetFileDate)
{
    char Temp[MAX_PATH];
    GetTempPathA(sizeof Temp, Temp);
    std::string Path = std::string(Temp) + "FileTimeText" + std::to_string(GetCurrentProcessId());
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, File);
    CloseHandle(File);
    const SYSTEMTIME Times[] = {
        {2020, 6, 1, 1, 12, 34, 57, 123},     // odd second and milliseconds: cut to 12:34:56
        {2020, 6, 1, 1, 0, 0, 0, 0},          // midnight: the date alone
        {2020, 6, 1, 1, 0, 0, 1, 999},        // cut down to midnight
        {1979, 12, 1, 31, 23, 59, 59, 500},   // before the DOS form's years
        {2107, 12, 6, 31, 23, 59, 59, 0},   {2108, 1, 0, 1, 0, 0, 3, 0},   // after them
    };
    for (const SYSTEMTIME& Time : Times) {
        SCOPED_TRACE(::testing::Message()
                     << Time.wYear << "-" << Time.wMonth << "-" << Time.wDay << " " << Time.wHour
                     << ":" << Time.wMinute << ":" << Time.wSecond << "." << Time.wMilliseconds);
        FILETIME Written;
        ASSERT_TRUE(SystemTimeToFileTime(&Time, &Written));
        File = CreateFileA(Path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, File);
        EXPECT_TRUE(SetFileTime(File, nullptr, nullptr, &Written));
        CloseHandle(File);
        int64_t Read = 0;
        std::string Text;
        GetFileDate(Path.c_str(), fdLastWrite, Read, Text);
        ASSERT_NE("", Text);
        EXPECT_EQ(Text, FileTimeText(Read));
    }
    DeleteFileA(Path.c_str());
}

}   // namespace

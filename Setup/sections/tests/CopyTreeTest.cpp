#include "Setup/sections/FilesSection.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "Setup/base/Dialogs.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/tests/FakeFileDoor.h"
#include "Setup/tests/OwnDialogs.h"

namespace {

void WriteFileAt(const std::string& Path, const std::string& Text, WORD Year)
{
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, File) << Path;
    DWORD Written;
    WriteFile(File, Text.data(), DWORD(Text.size()), &Written, nullptr);
    SYSTEMTIME System = {};
    System.wYear = Year;
    System.wMonth = 6;
    System.wDay = 1;
    FILETIME Time;
    SystemTimeToFileTime(&System, &Time);
    SetFileTime(File, nullptr, nullptr, &Time);
    CloseHandle(File);
}

std::string ReadAll(const std::string& Path)
{
    char Text[64] = "";
    DWORD Got = 0;
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        ReadFile(File, Text, sizeof Text - 1, &Got, nullptr);
        CloseHandle(File);
    }
    return std::string(Text, Got);
}

std::string Control(HWND Dlg, int Id)
{
    char Text[2048] = "";
    GetDlgItemTextA(Dlg, Id, Text, sizeof Text);
    return Text;
}

struct CopyTreeTest : ::testing::Test {
    std::string Base, From, To;
    void SetUp() override
    {
        char Temp[MAX_PATH];
        GetTempPathA(sizeof Temp, Temp);
        Base = std::string(Temp) + "CopyTreeTest" + std::to_string(GetCurrentProcessId());
        From = Base + "\\from";
        To = Base + "\\to";
        for (const std::string& Dir : {Base, From, From + "\\m", To, To + "\\m"})
            CreateDirectoryA(Dir.c_str(), nullptr);
        ErrorCount = 0;
        LogText.clear();
        Caption = "SETUP VTEST";
        DlgRec = TDlgRec{};
        CopyStopped = false;
    }
    void TearDown() override
    {
        for (const char* Name : {"\\a.txt", "\\z.txt", "\\m\\c.txt"}) {
            DeleteFileA((From + Name).c_str());
            DeleteFileA((To + Name).c_str());
        }
        for (const std::string& Dir : {From + "\\m", To + "\\m", From, To, Base})
            RemoveDirectoryA(Dir.c_str());
    }
};

// The system enumerates a, m, z in this order (sorted, as NTFS and Wine give them), so the walk
// of m comes between the two conflicts of the top directory.
TEST_F(CopyTreeTest, AlwaysOfADirectoryHoldsAgainAfterItsSubdirectory)
{
    for (const char* Name : {"\\a.txt", "\\z.txt", "\\m\\c.txt"}) {
        WriteFileAt(From + Name, "new", 2019);
        WriteFileAt(To + Name, "kept", 2021);
    }
    // Skip with "always" at the top, plain Overwrite in m, whichever comes first.
    auto Answer = [](HWND Dlg) {
        if (Control(Dlg, idText).find("\\m\\c.txt") != std::string::npos) {
            Click(Dlg, idOverwrite);
            return;
        }
        Click(Dlg, idAlways);
        Sleep(100);
        Click(Dlg, IDOK);
    };
    TOwnDialogs Robot({Answer, Answer, Answer});

    CopyTree(From + "\\", "*.*", To, false);

    EXPECT_EQ(2u, Robot.Seen().size());
    EXPECT_EQ("kept", ReadAll(To + "\\a.txt"));
    EXPECT_EQ("kept", ReadAll(To + "\\z.txt"));
    EXPECT_EQ("new", ReadAll(To + "\\m\\c.txt"));
    EXPECT_FALSE(CopyStopped);
    EXPECT_EQ(0, ErrorCount);
    // No log file is open: the outcome lines wait in the pending text.
    for (const char* Name : {"\\a.txt\t", "\\z.txt\t"}) {
        size_t At = LogText.find(To + Name);
        ASSERT_NE(std::string::npos, At) << LogText;
        EXPECT_NE(std::string::npos, LogText.find(" not replaced by ", At)) << LogText;
    }
    EXPECT_NE(std::string::npos, LogText.find(To + "\\m\\c.txt\t")) << LogText;
}

// The walk looks through the door: files and folders that only the machine behind it has (a plan's
// books, an earlier key's copies) are found by a single name, by a pattern and with /s alike.
TEST(CopyTree, FindsWhatOnlyTheDoorHas)
{
    const std::string Medium = "C:\\FAKEMEDIUM", App = "C:\\FAKEAPP";
    char Temp[MAX_PATH];
    GetTempPathA(sizeof Temp, Temp);
    std::string Bytes = Temp + std::to_string(GetCurrentProcessId()) + "late.txt";
    WriteFileAt(Bytes, "late", 2020);
    struct TCase {
        const char* Pattern;
        bool Recursive;
        std::vector<std::string> Installed;
    } Cases[] = {
        {"LATE.TXT", false, {App + "\\LATE.TXT"}},
        {"*.TXT", false, {App + "\\LATE.TXT"}},
        {"*.TXT", true, {App + "\\LATE.TXT", App + "\\SUB\\DEEP.TXT"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Pattern + std::string(Case.Recursive ? " /s" : ""));
        TFakeFiles Machine;
        Machine.Folders = {Medium, Medium + "\\SUB", App};
        Machine.Found = {{Medium + "\\LATE.TXT", Bytes}, {Medium + "\\SUB\\DEEP.TXT", Bytes}};
        CopyStopped = false;

        CopyTree(Medium, Case.Pattern, App, Case.Recursive);

        EXPECT_EQ(Case.Installed, Machine.Installed);
        EXPECT_NE(std::string::npos, LogText.find(App + "\\LATE.TXT\t")) << LogText;
        LogText.clear();
    }
    DeleteFileA(Bytes.c_str());
}

}   // namespace

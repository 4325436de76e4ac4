#include "Setup/sections/CopyDecision.h"

#include <gtest/gtest.h>

#include "Setup/base/Log.h"
#include "Setup/base/RunState.h"
#include "Setup/base/tests/FakeFileDoor.h"

namespace {

const char* const App = "C:\\FakeApp";
const std::string B = "C:\\FakeApp\\a.txt";

// A real file holding Text, last written on 1 June of Year: the bytes a file of the fake has.
std::string RealFile(const std::string& Name, const std::string& Text, WORD Year)
{
    char Temp[MAX_PATH];
    GetTempPathA(sizeof Temp, Temp);
    std::string Path = Temp + std::to_string(GetCurrentProcessId()) + Name;
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written;
    WriteFile(File, Text.data(), DWORD(Text.size()), &Written, nullptr);
    SYSTEMTIME System = {Year, 6, 0, 1, 0, 0, 0, 0};
    FILETIME Time;
    SystemTimeToFileTime(&System, &Time);
    SetFileTime(File, nullptr, nullptr, &Time);
    CloseHandle(File);
    return Path;
}

struct CopyOneFileTest : ::testing::Test {
    TFakeFiles Machine;
    std::string A = RealFile("new.txt", "new", 2020);
    void SetUp() override
    {
        Machine.Folders.insert(FoldedText(App));
        LogText.clear();
        ErrorCount = 0;
        RestartNeeded = false;
        Switches.Quiet = true;   // a question takes its default answer: skip
        FilesInUse = fuRestart;
    }
    void TearDown() override
    {
        Switches.Quiet = false;
        FilesInUse = fuFail;
        DeleteFileA(A.c_str());
    }
};

// The outcome of installing A (new, 2020) over each kind of B, in the log and on the machine.
TEST_F(CopyOneFileTest, EachOutcomeIsLoggedAndDoneThroughTheDoor)
{
    struct TCase {
        const char* Name;
        const char* Bytes;   // B's, nullptr: no B
        WORD Year;
        bool Busy;
        const char* Outcome;
        size_t Installs, AtRestart;
    } Cases[] = {
        {"new", nullptr, 0, false, " created", 1, 0},
        {"same", "new", 2020, false, " refreshed", 0, 0},
        {"older", "old", 2019, false, " replaced by ", 1, 0},
        {"newer", "old", 2021, false, " not replaced by ", 0, 0},
        {"in use", "old", 2019, true, " will replace the file in use at the next restart", 0, 1},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Machine.Found.clear();
        Machine.Busy.clear();
        Machine.Installed.clear();
        Machine.AtRestart.clear();
        LogText.clear();
        std::string Old = Case.Bytes ? RealFile("old.txt", Case.Bytes, Case.Year) : "";
        if (Case.Bytes)
            Machine.Put(B, Old);
        if (Case.Busy)
            Machine.Busy.insert(FoldedText(B));

        EXPECT_TRUE(CopyOneFile(A, B));

        EXPECT_NE(std::string::npos, LogText.find(Case.Outcome)) << LogText;
        EXPECT_EQ(Case.Installs, Machine.Installed.size());
        EXPECT_EQ(Case.AtRestart, Machine.AtRestart.size());
        EXPECT_EQ(Case.AtRestart != 0, RestartNeeded);
        EXPECT_EQ(0, ErrorCount);
        EXPECT_EQ(Case.Installs ? A : Case.Bytes ? Old : B, Machine.ReadFrom(B));
        if (Case.Bytes)
            DeleteFileA(Old.c_str());
    }
}

// A backup takes B's own name in the folder, else the first numbered one that nothing has.
TEST(FreeBackupTarget, TakesTheFirstNameNothingHas)
{
    struct TCase {
        std::vector<const char*> There;
        const char* Target;   // nullptr: none
    } Cases[] = {
        {{}, "a.txt"},
        {{"a.txt"}, "a (2).txt"},
        {{"a.txt", "a (2).txt"}, "a (3).txt"},
        {{"a (2).txt"}, "a.txt"},
    };
    for (const TCase& Case : Cases) {
        TFakeFiles Machine;
        Machine.Folders.insert(FoldedText("C:\\old"));
        for (const char* Name : Case.There)
            Machine.Put(std::string("C:\\old\\") + Name, "");
        std::string Target;
        ASSERT_TRUE(FreeBackupTarget("C:\\old", B, Target)) << Case.Target;
        EXPECT_EQ(std::string("C:\\old\\") + Case.Target, Target);
    }
    TFakeFiles Machine;   // no folder: no name is free
    std::string Target;
    EXPECT_FALSE(FreeBackupTarget("C:\\old", B, Target));
}

}   // namespace

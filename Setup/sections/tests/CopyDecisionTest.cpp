#include "Setup/sections/CopyDecision.h"

#include <gtest/gtest.h>

#include "Setup/base/Log.h"
#include "Setup/base/RunState.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/tests/FakeFileDoor.h"

namespace {

const std::string B = "C:\\FakeApp\\a.txt";

// A real file holding Text, last written on 1 June of Year: the bytes of a file of the fake.
std::string RealFile(const char* Name, const char* Text, WORD Year)
{
    char Temp[MAX_PATH];
    GetTempPathA(sizeof Temp, Temp);
    std::string Path = Temp + std::to_string(GetCurrentProcessId()) + Name;
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD Written;
    WriteFile(File, Text, DWORD(strlen(Text)), &Written, nullptr);
    SYSTEMTIME System = {Year, 6, 0, 1, 0, 0, 0, 0};
    FILETIME Time;
    SystemTimeToFileTime(&System, &Time);
    SetFileTime(File, nullptr, nullptr, &Time);
    CloseHandle(File);
    return Path;
}

// Installing A (2020) over each kind of B in a quiet run, where a question is answered "skip" and
// a file in use waits for the next restart: the log's outcome and what the door was asked to do.
TEST(CopyOneFile, EachOutcomeIsLoggedAndDoneThroughTheDoor)
{
    struct TCase {
        const char* Bytes;   // B's, nullptr: no B
        WORD Year;
        bool Busy;
        const char* Outcome;
        size_t Installs, AtRestart;
    } Cases[] = {
        {nullptr, 0, false, " created", 1, 0},
        {"new", 2020, false, " refreshed", 0, 0},
        {"old", 2019, false, " replaced by ", 1, 0},
        {"old", 2021, false, " not replaced by ", 0, 0},
        {"old", 2019, true, " will replace the file in use at the next restart", 0, 1},
    };
    std::string A = RealFile("new.txt", "new", 2020);
    Switches.Quiet = true;
    ChooseUserDoor(false);   // questions take the quiet answer, boxes are logged
    FilesInUse = fuRestart;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Outcome);
        TFakeFiles Machine;
        Machine.Folders.insert(FoldedText("C:\\FakeApp"));
        std::string Old = Case.Bytes ? RealFile("old.txt", Case.Bytes, Case.Year) : B;
        if (Case.Bytes)
            Machine.Found[FoldedText(B)] = Old;
        if (Case.Busy)
            Machine.Busy.insert(FoldedText(B));
        LogText.clear();
        RestartNeeded = false;

        EXPECT_TRUE(CopyOneFile(A, B));
        EXPECT_NE(std::string::npos, LogText.find(Case.Outcome)) << LogText;
        EXPECT_EQ(Case.Installs, Machine.Installed.size());
        EXPECT_EQ(Case.AtRestart, Machine.AtRestart.size());
        EXPECT_EQ(Case.AtRestart != 0, RestartNeeded);
        EXPECT_EQ(Case.Installs ? A : Old, Machine.ReadFrom(B));
        DeleteFileA(Old.c_str());
    }
    Switches.Quiet = false;
    ChooseUserDoor(false);
    FilesInUse = fuFail;
    DeleteFileA(A.c_str());
}

// A backup takes B's own name in the folder, else the first numbered one that nothing has; in a
// missing folder none.
TEST(FreeBackupTarget, TakesTheFirstNameNothingHas)
{
    struct TCase {
        std::vector<const char*> There;
        const char* Target;   // nullptr: none
    } Cases[] = {
        {{}, "C:\\old\\a.txt"},
        {{"a.txt"}, "C:\\old\\a (2).txt"},
        {{"a.txt", "a (2).txt"}, "C:\\old\\a (3).txt"},
        {{"a (2).txt"}, "C:\\old\\a.txt"},
        {{"-"}, nullptr},
    };
    for (const TCase& Case : Cases) {
        TFakeFiles Machine;
        if (Case.Target)
            Machine.Folders.insert(FoldedText("C:\\old"));
        for (const char* Name : Case.There)
            Machine.Found[FoldedText(std::string("C:\\old\\") + Name)] = "";
        std::string Target;
        bool Free = FreeBackupTarget("C:\\old", B, Target);
        EXPECT_EQ(Case.Target != nullptr, Free) << Target;
        EXPECT_EQ(Free ? Case.Target : Target, Target);
    }
}

}   // namespace

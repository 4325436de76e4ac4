#include "Setup/base/DirTree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/tests/OwnDialogs.h"

namespace {

bool IsDir(const std::string& Path)
{
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY);
}

struct CreateDirTreeTest : ::testing::Test {
    std::string Base;
    void SetUp() override
    {
        char Temp[MAX_PATH];
        GetTempPathA(sizeof Temp, Temp);
        Base = std::string(Temp) + "DirTreeTest" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Base.c_str(), nullptr);
        ErrorCount = 0;
        LogText.clear();
        Caption = "SETUP VTEST";
    }
    void TearDown() override
    {
        for (const char* Sub : {"\\a\\b\\c", "\\a\\b", "\\a", "\\one"})
            RemoveDirectoryA((Base + Sub).c_str());
        DeleteFileA((Base + "\\file").c_str());
        RemoveDirectoryA(Base.c_str());
    }
};

TEST_F(CreateDirTreeTest, ExistingDirectoryAndDriveRootNeedNothing)
{
    std::string Log;
    EXPECT_EQ(0, CreateDirTree(Base, Log));
    EXPECT_EQ(0, CreateDirTree(Base + "\\", Log));
    EXPECT_EQ(0, CreateDirTree("C:\\", Log));
    EXPECT_EQ("", Log);
}

TEST_F(CreateDirTreeTest, OneMissingLevelIsMadeWithoutALine)
{
    std::string Log;
    EXPECT_EQ(1, CreateDirTree(Base + "\\one", Log));
    EXPECT_TRUE(IsDir(Base + "\\one"));
    EXPECT_EQ("", Log);
}

TEST_F(CreateDirTreeTest, MissingLevelsAreLoggedTopDownWithOrWithoutTrailingBackslash)
{
    for (const char* Tail : {"\\a\\b\\c", "\\a\\b\\c\\"}) {
        SCOPED_TRACE(Tail);
        std::string Log;
        EXPECT_EQ(1, CreateDirTree(Base + Tail, Log));
        EXPECT_EQ(Base + "\\a\t created\r\n" + Base + "\\a\\b\t created\r\n" + Base +
                      "\\a\\b\\c\t created\r\n",
                  Log);
        EXPECT_TRUE(IsDir(Base + "\\a\\b\\c"));
        TearDown();
        SetUp();
    }
}

TEST_F(CreateDirTreeTest, FailureIsShownLoggedAndMarksTheRun)
{
    struct {
        std::string Path;
        std::string Tried;
    } Cases[] = {
        // Creating an existing level fails too, so the walk goes past every existing level,
        // the drive included, to the start of the text.
        {"Q:\\no\\such\\drive", ""},
        {Base + "\\file", ""},
    };
    HANDLE File = CreateFileA((Base + "\\file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    CloseHandle(File);
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        ErrorCount = 0;
        LogText.clear();
        std::string Log, Path = Case.Path;
        TOwnDialogs Robot({[](HWND Box) { Click(Box, IDOK); }});
        EXPECT_EQ(-1, CreateDirTree(Path, Log));
        EXPECT_EQ(Case.Path, Path);
        std::string Message = "Error to create the " + Case.Tried + " directory";
        ASSERT_EQ(1u, Robot.Seen().size());
        EXPECT_EQ(Message, Robot.Seen()[0].Texts[0xFFFF]);
        EXPECT_EQ(Message + "\r\n", LogText);
        EXPECT_EQ(101, ErrorCount);
    }
}

}   // namespace

#include "Setup/base/SysProgram.h"

#include <gtest/gtest.h>

// Notepad showing an [Info] text runs until the run's step ends it; its record is then empty, so
// that a second close (the exit procedure's) does nothing.
TEST(CloseStartedProgram, EndsTheProgramAndEmptiesItsRecord)
{
    PROCESS_INFORMATION Process;
    ASSERT_TRUE(StartSystemProgram("notepad.exe", "", Process));
    HANDLE Watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), Process.hProcess, GetCurrentProcess(), &Watch,
                                SYNCHRONIZE, FALSE, 0));
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(Watch, 0));   // it waits for the user

    CloseStartedProgram(Process);
    EXPECT_EQ(nullptr, Process.hProcess);
    EXPECT_EQ(nullptr, Process.hThread);
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(Watch, 10000));
    CloseHandle(Watch);

    CloseStartedProgram(Process);
    EXPECT_EQ(nullptr, Process.hProcess);
}

// Whole runs with the progress window: the robot reads it (it is no dialog that takes answers)
// and clicks its Cancel. SETUP_TEST_PROGRESS_DELAY=0 shows it at the first look at the clock, so
// that no test waits for a step to be slow; the file conflicts hold the copies where the window
// is read. The bar goes by bytes: files of a few bytes, and a large file of four chunks.
#include <windows.h>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

const std::string Click1 = "click 1";   // continue, the proposed path, skip a copy, close
const std::string Yes = "click " + std::to_string(IDYES);
const size_t LargeSize = 4u << 20;   // four of the copy's chunks
const TEnvOverrides AtOnce = {{"SETUP_TEST_PROGRESS_DELAY", "0"}};

struct ProgressRun : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Progress"};
    std::string App = Medium.Path("App");
    std::string Log = App + "\\LOGFILKV.LOG";

    // Four entries: ten files of four bytes, a file of three whose installed copy is newer (a
    // question), ten files more and another such file; or, Small, three files in one entry.
    void WriteMedium(bool Small = false) const
    {
        std::string Text = Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App,
                                  "[Files]", "one\\*.*="});
        if (!Small)
            Text += Lines({"old1.txt=", "two\\*.*=", "old2.txt="});
        Medium.WriteText(Inf.Name, Text);
        for (int I = 0; I < (Small ? 3 : 10); ++I)
            for (const char* Dir : {"one\\", "two\\"})
                Medium.WriteText(Dir + std::to_string(I) + ".txt", Dir);
        for (const char* Name : {"old1.txt", "old2.txt"}) {
            Medium.WriteText(Name, "new");
            SetLastWriteTime(Medium.Path(Name), June1(2019));
            Medium.WriteText(App + "\\" + Name, "installed");
            SetLastWriteTime(App + "\\" + Name, June1(2021));
        }
    }

    // What the window showed while the copies waited for the question about Name.
    bool Seen(const TRunResult& Run, const std::string& Name, int Bar) const
    {
        for (const TProgressSight& Sight : Run.Progress)
            if (Sight.Step == "Copying files" && Sight.File == App + "\\" + Name &&
                Sight.Bar == Bar)
                return true;
        return false;
    }
};

TEST_F(ProgressRun, LargeMediumShowsTheStepTheFileAndTheBarByBytes)
{
    WriteMedium();

    TRunResult Run = Medium.Run(Inf.Name, {Click1, Click1, Click1, Click1, Click1}, AtOnce);

    // Two questions, and the window took none of the answers.
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 4, "Installation successfully!"));
    // 40 and 83 bytes of 86 done; by entries the bar would stand at 250 and 750.
    EXPECT_TRUE(Seen(Run, "old1.txt", 465)) << DescribeRun(Run);
    EXPECT_TRUE(Seen(Run, "old2.txt", 965)) << DescribeRun(Run);
    EXPECT_TRUE(FileHolds(App + "\\9.txt", "two\\"));
}

TEST_F(ProgressRun, CancelAsksAndEndsTheRunAsCancelInstallDoes)
{
    WriteMedium();
    std::string Args = "/record=" + Medium.Path("answers.txt") + " " + Inf.Name;

    // Cancel is clicked while the first question waits, and asked about at the next file.
    TRunResult Run =
        Medium.Run(Args, {Click1, Click1, "cancelprogress; " + Click1, Yes, Click1}, AtOnce);

    ASSERT_TRUE(RanAsAnswered(Run, 1602));
    EXPECT_TRUE(ShowsMessageBox(Run, 3, "Cancel the installation?"));
    EXPECT_TRUE(ShowsTemplate(Run, 4, "Installation done without success!"));
    EXPECT_TRUE(FileContains(Log, "\r\nFileCopy canceled by User"));
    EXPECT_TRUE(NothingAt(App + "\\old2.txt") || FileHolds(App + "\\old2.txt", "installed"));
    EXPECT_FALSE(FileContains(Log, App + "\\old2.txt"));
}

TEST_F(ProgressRun, CancelDuringALargeFilesCopyStopsItAndKeepsTheOldFile)
{
    WriteMedium(true);
    Medium.WriteText(Inf.Name, Medium.ReadText(Inf.Name).value() + "big.bin=\r\n");
    Medium.WriteText("big.bin", std::string(LargeSize, 'n'));
    SetLastWriteTime(Medium.Path("big.bin"), June1(2019));
    Medium.WriteText(App + "\\big.bin", "installed");
    SetLastWriteTime(App + "\\big.bin", June1(2021));

    // Cancel is clicked while the question about the large file waits, which it then replaces:
    // the question comes after the copy's first chunk. A switch: the exit code tells the end.
    TRunResult Run = Medium.Run(
        "/record=" + Medium.Path("answers.txt") + " " + Inf.Name,
        {Click1, Click1, "cancelprogress; click " + std::to_string(idOverwrite), Yes, Click1},
        AtOnce);

    ASSERT_TRUE(RanAsAnswered(Run, 1602));
    EXPECT_TRUE(ShowsMessageBox(Run, 3, "Cancel the installation?"));
    EXPECT_TRUE(Seen(Run, "big.bin", 250)) << DescribeRun(Run);   // its first megabyte of four
    EXPECT_TRUE(FileContains(Log, "\r\nFileCopy canceled by User"));
    EXPECT_FALSE(FileContains(Log, "can't copy"));
    EXPECT_TRUE(FileHolds(App + "\\big.bin", "installed"));
    EXPECT_TRUE(TempFilesIn(App).empty());
}

// With rollback on, the question says that everything goes, and it does: the INF copy, the
// files copied before, the replaced file back as it was, the folders made.
TEST_F(ProgressRun, CancelWithRollbackLeavesTheMachineAsItWas)
{
    WriteMedium();
    TMachinePlaces Places = {{Medium.Dir, Inf.Installed}, {Medium.TmpDir, Log}, {}};
    TMachine Before = ReadMachine(Places);

    TRunResult Run = Medium.Run(
        "/rollback /record=" + Medium.Path("answers.txt") + " " + Inf.Name,
        {Click1, Click1, "cancelprogress; click " + std::to_string(idOverwrite), Yes, Click1},
        AtOnce);

    ASSERT_TRUE(RanAsAnswered(Run, 1602));
    EXPECT_TRUE(ShowsMessageBox(
        Run, 3, "Cancel the installation?\nEverything it changed so far will be undone."));
    EXPECT_TRUE(ShowsTemplate(
        Run, 4, "Installation done without success! The machine was left as it was."));
    EXPECT_TRUE(ChangedExactly(Before, ReadMachine(Places),
                               {"file " + Medium.Path("answers.txt") + ": added"}));
}

TEST_F(ProgressRun, NoKeepsTheRunGoing)
{
    WriteMedium();

    TRunResult Run = Medium.Run(Inf.Name,
                                {Click1, Click1, "cancelprogress; " + Click1,
                                 "click " + std::to_string(IDNO), Click1, Click1},
                                AtOnce);

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 5, "Installation successfully!"));
}

TEST_F(ProgressRun, SmallMediumQuietRunAndPlanShowNoWindow)
{
    WriteMedium(true);
    EXPECT_TRUE(RanAsAnswered(Medium.Run(Inf.Name, {Click1, Click1, Click1})));
    // Fewer files than the window waits for before it looks at the clock at all.
    TRunResult Small = Medium.Run(Inf.Name, {Click1, Click1, Click1}, AtOnce);
    EXPECT_TRUE(RanAsAnswered(Small));
    EXPECT_TRUE(Small.Progress.empty()) << DescribeRun(Small);
    WriteMedium();
    for (const std::string& Switch : {std::string("/quiet"), "/plan=" + Medium.Path("plan.txt")}) {
        TRunResult Run = Medium.Run(Switch + " " + Inf.Name, {}, AtOnce);
        EXPECT_TRUE(RanAsAnswered(Run)) << Switch;
        EXPECT_TRUE(Run.Progress.empty()) << Switch << "\n" << DescribeRun(Run);
    }
}

}   // namespace

// Whole runs with switches, as deployment tools start an installation: /quiet shows nothing and
// tells the outcome by its exit code and the log; /dir gives the folder; /record writes the
// answers of an interactive run, which /answers replays on another machine.
#include <windows.h>

#include "Scenario.h"

namespace {

// A medium with a Before and an After text (Notepad, unless quiet), a text file to install into
// App, and Sections of the case.
struct Unattended : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Quiet"};
    std::string App = Medium.Path("App");
    std::string LnkName = "SetupTest." + Medium.Id;

    ~Unattended() override { RemoveTree(ProgramsFolder() + "\\" + LnkName); }

    void WriteInf(const std::string& Sections = "") const
    {
        Medium.WriteText("Readme.txt", "before");
        Medium.WriteText("Thanks.txt", "after");
        Medium.WriteText("a.txt", "new");
        SetLastWriteTime(Medium.Path("a.txt"), June1(2001));
        Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Info]",
                                          "Before=Readme.txt", "After=Thanks.txt", "[Strings]",
                                          "MyProgramPath=" + App, "LnkName=" + LnkName,
                                          "[Files]", "a.txt="}) + Sections);
    }

    // The system's file is newer than the one on the medium: a conflict.
    void PutNewerInstalled() const
    {
        Medium.WriteText(App + "\\a.txt", "newer");
        SetLastWriteTime(App + "\\a.txt", June1(2030));
    }

    std::string Log() const { return App + "\\LOGFILKV.LOG"; }

    // The file at Path ends with Tail.
    ::testing::AssertionResult FileEndsWith(const std::string& Path, const std::string& Tail) const
    {
        std::optional<std::string> Text = Medium.ReadText(Path);
        if (Text && Text->size() >= Tail.size() &&
            Text->compare(Text->size() - Tail.size(), Tail.size(), Tail) == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Path << " does not end with \"" << EscapeText(Tail)
                                             << "\":\n" << Text.value_or("<unreadable>");
    }
};

// Nothing on screen, no Notepad, the exit code as given, the report as the log's last words.
::testing::AssertionResult RanQuietly(const TRunResult& Run, unsigned long ExitCode)
{
    if (!Run.Dialogs.empty() || !Run.Notepads.empty() || Run.TimedOut || Run.Unexpected ||
        Run.ExitCode != ExitCode)
        return ::testing::AssertionFailure() << "expected a quiet run with exit code "
                                             << ExitCode << ":\n" << DescribeRun(Run);
    return ::testing::AssertionSuccess();
}

TEST_F(Unattended, QuietRunsTellTheirOutcomeByExitCodeAndLog)
{
    const struct {
        const char* Case;
        std::string Sections;   // added to the script
        std::string Args;       // after the script's name
        unsigned long ExitCode;
        const char* LastWords;  // of the log
        bool Installed;         // else the run ended before its log file: the temporary one
    } Cases[] = {
        {"success", "", "/quiet", 0, "Installation successfully! Exit code 0", true},
        {"warnings", Lines({"[SetMnuLNK]", "Lonely=Lonely"}), "/QUIET", 1,
         "Installation done with warnings! Exit code 1", true},
        {"failure", Lines({"[RegWrite]", "Bad=HKXX,Software\\SetupTest,V,Reg_SZ,v"}), "/quiet",
         1603, "Installation done without success! Exit code 1603", false},
        {"bad command line", "", "/quiet /quiet", 87,
         "Installation done without success! Exit code 87", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        RemoveTree(App);
        WriteInf(Case.Sections);
        TRunResult Run = Medium.Run(Case.Args + " " + Inf.Name, {});
        EXPECT_TRUE(RanQuietly(Run, Case.ExitCode));
        // The report ends the installation folder's log; the temporary one names itself last.
        std::string RunLog = Case.Installed ? Log() : Medium.TmpDir + "\\LOGFILKV.LOG";
        std::string Tail = Case.LastWords + std::string("\r\n");
        if (!Case.Installed)
            Tail += "Logfile: " + RunLog + "\r\n";
        EXPECT_TRUE(FileEndsWith(RunLog, Tail + "\r\n"));
        EXPECT_EQ(Case.Installed, !NothingAt(App + "\\a.txt"));
    }
}

TEST_F(Unattended, BadCommandLinesInstallNothing)
{
    WriteInf();
    std::string TempLog = Medium.TmpDir + "\\LOGFILKV.LOG";
    // Quiet: the exit code, and the reason in the temporary folder's log.
    const struct {
        std::string Args;
        unsigned long ExitCode;
        const char* Reason;
    } Cases[] = {
        {Inf.Name + " /quiet /silent", 87,
         "Error: bad command line: unknown switch or bad value /silent Switches: "},
        {"/quiet " + Inf.Name + " /Quiet", 87,
         "Error: bad command line: switch given twice /Quiet Switches: "},
        {"/quiet /answers=missing.ini " + Inf.Name, 87, "the answer file "},
        {"/quiet NONE.INF", 2, "NONE.INF-not found!"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Args);
        EXPECT_TRUE(RanQuietly(Medium.Run(Case.Args, {}), Case.ExitCode));
        EXPECT_TRUE(FileContains(TempLog, Case.Reason));
    }
    // Shown: the box, then the report.
    TRunResult Shown = Medium.Run(Inf.Name + " /dir", {"click 1", "click 1"});
    EXPECT_EQ(87u, Shown.ExitCode);
    EXPECT_TRUE(ShowsMessageBox(Shown, 0, "Error: bad command line: unknown switch or bad value /dir"
                                          "\rSwitches: /quiet /dir=PATH /record=FILE /answers=FILE"));
    EXPECT_TRUE(NothingAt(App));
}

TEST_F(Unattended, DeclinedWithASwitchIsCancelled)
{
    WriteInf();
    TRunResult Run = Medium.Run("/dir=" + App + " " + Inf.Name, {"click 2", "click 1"});
    EXPECT_EQ(1602u, Run.ExitCode);
    EXPECT_TRUE(NothingAt(App));
}

TEST_F(Unattended, DirSwitchIsTheFolderAsIfTyped)
{
    WriteInf();
    std::string Other = Medium.Path("Other Folder");
    EXPECT_TRUE(RanQuietly(Medium.Run("/quiet \"/dir=" + Other + "\" " + Inf.Name, {}), 0));
    EXPECT_TRUE(FileHolds(Other + "\\a.txt", "new"));
    EXPECT_TRUE(NothingAt(App));
    // Shown, the path dialog proposes it.
    RemoveTree(Other);
    TRunResult Run =
        Medium.Run("\"/dir=" + Other + "\" " + Inf.Name, {"click 1", "click 1", "click 1"});
    EXPECT_EQ(0u, Run.ExitCode);
    ASSERT_LE(2u, Run.Dialogs.size());
    EXPECT_EQ(Other, Run.Dialogs[1].TextOf(102));
}

TEST_F(Unattended, RecordedAnswersReplayQuietlyOnAnotherMachine)
{
    WriteInf();
    PutNewerInstalled();
    std::string Record = Medium.Path("answers.ini");
    // An earlier recording there: nothing of it may stay.
    Medium.WriteText(Record, Lines({"[SetupAnswers]", "Version=1", "Default=skip", "[Conflict1]",
                                    "File=%MyProgramPath%\\a.txt", "Answer=skip",
                                    "[Conflict2]", "File=%MyProgramPath%\\b.txt",
                                    "Answer=cancel"}));
    TRunResult Asked =
        Medium.Run("/record=" + Record + " " + Inf.Name, {"click 1", "click 1", "click 4", "click 1"});
    ASSERT_EQ(0u, Asked.ExitCode) << DescribeRun(Asked);
    EXPECT_EQ("1", ProfileValue(Record, "SetupAnswers", "Version"));
    EXPECT_EQ(App, ProfileValue(Record, "SetupAnswers", "Folder"));
    EXPECT_EQ("%MyProgramPath%\\a.txt", ProfileValue(Record, "Conflict1", "File"));
    EXPECT_EQ("overwrite", ProfileValue(Record, "Conflict1", "Answer"));
    EXPECT_EQ("0", ProfileValue(Record, "Conflict1", "Always"));
    EXPECT_EQ("<missing>", ProfileValue(Record, "Conflict2", "File"));
    EXPECT_EQ("<missing>", ProfileValue(Record, "SetupAnswers", "Default"));

    // Another machine: the same newer file, nobody to ask.
    PutNewerInstalled();
    EXPECT_TRUE(RanQuietly(Medium.Run("/quiet /answers=" + Record + " " + Inf.Name, {}), 0));
    EXPECT_TRUE(FileHolds(App + "\\a.txt", "new"));
}

TEST_F(Unattended, AnswerFileDefaultAnswersWhatItDoesNotName)
{
    WriteInf();
    std::string Answers = Medium.Path("answers.ini");
    Medium.WriteText(Answers, Lines({"[SetupAnswers]", "Version=1", "Default=backup"}));
    PutNewerInstalled();
    EXPECT_TRUE(RanQuietly(Medium.Run("/quiet /answers=" + Answers + " " + Inf.Name, {}), 0));
    EXPECT_TRUE(FileHolds(App + "\\a.txt", "new"));
    EXPECT_TRUE(FileHolds(App + "\\old\\a.txt", "newer"));
    // Shown, the dialog comes with the answer preset: Enter takes it.
    Medium.WriteText(Answers, Lines({"[SetupAnswers]", "Version=1", "Default=overwrite"}));
    PutNewerInstalled();
    TRunResult Run = Medium.Run("/answers=" + Answers + " " + Inf.Name,
                                {"click 1", "click 1", "default", "click 1"});
    EXPECT_EQ(0u, Run.ExitCode) << DescribeRun(Run);
    EXPECT_TRUE(FileHolds(App + "\\a.txt", "new"));
}

} // namespace

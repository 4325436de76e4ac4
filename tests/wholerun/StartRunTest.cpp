// Whole runs of the start of an installation: which INF file is carried out, the prompt before
// anything happens, and how each run ends.
#include <windows.h>

#include <cstdio>

#include "Scenario.h"
#include "resources/Version.h"

namespace {

std::string ExpectedCaption()
{
    char Text[64];
    snprintf(Text, sizeof Text, "SETUP V%d.%.2d.%.4d.%.4d", SETUP_VERSION_MAJOR,
             SETUP_VERSION_MINOR, SETUP_VERSION_RELEASE, SETUP_VERSION_BUILD);
    return Text;
}

// Every box and dialog of a run carries the installer's title.
::testing::AssertionResult AllTitled(const TRunResult& Run)
{
    for (const TDialog& Dialog : Run.Dialogs)
        if (Dialog.Title != ExpectedCaption())
            return ::testing::AssertionFailure() << "title " << Dialog.Title << " is not "
                                                 << ExpectedCaption() << "\n" << DescribeRun(Run);
    return ::testing::AssertionSuccess();
}

// A signed script whose prompt headline tells which file was taken.
std::string SignedInf(const std::string& Headline, const std::string& Signature = "KELVOR")
{
    return Lines({"[Version]", "FormKv=" + Signature, "[Info]", "BeforeTitle=" + Headline});
}

std::string Prompt(const std::string& Headline) { return Headline + "\rContinue Installation?"; }

const std::string DriverInf = Lines({"[Version]", "Signature=\"$Windows NT$\"", "Class=Net"});

// A run stopped by the INF discovery: its one message box, then the failure report; the box's
// text (on one line) opens the log.
void ExpectRefused(const TScenario& Medium, const TRunResult& Run, const std::string& Message)
{
    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(2u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsMessageBox(Run, 0, Message));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    EXPECT_TRUE(AllTitled(Run));
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    std::string Line = Message;
    for (size_t Break = Line.find('\r'); Break != std::string::npos; Break = Line.find('\r'))
        Line[Break] = ' ';
    EXPECT_TRUE(FileHolds(Log, Line + "\r\n\r\nAbnormal Termination!Logfile: " + Log + "\r\n\r\n"));
}

TEST(InfDiscovery, ArgumentWithPathIsTakenFromThere)
{
    TScenario Medium;
    Medium.WriteText("Disk1\\APP.INF", Lines({"[Version]", "FormKv=KELVOR", "[Info]",
                                              "Before=Readme.txt", "BeforeTitle=Disk one"}));
    Medium.WriteText("Disk1\\Readme.txt", "Readme of disk one\r\n");
    Medium.WriteText("APP.INF", SignedInf("Beside SETUP.EXE"));
    TRunResult Run = Medium.Run(Medium.Path("Disk1\\APP.INF"), {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, Prompt("Disk one")));
    // Relative names in the script refer to the script's own directory.
    ASSERT_EQ(1u, Run.Notepads.size()) << DescribeRun(Run);
    EXPECT_EQ("Readme of disk one\r\n", Run.Notepads[0].Text);
}

TEST(InfDiscovery, BareNameIsLookedForBesideTheProgram)
{
    TScenario Medium;
    Medium.WriteText("APP.INF", SignedInf("Beside SETUP.EXE"));
    Medium.WriteText("tmp\\APP.INF", SignedInf("In the current directory"));
    TRunResult Run = Medium.Run("APP.INF", {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, Prompt("Beside SETUP.EXE")));
    EXPECT_TRUE(AllTitled(Run));
}

TEST(InfDiscovery, ArgumentThatIsMissingHiddenOrUnsignedIsRefused)
{
    TScenario Medium;
    Medium.WriteText("HIDDEN.INF", SignedInf("Hidden"));
    SetFileAttributesA(Medium.Path("HIDDEN.INF").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Medium.WriteText("DRIVER.INF", DriverInf);

    ExpectRefused(Medium, Medium.Run("NONE.INF", {"click 1", "click 1"}),
                  "Error: " + Medium.Path("NONE.INF") + "-not found!");
    ExpectRefused(Medium, Medium.Run("HIDDEN.INF", {"click 1", "click 1"}),
                  "Error: " + Medium.Path("HIDDEN.INF") + "-not found!");
    ExpectRefused(Medium, Medium.Run(Medium.Path("DRIVER.INF"), {"click 1", "click 1"}),
                  "Error: " + Medium.Path("DRIVER.INF") + " has not the required Version/Signature");
}

TEST(InfDiscovery, SignedFileAmongUnsignedOnesIsUsedSilently)
{
    TScenario Medium;
    Medium.WriteText("A.INF", DriverInf);
    Medium.WriteText("B.INF", SignedInf("The signed one", "kelvor"));   // letter case is no matter
    Medium.WriteText("C.INF", DriverInf);
    TRunResult Run = Medium.Run("", {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(2u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 0, Prompt("The signed one")));
}

TEST(InfDiscovery, SignatureCountsOnlyInTheFirstThirtyCharacters)
{
    TScenario Medium;
    Medium.WriteText("LATE.INF", SignedInf("Late", "1234567890123456789012345KELVOR"));
    ExpectRefused(Medium, Medium.Run("", {"click 1", "click 1"}),
                  "Error: " + Medium.Path("LATE.INF") + " has not the required Version/Signature" +
                      "\rand no other suitable *.INF found in this Directory");

    Medium.WriteText("LATE.INF", SignedInf("In time", "123456789012345678901234KELVOR"));
    TRunResult Run = Medium.Run("", {"click 2", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, Prompt("In time")));
}

TEST(InfDiscovery, OnlyUnsignedFilesNameTheLastOneTried)
{
    TScenario Medium;
    Medium.WriteText("NET1.INF", DriverInf);
    Medium.WriteText("NET2.INF", DriverInf);
    TRunResult Run = Medium.Run("", {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    std::string Message = Run.Dialogs.at(0).Message();
    std::string Tail = " has not the required Version/Signature"
                       "\rand no other suitable *.INF found in this Directory";
    EXPECT_TRUE(Message == "Error: " + Medium.Path("NET1.INF") + Tail ||
                Message == "Error: " + Medium.Path("NET2.INF") + Tail)
        << Message;
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
}

TEST(InfDiscovery, HiddenFileIsNotSeenByTheSearch)
{
    TScenario Medium;
    Medium.WriteText("HIDDEN.INF", SignedInf("Hidden"));
    SetFileAttributesA(Medium.Path("HIDDEN.INF").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ExpectRefused(Medium, Medium.Run("", {"click 1", "click 1"}),
                  "Error: no *.INF-File found in the Dircetory " + Medium.Dir + " of SETUP.EXE");
}

TEST(ContinuePrompt, ShowsHeadlineAndLinkAndTheBeforeText)
{
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR", "[Info]",
                                         "Before=Readme.txt", "BeforeTitle=Tool 2.0",
                                         "URL=https://example.com/tool"}));
    Medium.WriteText("Readme.txt", "Tool 2.0 notes\r\n");
    TRunResult Run = Medium.Run("", {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, Prompt("Tool 2.0")));
    EXPECT_EQ("https://example.com/tool", Run.Dialogs[0].TextOf(107));
    EXPECT_EQ("OK", Run.Dialogs[0].TextOf(1));
    EXPECT_EQ("Cancel", Run.Dialogs[0].TextOf(2));
    EXPECT_TRUE(AllTitled(Run));
    ASSERT_EQ(1u, Run.Notepads.size());
    EXPECT_EQ("Tool 2.0 notes\r\n", Run.Notepads[0].Text);
}

// The system's Notepad can't start in the runs of the tests that check this: their registration
// disables it for Wine in the test's whole environment, the one Wine takes its overrides from.
::testing::AssertionResult NotepadDisabled()
{
    char Overrides[64] = "";
    DWORD Length = GetEnvironmentVariableA("WINEDLLOVERRIDES", Overrides, sizeof Overrides);
    if (Length > 0 && Length < sizeof Overrides && std::string(Overrides) == "notepad.exe=d")
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "registered without WINEDLLOVERRIDES=notepad.exe=d";
}

TEST(ContinuePrompt, NotepadThatCannotStartAsksFirst)
{
    ASSERT_TRUE(NotepadDisabled());
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR", "[Info]",
                                         "Before=Readme.txt"}));
    Medium.WriteText("Readme.txt", "Readme\r\n");
    TRunResult Declined = Medium.Run("", {"click 7", "click 1"});   // No
    ASSERT_TRUE(RanAsAnswered(Declined));
    EXPECT_TRUE(ShowsMessageBox(Declined, 0, "Error to show Info with Notepad.EXE, Continue?"));
    EXPECT_TRUE(ShowsTemplate(Declined, 1, "Installation done without success!"));

    TRunResult Accepted = Medium.Run("", {"click 6", "click 2", "click 1"});   // Yes
    ASSERT_TRUE(RanAsAnswered(Accepted));
    EXPECT_TRUE(ShowsTemplate(Accepted, 1, "Continue Installation?"));
}

TEST(RunEnd, CompletedRunReportsSuccessAndLeavesTheAfterTextOpen)
{
    TScenario Medium;
    TInstalledInf Inf("Done");
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Info]", "Before=Readme.txt",
                                      "After=Thanks.txt", "[Strings]",
                                      "MyProgramPath=" + Medium.Path("App")}));
    Medium.WriteText("Readme.txt", "Before\r\n");
    Medium.WriteText("Thanks.txt", "After\r\n");
    TRunResult Run = Medium.Run("", {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(AllTitled(Run));
    ASSERT_EQ(2u, Run.Notepads.size()) << DescribeRun(Run);
    for (const TNotepad& Notepad : Run.Notepads) {
        // The Before text is closed by the installer, the After text stays for the user.
        bool IsAfter = Notepad.Text == "After\r\n";
        EXPECT_EQ(IsAfter, Notepad.OpenAtEnd) << Notepad.Title;
    }
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_EQ(Log, Run.Dialogs[1].TextOf(107));
    EXPECT_TRUE(FileContains(Log, "Date/Time:\t"));
    EXPECT_TRUE(FileContains(Log, "\r\nSourceInfFile\t" + Medium.Path(Inf.Name) + " Created:"));
    EXPECT_TRUE(FileContains(Log, "No ProgramPath given, using " + Medium.TmpDir +
                                      " for the LogFile!\r\n\r\n"));
    EXPECT_FALSE(FileContains(Log, "Abnormal Termination!"));
}

TEST(RunEnd, AfterTextThatCannotBeShownGivesAWarning)
{
    ASSERT_TRUE(NotepadDisabled());
    TScenario Medium;
    TInstalledInf Inf("Warn");
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Info]", "After=Thanks.txt",
                                      "[Strings]", "MyProgramPath=" + Medium.Path("App")}));
    TRunResult Run = Medium.Run("", {"click 1", "click 6", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error to show Info Thanks.txt with Notepad.EXE"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
}

TEST(RunEnd, DeclinedRunReportsFailureWithItsTemporaryLog)
{
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR"}));
    Medium.WriteText("tmp\\LOGFILKV.LOG", "an older run\r\n");
    TRunResult Run = Medium.Run("", {"close", "click 1"});   // Escape counts as Cancel

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    EXPECT_EQ("show Logfile", Run.Dialogs[1].TextOf(106));
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    // The temporary log is made anew for each such run.
    EXPECT_TRUE(FileHolds(Log, "\r\nAbnormal Termination!Logfile: " + Log + "\r\n\r\n"));
}

} // namespace

namespace {

TEST(RunEnd, ShowLogfileOpensTheLogInNotepad)
{
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR"}));
    TRunResult Run = Medium.Run("", {"click 2", "click 106; click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(1u, Run.Notepads.size()) << DescribeRun(Run);
    EXPECT_NE(std::string::npos, Run.Notepads[0].Title.find("LOGFILKV.LOG"));
    EXPECT_NE(std::string::npos, Run.Notepads[0].Text.find("Abnormal Termination!"));
}

} // namespace

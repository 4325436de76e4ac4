// Whole runs where the system's Notepad can't start, so that they see the installer's answer to
// that. The other runs of the start and the end of an installation are scenarios
// (scenarios/InfDiscovery.*, ContinuePrompt.*, RunEnd.*).
#include <windows.h>

#include "Scenario.h"

namespace {

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
    Medium.WriteText("SETUP.INF",
                     Lines({"[Version]", "FormKv=KELVOR", "[Info]", "Before=Readme.txt"}));
    Medium.WriteText("Readme.txt", "Readme\r\n");
    TRunResult Declined = Medium.Run("", {"click 7", "click 1"});   // No
    ASSERT_TRUE(RanAsAnswered(Declined));
    EXPECT_TRUE(ShowsMessageBox(Declined, 0, "Error to show Info with Notepad.EXE, Continue?"));
    EXPECT_TRUE(ShowsTemplate(Declined, 1, "Installation done without success!"));

    TRunResult Accepted = Medium.Run("", {"click 6", "click 2", "click 1"});   // Yes
    ASSERT_TRUE(RanAsAnswered(Accepted));
    EXPECT_TRUE(ShowsTemplate(Accepted, 1, "Continue Installation?"));
}

TEST(RunEnd, AfterTextThatCannotBeShownGivesAWarning)
{
    ASSERT_TRUE(NotepadDisabled());
    TScenario Medium;
    TInstalledInf Inf("Warn");
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Info]", "After=Thanks.txt",
                                      "[Strings]", "MyProgramPath=" + Medium.Path("App")}));
    TRunResult Run = Medium.PlannedRun("", {"click 1", "click 6", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error to show Info Thanks.txt with Notepad.EXE"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
}

}   // namespace

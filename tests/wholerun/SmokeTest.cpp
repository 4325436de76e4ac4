// Whole runs that end before anything is installed: the start, the first prompt and the final
// report, with the log that lands in the temporary directory.
#include "Scenario.h"

#include "Setup/base/DlgIds.h"

namespace {

// Everything a run that ends before the log file opens leaves in the temporary log: an empty
// line, the abnormal end and the log's own path, then the line end that closes every flush.
std::string AbnormalEndLog(const std::string& LogPath, const std::string& Failure = "")
{
    return Failure + "\r\nAbnormal Termination!Logfile: " + LogPath + "\r\n\r\n";
}

} // namespace

TEST(SmokeRun, RunWithoutInfFile)
{
    TScenario Medium;
    TRunResult Run = Medium.Run("", {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    // "Dircetory" is the program's own wording.
    std::string Failure =
        "Error: no *.INF-File found in the Dircetory " + Medium.Dir + " of SETUP.EXE";
    EXPECT_TRUE(ShowsMessageBox(Run, 0, Failure));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    ASSERT_EQ(Run.Dialogs.size(), 2u);
    const std::string& Caption = Run.Dialogs[0].Title;
    EXPECT_EQ(Caption.rfind("SETUP V", 0), 0u) << Caption;
    EXPECT_EQ(Run.Dialogs[1].Title, Caption);

    std::string LogPath = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_EQ(Run.Dialogs[1].TextOf(idLink), LogPath);
    // The box's text is in the log too.
    EXPECT_TRUE(FileHolds(LogPath, AbnormalEndLog(LogPath, Failure + "\r\n")));
    EXPECT_TRUE(Run.Notepads.empty());
}

TEST(SmokeRun, CancelAtFirstPrompt)
{
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR"}));
    TRunResult Run = Medium.Run("", {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, "Continue Installation?"));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    ASSERT_EQ(Run.Dialogs.size(), 2u);
    EXPECT_EQ(Run.Dialogs[0].TextOf(idLink), ""); // no [Info] URL, so no link

    // Declining empties the pending log, so only the end of the run is in it.
    std::string LogPath = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_TRUE(FileHolds(LogPath, AbnormalEndLog(LogPath)));
}

TEST(SmokeRun, BeforeTextShowsInNotepadUntilTheEnd)
{
    TScenario Medium;
    Medium.WriteText("SETUP.INF", Lines({"[Version]", "FormKv=KELVOR", "[Info]",
                                         "Before=Readme.txt", "BeforeTitle=Welcome to Tool"}));
    Medium.WriteText("Readme.txt", Lines({"Read me first."}));
    TRunResult Run = Medium.Run("", {"click 2", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 0, "Welcome to Tool\rContinue Installation?"));
    ASSERT_EQ(Run.Notepads.size(), 1u) << DescribeRun(Run);
    EXPECT_NE(Run.Notepads[0].Title.find("Readme.txt"), std::string::npos) << Run.Notepads[0].Title;
    EXPECT_EQ(Run.Notepads[0].Text, "Read me first.\r\n");
    EXPECT_FALSE(Run.Notepads[0].OpenAtEnd); // the exit procedure closes the Before text
}

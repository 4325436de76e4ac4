#include "Rules/SwitchText.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseSwitches, SwitchesAnywhereAndTheFirstOtherArgumentIsTheScript)
{
    const struct {
        const char* CommandLine;
        bool Ok;
        const char* Script;
        bool Quiet;
        const char* Dir;
        const char* Bad;
    } Cases[] = {
        {"SETUP.EXE", true, "", false, "", ""},
        {"SETUP.EXE APP.INF", true, "APP.INF", false, "", ""},
        {"SETUP.EXE /quiet APP.INF", true, "APP.INF", true, "", ""},
        {"SETUP.EXE APP.INF /QUIET", true, "APP.INF", true, "", ""},
        {"\"C:\\a b\\SETUP.EXE\" \"/dir=C:\\Program Files\\App\" /Quiet", true, "", true,
         "C:\\Program Files\\App", ""},
        {"SETUP.EXE A.INF B.INF", true, "A.INF", false, "", ""},   // as ever: the first counts
        {"SETUP.EXE /silent", false, "", false, "", "/silent"},
        {"SETUP.EXE /quiet=1", false, "", true, "", "/quiet=1"},
        {"SETUP.EXE /dir", false, "", false, "", "/dir"},
        {"SETUP.EXE /dir=", false, "", false, "", "/dir="},
        {"SETUP.EXE /dir=a /dir=b", false, "", false, "a", "/dir=b"},
        {"SETUP.EXE /quiet /quiet", false, "", true, "", "/quiet"},
        {"SETUP.EXE /", false, "", false, "", "/"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.CommandLine);
        TSwitches Switches;
        std::string Script, Bad;
        EXPECT_EQ(Case.Ok, ParseSwitches(CommandArguments(Case.CommandLine), Switches, Script, Bad));
        EXPECT_EQ(Case.Bad, Bad);
        if (!Case.Ok)
            continue;
        EXPECT_EQ(Case.Script, Script);
        EXPECT_EQ(Case.Quiet, Switches.Quiet);
        EXPECT_EQ(Case.Dir, Switches.Dir);
    }
    TSwitches Switches;
    std::string Script, Bad;
    ASSERT_TRUE(ParseSwitches(CommandArguments("S /record=r.ini /ANSWERS=a.ini"), Switches,
                              Script, Bad));
    EXPECT_TRUE(Switches.Any);
    EXPECT_EQ("r.ini", Switches.Record);
    EXPECT_EQ("a.ini", Switches.Answers);
}

TEST(RunExitCode, TheSchemeDeploymentToolsKnow)
{
    EXPECT_EQ(0, RunExitCode(true, 0, reNone));
    EXPECT_EQ(1, RunExitCode(true, 1, reNone));
    EXPECT_EQ(1, RunExitCode(true, 99, reNone));
    EXPECT_EQ(1603, RunExitCode(true, 100, reNone));
    EXPECT_EQ(1603, RunExitCode(false, 201, reNone));
    EXPECT_EQ(1603, RunExitCode(false, 0, reNone));
    EXPECT_EQ(1602, RunExitCode(false, 301, reCancelled));
    EXPECT_EQ(87, RunExitCode(false, 301, reBadCommandLine));
    EXPECT_EQ(2, RunExitCode(false, 301, reScriptNotFound));
}

TEST(AnswerFile, ButtonsAndPolicies)
{
    for (int Button : {1, 2, 4})
        EXPECT_EQ(Button, ButtonOfAnswer(AnswerOfButton(Button)));
    EXPECT_EQ(4, ButtonOfAnswer("Overwrite"));
    EXPECT_EQ(0, ButtonOfAnswer("always"));
    EXPECT_EQ("", AnswerOfButton(3));
    int Button = 0;
    bool Backup = false;
    EXPECT_TRUE(ParsePolicy("BACKUP", Button, Backup));
    EXPECT_EQ(4, Button);
    EXPECT_TRUE(Backup);
    EXPECT_TRUE(ParsePolicy("skip", Button, Backup));
    EXPECT_EQ(1, Button);
    EXPECT_FALSE(Backup);
    EXPECT_FALSE(ParsePolicy("cancel", Button, Backup));   // a default must not end every run
    EXPECT_EQ("Conflict3", ConflictSection(3));
}

} // namespace

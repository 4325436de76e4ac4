#include "Rules/SwitchText.h"

#include <gtest/gtest.h>

#include "Rules/CommandLineText.h"
#include "Rules/InUseText.h"

namespace {

TEST(ParseSwitches, SwitchesAnywhereAndTheFirstOtherArgumentIsTheScript)
{
    const struct {
        const char* CommandLine;
        TSwitchScan Scan;
        const char* Script;
        bool Quiet;
        const char* Dir;
        const char* Bad;
    } Cases[] = {
        {"SETUP.EXE", ssOk, "", false, "", ""},
        {"SETUP.EXE APP.INF", ssOk, "APP.INF", false, "", ""},
        {"SETUP.EXE /quiet APP.INF", ssOk, "APP.INF", true, "", ""},
        {"SETUP.EXE APP.INF /QUIET", ssOk, "APP.INF", true, "", ""},
        {"\"C:\\a b\\SETUP.EXE\" \"/dir=C:\\Program Files\\App\" /Quiet", ssOk, "", true,
         "C:\\Program Files\\App", ""},
        {"SETUP.EXE A.INF B.INF", ssOk, "A.INF", false, "", ""},   // as ever: the first counts
        {"SETUP.EXE /silent", ssBad, "", false, "", "/silent"},
        {"SETUP.EXE /quiet=1", ssBad, "", true, "", "/quiet=1"},
        {"SETUP.EXE /dir", ssBad, "", false, "", "/dir"},
        {"SETUP.EXE /dir=", ssBad, "", false, "", "/dir="},
        {"SETUP.EXE /dir=a /dir=", ssBad, "", false, "", "/dir="},
        {"SETUP.EXE /dir=a /dir=b", ssTwice, "", false, "a", "/dir=b"},
        {"SETUP.EXE /quiet /QUIET", ssTwice, "", true, "", "/QUIET"},
        {"SETUP.EXE /quiet /quiet=1", ssBad, "", true, "", "/quiet=1"},
        {"SETUP.EXE /answers=a /Answers=a", ssTwice, "", false, "", "/Answers=a"},
        {"SETUP.EXE /", ssBad, "", false, "", "/"},
        // As a package manager puts a folder with blanks in: the quotes inside the value go.
        {"SETUP.EXE /quiet /dir=\"C:\\Program Files\\PN\"", ssOk, "", true, "C:\\Program Files\\PN",
         ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.CommandLine);
        TSwitches Switches;
        std::string Script, Bad;
        EXPECT_EQ(Case.Scan,
                  ParseSwitches(CommandArguments(Case.CommandLine), Switches, Script, Bad));
        EXPECT_EQ(Case.Bad, Bad);
        if (Case.Scan != ssOk)
            continue;
        EXPECT_EQ(Case.Script, Script);
        EXPECT_EQ(Case.Quiet, Switches.Quiet);
        EXPECT_EQ(Case.Dir, Switches.Dir);
    }
    TSwitches Switches;
    std::string Script, Bad;
    ASSERT_EQ(ssOk, ParseSwitches(CommandArguments("S /record=r.ini /ANSWERS=a.ini /Plan=p.txt"),
                                  Switches, Script, Bad));
    EXPECT_TRUE(Switches.Any);
    EXPECT_EQ("r.ini", Switches.Record);
    EXPECT_EQ("a.ini", Switches.Answers);
    EXPECT_EQ("p.txt", Switches.Plan);
    for (const char* Line : {"S /?", "S /HELP /quiet", "S a.inf /help", "S -?"}) {
        ASSERT_EQ(ssOk, ParseSwitches(CommandArguments(Line), Switches, Script, Bad)) << Line;
        EXPECT_TRUE(Switches.Help) << Line;
    }
    EXPECT_EQ(ssBad, ParseSwitches(CommandArguments("S /?=1"), Switches, Script, Bad));
    EXPECT_EQ(ssBad, ParseSwitches(CommandArguments("S /plan"), Switches, Script, Bad));
    // /rollback takes no value, counts once, and is off without it.
    EXPECT_FALSE(Switches.Rollback);
    const struct {
        const char* CommandLine;
        TSwitchScan Scan;
    } Rollbacks[] = {{"S a.inf /ROLLBACK /quiet", ssOk},
                     {"S /rollback=yes", ssBad},
                     {"S /rollback /Rollback", ssTwice}};
    for (const auto& Case : Rollbacks) {
        TSwitches Fresh;
        EXPECT_EQ(Case.Scan, ParseSwitches(CommandArguments(Case.CommandLine), Fresh, Script, Bad))
            << Case.CommandLine;
        EXPECT_EQ(Case.Scan != ssBad, Fresh.Rollback) << Case.CommandLine;
    }
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

TEST(HelpText, NamesEveryExitCode)
{
    for (int Code : {ecSuccess, ecWarnings, ecScriptNotFound, ecBadCommandLine, ecCancelled,
                     ecFailed, ecRestartNeeded})
        EXPECT_NE(std::string::npos, HelpText().find(" " + std::to_string(Code) + " ")) << Code;
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
    for (TInUseAnswer Answer : {iaRestart, iaCancel})
        EXPECT_EQ(Answer, InUseAnswerOf(InUseAnswerName(Answer)));
    EXPECT_EQ(iaCancel, InUseAnswerOf("CANCEL"));
    EXPECT_EQ(iaNone, InUseAnswerOf("retry"));   // no answer another machine could replay
}

}   // namespace

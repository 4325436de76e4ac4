// Whole runs of the script's variables and the log that need code: a script of many keys, a line
// of a length that depends on the test's key, and the log file's text across two runs or held
// open. The other runs of [Strings] and [RegRead] are scenarios (scenarios/StringsSection.*,
// RegReadRun.*).
#include <windows.h>

#include "Scenario.h"

namespace {

TEST(StringsSection, ThreeHundredKeysAreAllSet)
{
    TScenario Medium;
    TInstalledInf Inf("Many");
    std::string Text =
        Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + Medium.Path("App")});
    for (int I = 1; I <= 300; ++I)
        Text += "SetupTestVariable" + std::to_string(I) + "=value " + std::to_string(I) + "\r\n";
    Medium.WriteText(Inf.Name, Text);
    TRunResult Run = Medium.PlannedRun("", {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    for (int I : {1, 150, 299, 300})
        EXPECT_EQ("value " + std::to_string(I),
                  ProfileValue(Inf.Installed, "Strings", "SetupTestVariable" + std::to_string(I)));
}

struct RegReadRun : ::testing::Test {
    TScenario Medium;
    TTestKey Key;
    TInstalledInf Inf{"RegRead"};

    TRunResult RunWith(std::initializer_list<std::string> RegRead,
                       const std::vector<std::string>& Answers, const TEnvOverrides& Env = {})
    {
        std::vector<std::string> Text = {"[Version]", "FormKv=KELVOR", "[Strings]",
                                         "MyProgramPath=" + Medium.Path("App"), "[RegRead]"};
        Text.insert(Text.end(), RegRead.begin(), RegRead.end());
        std::string Inf;
        for (auto& Line : Text)
            Inf += Line + "\r\n";
        Medium.WriteText(this->Inf.Name, Inf);
        return Medium.PlannedRun("", Answers, Env);
    }
};

TEST_F(RegReadRun, LineThatExpandsToFiveHundredTwentyCharactersIsReadOneMoreEndsTheRun)
{
    std::string Head = "HKCU," + Key.SubKey + "\\none,,";   // a missing key: the default counts
    std::string Pad(520 - Head.size(), 'p');
    TRunResult Run =
        RunWith({"Exact=" + Head + "%SetupTestPad%", "Over=" + Head + "%SetupTestPad%x"},
                {"click 1", "click 1"}, {{"SetupTestPad", Pad}});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    EXPECT_TRUE(FileContains(
        Medium.Path("tmp\\LOGFILKV.LOG"),
        "Key Exact\\" + Key.SubKey + "\\none does not exist, using default " + Pad + "\r\n" +
            "Internal error: Buffer in RegRead_Expand_Strings too small!\r\n"));
    EXPECT_EQ(Pad, ProfileValue(Medium.Path(Inf.Name), "Strings", "Exact"));
    EXPECT_EQ("<missing>", ProfileValue(Medium.Path(Inf.Name), "Strings", "Over"));
}

struct LogFileRun : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Log"};
    std::string Dir;
    void SetUp() override
    {
        Dir = Medium.Path("Program\\Tool");
        Medium.WriteText(
            Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + Dir}) +
                          ProgramPathRegRead(Dir));
    }
    TRunResult RunOnce() { return Medium.PlannedRun("", {"click 1", "click 1"}); }
};

TEST_F(LogFileRun, SecondRunAppendsBehindASeparator)
{
    ASSERT_TRUE(RanAsAnswered(RunOnce()));
    std::string Log = Dir + "\\LOGFILKV.LOG";
    std::string First = Medium.ReadText(Log).value_or("");
    ASSERT_EQ(0u, First.rfind("Date/Time:\t", 0)) << First;
    EXPECT_NE(std::string::npos,
              First.find("\r\nSourceInfFile\t" + Medium.Path(Inf.Name) + " Created:"));
    EXPECT_NE(std::string::npos, First.find("Section [RegRead] processed\r\n"));
    EXPECT_EQ("\r\n\r\n", First.substr(First.size() - 4));
    EXPECT_FALSE(Medium.Exists("tmp\\LOGFILKV.LOG"));   // nothing goes to the temporary log

    TRunResult Second = RunOnce();
    ASSERT_TRUE(RanAsAnswered(Second));
    EXPECT_EQ(Log, Second.Dialogs[1].TextOf(107));
    std::string Both = Medium.ReadText(Log).value_or("");
    EXPECT_EQ(First + "\r\n" + std::string(50, '=') + "\r\nDate/Time:\t",
              Both.substr(0, First.size() + 65));
}

TEST_F(LogFileRun, LockedLogFileFallsBackToTheTemporaryDirectory)
{
    Medium.WriteText(Dir + "\\LOGFILKV.LOG", "an earlier run\r\n");
    Medium.WriteText("tmp\\LOGFILKV.LOG", "an older temporary log\r\n");
    HANDLE Held = CreateFileA((Dir + "\\LOGFILKV.LOG").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, Held);
    TRunResult Run = RunOnce();
    CloseHandle(Held);

    ASSERT_TRUE(RanAsAnswered(Run));
    std::string Temp = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_EQ(Temp, Run.Dialogs[1].TextOf(107));
    std::string Text = Medium.ReadText(Temp).value_or("");
    EXPECT_EQ(0u, Text.rfind("Date/Time:\t", 0)) << Text;   // made anew
    EXPECT_NE(std::string::npos, Text.find("Error: could not create/open the the LogFile  " + Dir +
                                           "\\LOGFILKV.LOG\r\n"
                                           "Trying to use " +
                                           Temp + " as Logfile\r\n"));
    EXPECT_TRUE(FileHolds(Dir + "\\LOGFILKV.LOG", "an earlier run\r\n"));
}

}   // namespace

// Whole runs of the script's variables: [Strings] from the registry and the INF, [RegRead] from
// the registry, and where a run's log lands.
#include <windows.h>

#include "Scenario.h"

namespace {

std::string RegText(HKEY Root, const char* SubKey, const char* Name)
{
    char Value[1024] = "";
    DWORD Size = sizeof Value;
    HKEY Key;
    if (RegOpenKeyExA(Root, SubKey, 0, KEY_QUERY_VALUE, &Key) == ERROR_SUCCESS) {
        RegQueryValueExA(Key, Name, nullptr, nullptr, reinterpret_cast<BYTE*>(Value), &Size);
        RegCloseKey(Key);
    }
    return Value;
}

const char* const ShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(StringsSection, RegistryFoldersWinOverTheInfAndEveryValueReachesTheCopy)
{
    TScenario Medium;
    TInstalledInf Inf("Strings");
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                      "MyProgramPath=" + Medium.Path("App"), "ProgramFiles=",
                                      "Programs=C:\\not\\this", "Custom=%ProgramFiles%\\Custom",
                                      "OnlyInInf=kept as written"}));
    TRunResult Run = Medium.Run("", {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    std::string ProgramFiles =
        RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    ASSERT_NE("", ProgramFiles);
    EXPECT_EQ(ProgramFiles, ProfileValue(Inf.Installed, "Strings", "ProgramFiles"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, ShellFolders, "Programs"),
              ProfileValue(Inf.Installed, "Strings", "Programs"));
    EXPECT_EQ(ProgramFiles + "\\Custom", ProfileValue(Inf.Installed, "Strings", "Custom"));
    EXPECT_EQ("kept as written", ProfileValue(Inf.Installed, "Strings", "OnlyInInf"));

    std::string Summary = "INF-File-Section Strings expanded/changed to actual Paths: "
                          "Shellfolder ProgramFiles, Shellfolder Programs, Shellfolder Custom, "
                          "Shellfolder OnlyInInf\r\n";
    // Once into the copy, once more after the second [RegRead] pass on it.
    EXPECT_TRUE(FileContains(Medium.Path("tmp\\LOGFILKV.LOG"),
                             Summary + "Section [RegRead] processed\r\n" + Summary));
}

TEST(StringsSection, KeyWithNeitherRegistryNorInfValueStopsThePass)
{
    TScenario Medium;
    TInstalledInf Inf("NoValue");
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                      "MyProgramPath=" + Medium.Path("App"),
                                      "NoSuchFolderAnywhere=", "After=%windir%"}));
    // Each of the four passes meets the key again.
    TRunResult Run = Medium.Run("", {"click 1", "click 1", "click 1", "click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    std::string Message = "Error at RegQueryValue NoSuchFolderAnywhere in "
                          "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
                          " and HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    for (size_t I = 1; I <= 4; ++I)
        EXPECT_TRUE(ShowsMessageBox(Run, I, Message));
    EXPECT_TRUE(ShowsTemplate(Run, 5, "Installation done without success!"));
    // Keys after it are left as the script wrote them.
    EXPECT_EQ("%windir%", ProfileValue(Inf.Installed, "Strings", "After"));
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_TRUE(FileContains(Log, "failed to read \"NoSuchFolderAnywhere\" from Registry!\r\n"));
    EXPECT_FALSE(FileContains(Log, "INF-File-Section Strings"));
}

TEST(StringsSection, ThreeHundredKeysAreAllSet)
{
    TScenario Medium;
    TInstalledInf Inf("Many");
    std::string Text = Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                              "MyProgramPath=" + Medium.Path("App")});
    for (int I = 1; I <= 300; ++I)
        Text += "SetupTestVariable" + std::to_string(I) + "=value " + std::to_string(I) + "\r\n";
    Medium.WriteText(Inf.Name, Text);
    TRunResult Run = Medium.Run("", {"click 1", "click 1"});

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
        return Medium.Run("", Answers, Env);
    }
};

TEST_F(RegReadRun, ValuesDefaultsAndMissingOnesAreLoggedAndKept)
{
    Key.SetString("", "Name", "from registry");
    Key.SetString("", "", "unnamed value");
    const std::string& K = Key.SubKey;
    TRunResult Run = RunWith({"Plain=HKCU," + K + ",Name",
                              "Unnamed=HKCU," + K,
                              "MissingKey=HKCU," + K + "\\none,Name,fallback",
                              "MissingValue=HKCU," + K + ",Nope",
                              "Commas=hkcu," + K + ",Nope,a,b,,c",
                              "EmptyName=HKCU," + K + "\\none,,dflt",
                              "InfPath=not even a line"},
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));

    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_TRUE(FileContains(Log, "Key MissingKey\\" + K + "\\none does not exist, using default fallback\r\n"
                                  "Value MissingValue\\" + K + ",Nope does not exist\r\n"
                                  "Value Commas\\" + K + ",Nope does not exist, using default a,b,,c\r\n"
                                  "Key EmptyName\\" + K + "\\none does not exist, using default dflt\r\n"
                                  "Section [RegRead] processed\r\n"));
    for (const std::string& File : {Medium.Path(Inf.Name), Inf.Installed}) {
        SCOPED_TRACE(File);
        EXPECT_EQ("from registry", ProfileValue(File, "Strings", "Plain"));
        EXPECT_EQ("unnamed value", ProfileValue(File, "Strings", "Unnamed"));
        EXPECT_EQ("fallback", ProfileValue(File, "Strings", "MissingKey"));
        EXPECT_EQ("<missing>", ProfileValue(File, "Strings", "MissingValue"));
        EXPECT_EQ("a,b,,c", ProfileValue(File, "Strings", "Commas"));
        EXPECT_EQ("dflt", ProfileValue(File, "Strings", "EmptyName"));
    }
    // InfPath belongs to the installer: the line is skipped, not read as the malformed line it is.
    EXPECT_FALSE(FileContains(Log, "INF Syntax error"));
}

TEST_F(RegReadRun, NumberValueEndsTheRun)
{
    Key.SetDWord("", "Count", 7);
    TRunResult Run = RunWith({"Count=HKCU," + Key.SubKey + ",Count"}, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(2u, Run.Dialogs.size()) << DescribeRun(Run);   // no message box of its own
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");
    EXPECT_TRUE(FileContains(Log, "Error in RegRead_Expand_Strings: only REG_SZ supported HKCU\r\n"
                                  "\r\nAbnormal Termination!"));
}

TEST_F(RegReadRun, UnknownRootEndsTheRunWithTheSyntaxMessage)
{
    TRunResult Run = RunWith({"Bad=HKEY_CURRENT_USER," + Key.SubKey + ",x"},
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    std::string Message =
        "Error: Syntax-Error in [RegWrite]- or [RegRead]-Section ofINF-File, HKEY_CURRENT_USER";
    EXPECT_TRUE(ShowsMessageBox(Run, 1, Message));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
    EXPECT_TRUE(FileContains(Medium.Path("tmp\\LOGFILKV.LOG"), Message + "\r\n"));
}

TEST_F(RegReadRun, LineWithoutCommaEndsTheRun)
{
    TRunResult Run = RunWith({"Lonely=HKCU"}, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    EXPECT_TRUE(FileContains(Medium.Path("tmp\\LOGFILKV.LOG"),
                             "INF Syntax error: missing \",\" in [ReadReg], Lonely\r\n"));
}

TEST_F(RegReadRun, LineThatExpandsToFiveHundredTwentyCharactersIsReadOneMoreEndsTheRun)
{
    std::string Head = "HKCU," + Key.SubKey + "\\none,,";   // a missing key: the default counts
    std::string Pad(520 - Head.size(), 'p');
    TRunResult Run =
        RunWith({"Exact=" + Head + "%SetupTestPad%", "Over=" + Head + "%SetupTestPad%x"},
                {"click 1", "click 1"}, {{"SetupTestPad", Pad}});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    EXPECT_TRUE(FileContains(Medium.Path("tmp\\LOGFILKV.LOG"),
                             "Key Exact\\" + Key.SubKey + "\\none does not exist, using default " +
                                 Pad + "\r\n" +
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
        Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                          "MyProgramPath=" + Dir}) +
                                       ProgramPathRegRead(Dir));
    }
    TRunResult RunOnce() { return Medium.Run("", {"click 1", "click 1"}); }
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
    EXPECT_NE(std::string::npos,
              Text.find("Error: could not create/open the the LogFile  " + Dir + "\\LOGFILKV.LOG\r\n"
                        "Trying to use " + Temp + " as Logfile\r\n"));
    EXPECT_TRUE(FileHolds(Dir + "\\LOGFILKV.LOG", "an earlier run\r\n"));
}

} // namespace

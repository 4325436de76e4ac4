// Whole runs in what the run is handed rather than what it decides: an environment that another
// process prepared (an elevated run inherits it), relative folders on the command line, and a
// backup folder that can't take a backup or already holds one.
#include <windows.h>

#include "Scenario.h"

namespace {

// A medium with a.txt (dated 2001) to install into App, a link to it in a Programs folder of the
// test's own, and an uninstall entry below the test's key that names the INF copy.
struct EnvironmentRun : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Env"};
    TTestKey Key;
    std::string App = Medium.Path("App");
    std::string LnkName = "SetupTest." + Medium.Id;

    ~EnvironmentRun() override { RemoveTree(ProgramsFolder() + "\\" + LnkName); }

    void WriteInf(const std::string& Sections) const
    {
        Medium.WriteText("a.txt", "new");
        SetLastWriteTime(Medium.Path("a.txt"), June1(2001));
        Medium.WriteText(Inf.Name,
                         Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App,
                                "LnkName=" + LnkName, "[RegWriteUninstall]",
                                "Command=HKCU," + Key.SubKey +
                                    ",UninstallString,Reg_SZ,%rundll% advpack.dll,"
                                    "LaunchINFSection %InfPath%\\" +
                                    Inf.Name + ",DefaultUninstall"}) +
                             Sections);
    }

    // The system's a.txt is newer, holding Text; quiet runs back it up by the answer file.
    TRunResult RunQuietBackup(const std::string& Text) const
    {
        Medium.WriteText(App + "\\a.txt", Text);
        SetLastWriteTime(App + "\\a.txt", June1(2030));
        Medium.WriteText("answers.ini", Lines({"[SetupAnswers]", "Version=1", "Default=backup"}));
        return Medium.Run("/quiet /answers=" + Medium.Path("answers.ini") + " " + Inf.Name, {});
    }

    std::string Log() const { return App + "\\LOGFILKV.LOG"; }
};

// Whatever the inherited environment names, the INF copy, the uninstall command, the log and the
// links go where the system and the script say; the planted place stays untouched.
TEST_F(EnvironmentRun, InheritedVariablesMoveNothing)
{
    // No [Files]: no path dialog, so the installation directory is nobody's choice in this run.
    WriteInf(Lines({"[SetMnuLNK]", "Tool=Tool," + Medium.Path("a.txt")}));
    std::string Planted = Medium.Path("Planted");
    const struct {
        const char* Case;
        TEnvOverrides Env;
        std::string Untouched;   // where the planted value would have put something
    } Cases[] = {
        {"windir", {{"windir", Planted}, {"SystemRoot", Planted}}, Planted + "\\inf\\" + Inf.Name},
        {"MyProgramPath", {{"MyProgramPath", Planted}}, Planted + "\\LOGFILKV.LOG"},
        {"MyStartMenu", {{"MyStartMenu", Planted}}, Planted + "\\Tool.LNK"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        RemoveTree(Planted);
        Medium.MakeDir("Planted\\inf");
        DeleteFileA(Inf.Installed.c_str());
        TRunResult Run = Medium.Run("/quiet " + Inf.Name, {}, Case.Env);
        EXPECT_EQ(0u, Run.ExitCode) << DescribeRun(Run);
        EXPECT_TRUE(NothingAt(Case.Untouched));
        EXPECT_EQ(App, ProfileValue(Inf.Installed, "Strings", "MyProgramPath"));
        EXPECT_EQ("rundll32 advpack.dll,LaunchINFSection " + Inf.Installed + ",DefaultUninstall",
                  Key.ReadString("", "UninstallString").value_or("<missing>"));
        EXPECT_EQ(Medium.Path("a.txt"),
                  ReadLink(ProgramsFolder() + "\\" + LnkName + "\\Tool.LNK").Target);
    }
}

// A relative /dir is the folder below the one the run was started in, and it is used, recorded and
// stored whole.
TEST_F(EnvironmentRun, RelativeDirIsStoredWhole)
{
    WriteInf(Lines({"[Files]", "a.txt="}));
    std::string Whole = Medium.TmpDir + "\\Rel\\App";   // TmpDir is the runs' current directory
    TRunResult Run = Medium.Run("/quiet /dir=Rel\\App /record=rec.ini " + Inf.Name, {});
    EXPECT_EQ(0u, Run.ExitCode) << DescribeRun(Run);
    EXPECT_TRUE(FileHolds(Whole + "\\a.txt", "new"));
    EXPECT_EQ(Whole, ProfileValue(Inf.Installed, "Strings", "MyProgramPath"));
    EXPECT_EQ(Whole, ProfileValue(Medium.TmpDir + "\\rec.ini", "SetupAnswers", "Folder"));
    EXPECT_TRUE(FileContains(Whole + "\\LOGFILKV.LOG", Whole + "\t created\r\n"));
    EXPECT_TRUE(NothingAt(Medium.Path("Rel")));
}

// Nobody is there to agree to losing the newer file: it stays, and the run fails.
TEST_F(EnvironmentRun, QuietBackupThatFailsKeepsTheNewerFileAndFails)
{
    WriteInf(Lines({"[Files]", "a.txt="}));
    Medium.WriteText(App + "\\old", "a file where the backup folder would be");
    TRunResult Run = RunQuietBackup("newer");
    EXPECT_EQ(1603u, Run.ExitCode) << DescribeRun(Run);
    EXPECT_TRUE(Run.Dialogs.empty()) << DescribeRun(Run);
    EXPECT_TRUE(FileHolds(App + "\\a.txt", "newer"));
    EXPECT_TRUE(FileContains(Log(), " backeup to " + App + "\\old failed!\r\n" + App +
                                        "\\a.txt\tkept: its backup failed, and a quiet run "
                                        "overwrites nothing without it\r\n"));
    EXPECT_TRUE(FileContains(Log(), "Installation done without success! Exit code 1603\r\n"));
}

TEST_F(EnvironmentRun, SecondBackupOfTheSameFileKeepsTheFirst)
{
    WriteInf(Lines({"[Files]", "a.txt="}));
    for (const char* Installed : {"first", "second"}) {
        TRunResult Run = RunQuietBackup(Installed);
        EXPECT_EQ(0u, Run.ExitCode) << DescribeRun(Run);
    }
    EXPECT_TRUE(FileHolds(App + "\\old\\a.txt", "first"));
    EXPECT_TRUE(FileHolds(App + "\\old\\a (2).txt", "second"));
    EXPECT_TRUE(FileContains(Log(), " backed up to " + App + "\\old as a (2).txt\r\n"));
    EXPECT_TRUE(FileHolds(App + "\\a.txt", "new"));
}

}   // namespace

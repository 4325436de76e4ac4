// Whole runs of the installation directory, the installed INF copy and an earlier installation:
// what PATHSEL proposes, when the DifferentDir prompt comes, where the INF copy lands and what it
// holds.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <vector>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"
#include "resources/Version.h"

namespace {

const char* const UninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string PathPrompt = "The Programm will be installed to";
const std::string DiffDirPrompt =
    "Installation to a different Directory than previous Installation!\rContinue Installation?";

// Suite, test and process, so that neither parallel tests nor parallel test runs meet.
std::string UniqueName()
{
    const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string Name = std::string(Info->test_suite_name()) + "." + Info->name();
    for (char& C : Name)
        if (!isalnum(static_cast<unsigned char>(C)) && C != '.')
            C = '_';
    return "SetupTest." + Name + "." + std::to_string(GetCurrentProcessId());
}

// What a run leaves outside its medium: the INF copy in the Windows INF directory, the uninstall
// entry below HKEY_LOCAL_MACHINE, and folders elsewhere. All of it goes at the end of the test,
// also when the test failed.
class TTraces {
public:
    std::string Unique;       // "SetupTest.<suite>.<test>.<pid>"
    std::string InfName;      // the script's file name, Unique + ".INF"
    std::string InfCopy;      // where the installer puts its copy: C:\windows\inf\<InfName>
    std::string UninstallKey; // below HKEY_LOCAL_MACHINE

    TTraces()
        : Unique(UniqueName()), InfName(Unique + ".INF"), InfCopy(WindowsInfDir() + "\\" + InfName),
          UninstallKey(std::string(UninstallRoot) + "\\" + Unique)
    {
        Remove();   // left by an earlier process of this id
    }
    ~TTraces()
    {
        Remove();
        for (const std::string& Folder : Folders)
            RemoveTree(Folder);
    }
    TTraces(const TTraces&) = delete;
    TTraces& operator=(const TTraces&) = delete;

    void AddFolder(const std::string& Folder) { Folders.push_back(Folder); }

    void SetUninstallString(const std::string& Command) const
    {
        HKEY Key;
        LONG Status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallKey.c_str(), 0, nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &Key, nullptr);
        if (Status == ERROR_SUCCESS) {
            Status = RegSetValueExA(Key, "UninstallString", 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(Command.c_str()),
                                    DWORD(Command.size() + 1));
            RegCloseKey(Key);
        }
        if (Status != ERROR_SUCCESS)
            ADD_FAILURE() << "can't write HKLM\\" << UninstallKey << ": error " << Status;
    }

private:
    std::vector<std::string> Folders;

    void Remove() const
    {
        SetFileAttributesA(InfCopy.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(InfCopy.c_str());
        RemoveDirectoryA(InfCopy.c_str());   // a test may block the copy with a folder
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey.c_str());
    }
};

std::string MachineString(const char* SubKey, const char* Name)
{
    char Value[MAX_PATH + 1] = "";
    DWORD Size = sizeof Value;
    RegGetValueA(HKEY_LOCAL_MACHINE, SubKey, Name, RRF_RT_REG_SZ, nullptr, Value, &Size);
    return Value;
}

// Noon UTC of 1 June of Year.
void SetLastWriteTime(const std::string& Path, WORD Year)
{
    SYSTEMTIME System = {};
    System.wYear = Year;
    System.wMonth = 6;
    System.wDay = 1;
    System.wHour = 12;
    ::SetLastWriteTime(Path, System);
}

// A signed INF file whose [Strings] MyProgramPath is Dir.
std::string InfWithProgramPath(const std::string& Dir)
{
    return Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + Dir});
}

// The uninstall lines of a script, as the installed entry will hold them: the INF copy quoted at
// the end of the command.
std::string UninstallSection(const TTraces& Traces)
{
    return Lines({"[RegWriteUninstall]",
                  "Name=HKLM," + Traces.UninstallKey + ",DisplayName,Reg_SZ,Setup test",
                  "Command=HKLM," + Traces.UninstallKey +
                      ",UninstallString,Reg_SZ,%rundll% %setupx%.dll,InstallHinfSection "
                      "DefaultUninstall 132 \"%InfPath%\\" + Traces.InfName + "\""});
}

std::string UninstallCommand(const std::string& InfPath)
{
    return "rundll32 setupapi.dll,InstallHinfSection DefaultUninstall 132 \"" + InfPath + "\"";
}

std::string ExpectedProjectVersion()
{
    char Text[32];
    snprintf(Text, sizeof Text, "%d.%.2d", SETUP_VERSION_MAJOR, SETUP_VERSION_MINOR);
    return Text;
}

TEST(InstallPath, FirstInstallationCreatesTheProposedDirectoryAndFillsTheInfCopy)
{
    TScenario Medium;
    TTraces Traces;
    std::string ProgramFiles =
        MachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    ASSERT_FALSE(ProgramFiles.empty());
    std::string Top = ProgramFiles + "\\" + Traces.Unique;
    std::string AppDir = Top + "\\App";
    Traces.AddFolder(Top);
    // The Seen keys take their INF values expanded in the last [Strings] pass: they show the
    // variables as the script's later sections see them.
    Medium.WriteText(Traces.InfName,
                     Lines({"[Version]", "FormKv=KELVOR", "ProjectVersionFile=SETUP.EXE",
                            "[Strings]", "ProgramFiles=",
                            "MyProgramPath=%ProgramFiles%\\" + Traces.Unique + "\\App",
                            "SeenInfPath=%InfPath%", "SeenProgramPath=%MyProgramPath%",
                            "SeenTools=%rundll% %setupx% %ProjectVersion%", "[Files]",
                            "readme.txt="}));
    Medium.WriteText("readme.txt", "Read me\r\n");
    // As on a CD: the copy must not keep the attribute.
    SetFileAttributesA(Medium.Path(Traces.InfName).c_str(), FILE_ATTRIBUTE_READONLY);
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(3u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 1, PathPrompt));
    EXPECT_EQ(AppDir, Run.Dialogs[1].TextOf(idBuf));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));

    std::string Log = AppDir + "\\LOGFILKV.LOG";
    EXPECT_EQ(Log, Run.Dialogs[2].TextOf(idLink));
    EXPECT_TRUE(FileContains(Log, Top + "\t created\r\n" + AppDir + "\t created\r\n"));
    EXPECT_TRUE(FileContains(Log, "INF-File copied to " + Traces.InfCopy + "\r\n"));

    std::string InfDir = WindowsInfDir();
    EXPECT_EQ(InfDir + "\\", ProfileValue(Traces.InfCopy, "Strings", "InfPath"));
    EXPECT_EQ(AppDir, ProfileValue(Traces.InfCopy, "Strings", "MyProgramPath"));
    EXPECT_EQ(ExpectedProjectVersion(), ProfileValue(Traces.InfCopy, "Strings", "ProjectVersion"));
    EXPECT_EQ("rundll32", ProfileValue(Traces.InfCopy, "Strings", "rundll"));
    EXPECT_EQ("setupAPI", ProfileValue(Traces.InfCopy, "Strings", "setupx"));
    EXPECT_EQ("KELVOR", ProfileValue(Traces.InfCopy, "Version", "FormKv"));
    EXPECT_EQ(InfDir, ProfileValue(Traces.InfCopy, "Strings", "SeenInfPath"));
    EXPECT_EQ(AppDir, ProfileValue(Traces.InfCopy, "Strings", "SeenProgramPath"));
    EXPECT_EQ("rundll32 setupAPI " + ExpectedProjectVersion(),
              ProfileValue(Traces.InfCopy, "Strings", "SeenTools"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(Traces.InfCopy.c_str()));
}

TEST(InstallPath, ReinstallationProposesTheEarlierDirectoryAndWarnsWhenLeavingIt)
{
    TScenario Medium;
    TTraces Traces;
    std::string OldDir = Medium.Path("Old App");   // the blank needs the quotes in the entry
    std::string OldInf = OldDir + "\\" + Traces.InfName;
    Medium.WriteText(OldInf, InfWithProgramPath(OldDir));
    Medium.WriteText(Traces.InfName, InfWithProgramPath(Medium.Path("New default")) +
                                         Lines({"[Files]", "readme.txt=", "[Info]",
                                                "DifferentDir=Moving.txt"}) +
                                         UninstallSection(Traces));
    Medium.WriteText("readme.txt", "Read me\r\n");
    Medium.WriteText("Moving.txt", "About moving\r\n");
    std::string Other = Medium.Path("Other App");

    // Leaving the earlier directory, also by a mere trailing backslash, asks first; declining
    // ends the run before anything is installed.
    for (const std::string& Typed : {Other, OldDir + "\\"}) {
        SCOPED_TRACE(Typed);
        Traces.SetUninstallString(UninstallCommand(OldInf));
        TRunResult Run =
            Medium.Run(Traces.InfName, {"click 1", "type 102 " + Typed + "; click 1",
                                        "click 2", "click 1"});
        ASSERT_TRUE(RanAsAnswered(Run));
        EXPECT_EQ(OldDir, Run.Dialogs.at(1).TextOf(idBuf));
        EXPECT_TRUE(ShowsTemplate(Run, 2, DiffDirPrompt));
        EXPECT_EQ(Typed, Run.Dialogs.at(2).TextOf(idLink));   // without [Info] URL: the entry
        EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
        ASSERT_EQ(1u, Run.Notepads.size()) << DescribeRun(Run);
        EXPECT_EQ("About moving\r\n", Run.Notepads[0].Text);
        EXPECT_FALSE(Run.Notepads[0].OpenAtEnd);   // the exit procedure closes it
        EXPECT_TRUE(NothingAt(Other));
        EXPECT_TRUE(NothingAt(OldDir + "\\LOGFILKV.LOG"));
        EXPECT_TRUE(NothingAt(Traces.InfCopy));
    }

    // The earlier directory itself, also in other letter case, goes on without a question.
    std::string OtherCase = Medium.Path("OLD APP");
    for (const std::string& Answer :
         {std::string("click 1"), "type 102 " + OtherCase + "; click 1"}) {
        SCOPED_TRACE(Answer);
        Traces.SetUninstallString(UninstallCommand(OldInf));
        TRunResult Run = Medium.Run(Traces.InfName, {"click 1", Answer, "click 1"});
        ASSERT_TRUE(RanAsAnswered(Run));
        ASSERT_EQ(3u, Run.Dialogs.size()) << DescribeRun(Run);
        EXPECT_EQ(OldDir, Run.Dialogs[1].TextOf(idBuf));
        EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    }
    std::string Log = OldDir + "\\LOGFILKV.LOG";
    EXPECT_TRUE(FileContains(Log, "In Registry-Uninstall reference to previous INF found: " +
                                      OldInf + "\r\n"));
    EXPECT_EQ(OtherCase, ProfileValue(Traces.InfCopy, "Strings", "MyProgramPath"));   // as typed
}

TEST(PreviousInf, NewerCopyOfTheUninstallEntryReplacesTheOneInTheInfDirectory)
{
    TScenario Medium;
    TTraces Traces;
    std::string OldDir = Medium.Path("Old App");
    std::string OldInf = OldDir + "\\" + Traces.InfName;
    Medium.WriteText(OldInf, InfWithProgramPath(OldDir));
    Medium.WriteText(Traces.InfCopy, InfWithProgramPath(Medium.Path("Older App")));
    SetLastWriteTime(Traces.InfCopy, 2001);
    SetLastWriteTime(OldInf, 2020);
    Medium.WriteText(Traces.InfName, InfWithProgramPath(Medium.Path("New default")) +
                                         Lines({"[Files]", "readme.txt="}) +
                                         UninstallSection(Traces));
    Medium.WriteText("readme.txt", "Read me\r\n");
    std::string Log = OldDir + "\\LOGFILKV.LOG";

    Traces.SetUninstallString(UninstallCommand(OldInf));
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_EQ(OldDir, Run.Dialogs.at(1).TextOf(idBuf));
    // "sucessfully" is the program's own wording.
    EXPECT_TRUE(FileContains(Log, "In Registry-Uninstall reference to previous INF found: " +
                                      OldInf + "\r\nusing the newer " + OldInf + "\r\nolder " +
                                      Traces.InfCopy + " sucessfully deleted!\r\n"));
    EXPECT_TRUE(FileContains(Log, "INF-File copied to " + Traces.InfCopy + "\r\n"));
    EXPECT_FALSE(FileContains(Traces.InfCopy, "Older App"));

    // A newer copy in the INF directory is kept, and the uninstall entry's still wins.
    DeleteFileA(Log.c_str());
    SetLastWriteTime(OldInf, 2001);
    SetLastWriteTime(Traces.InfCopy, 2020);
    Traces.SetUninstallString(UninstallCommand(OldInf));
    Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_EQ(OldDir, Run.Dialogs.at(1).TextOf(idBuf));
    EXPECT_TRUE(FileContains(Log, "previous INF found: " + OldInf + "\r\n"));
    EXPECT_FALSE(FileContains(Log, "using the newer "));
    EXPECT_TRUE(FileContains(Log, "INF-File copied to " + Traces.InfCopy + "\r\n"));
}

TEST(PreviousInf, UnsignedInfFilesAreIgnoredAndTheOneOfTheSameNameOverwritten)
{
    TScenario Medium;
    TTraces Traces;
    std::string Foreign = Lines({"[Version]", "Signature=\"$Windows NT$\"", "Class=Net",
                                 "[Strings]", "MyProgramPath=" + Medium.Path("Foreign")});
    std::string Named = Medium.Path("Foreign\\" + Traces.InfName);
    Medium.WriteText(Named, Foreign);
    Medium.WriteText(Traces.InfCopy, Foreign);
    // The entry is named by the first line after ErrSection.
    Traces.SetUninstallString("uninstall.exe " + Named);
    std::string AppDir = Medium.Path("App");
    Medium.WriteText(Traces.InfName, InfWithProgramPath(AppDir) +
                                         Lines({"[Files]", "readme.txt=", "[RegWriteUninstall]",
                                                "ErrSection=UninstallLinks",
                                                "Name=HKLM," + Traces.UninstallKey +
                                                    ",DisplayName,Reg_SZ,Setup test"}));
    Medium.WriteText("readme.txt", "Read me\r\n");
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_EQ(AppDir, Run.Dialogs.at(1).TextOf(idBuf));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    std::string Log = AppDir + "\\LOGFILKV.LOG";
    EXPECT_TRUE(FileContains(Log, "In Registry-Uninstall reference to previous INF found: " +
                                      Named + "\r\nSignature-Check failed for this INF, so "
                                      "ignored \r\nSignature-Check failed for " + Traces.InfCopy +
                                      ", so ignored \r\n"));
    EXPECT_TRUE(FileContains(Log, "INF-File copied to " + Traces.InfCopy + "\r\n"));
    EXPECT_FALSE(FileContains(Traces.InfCopy, "Class=Net"));
    EXPECT_EQ(AppDir, ProfileValue(Traces.InfCopy, "Strings", "MyProgramPath"));
}

TEST(InstallPath, ScriptWithoutFilesAndDirectoryEndsWithoutAsking)
{
    TScenario Medium;
    TTraces Traces;
    Medium.WriteText(Traces.InfName, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                            "Greeting=Hello"}));
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(2u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    // The write test of the INF directory leaves no file behind.
    EXPECT_TRUE(NothingAt(Traces.InfCopy));
}

TEST(InstallPath, ConfirmedEmptyEntryNamesNoDirectory)
{
    TScenario Medium;
    TTraces Traces;
    std::string AppDir = Medium.Path("App");
    Medium.WriteText(Traces.InfName,
                     InfWithProgramPath(AppDir) + Lines({"[Files]", "readme.txt="}));
    Medium.WriteText("readme.txt", "Read me\r\n");
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "type 102; click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(3u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
    EXPECT_TRUE(NothingAt(AppDir));
    EXPECT_TRUE(NothingAt(Traces.InfCopy));
}

TEST(InstallPath, DirectoryThatCannotBeCreatedIsAskedForAgain)
{
    TScenario Medium;
    TTraces Traces;
    std::string Unreachable = "Q:\\Nowhere\\App";   // the prefix has no drive Q:
    Medium.WriteText(Traces.InfName,
                     InfWithProgramPath(Unreachable) + Lines({"[Files]", "readme.txt="}));
    Medium.WriteText("readme.txt", "Read me\r\n");
    std::string AppDir = Medium.Path("App");
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1", "click 1",
                                                 "type 102 " + AppDir + "; click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(6u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_EQ(Unreachable, Run.Dialogs[1].TextOf(idBuf));
    EXPECT_TRUE(ShowsMessageBox(Run, 2, "Error to create the  directory"));
    EXPECT_TRUE(ShowsMessageBox(Run, 3, "Error: Failed to create InstallDirectory"));
    EXPECT_TRUE(ShowsTemplate(Run, 4, PathPrompt));
    EXPECT_EQ(Unreachable, Run.Dialogs[4].TextOf(idBuf));
    // The failed attempt leaves the run failed, though the rest of it went well.
    EXPECT_TRUE(ShowsTemplate(Run, 5, "Installation done without success!"));
    std::string Log = AppDir + "\\LOGFILKV.LOG";
    EXPECT_TRUE(FileContains(Log, "Error to create the  directory\r\n"));
    EXPECT_TRUE(FileContains(Log, "INF-File copied to " + Traces.InfCopy + "\r\n"));
}

TEST(InfCopy, CopyThatFailsInBothPlacesEndsTheRun)
{
    TScenario Medium;
    TTraces Traces;
    std::string AppDir = Medium.Path("App");
    std::string Moved = AppDir + "\\" + Traces.InfName;
    // A folder of the copy's name refuses it, in the INF directory and in the installation
    // directory alike.
    Medium.MakeDir(Traces.InfCopy);
    Medium.MakeDir(Moved);
    Medium.WriteText(Traces.InfName, InfWithProgramPath(AppDir));
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(4u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 1, PathPrompt));   // asked for: the INF directory took nothing
    // "coundn't" is the program's own wording.
    std::string Refusal = "Error: coundn't copy INF-File to " + Moved;
    std::string Message = Run.Dialogs[2].Message();
    EXPECT_EQ(Refusal + "\r", Message.substr(0, Refusal.size() + 1)) << DescribeRun(Run);
    EXPECT_GT(Message.size(), Refusal.size() + 1) << "no system text";
    EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
    std::string Log = Medium.Path("tmp\\LOGFILKV.LOG");   // the run ended before its own log
    EXPECT_TRUE(FileContains(Log, "Warning: Couldn't copy INF-File to " + Traces.InfCopy +
                                      ": Error 5, "));
    EXPECT_TRUE(FileContains(Log, "\r\nTrying to copy the INF to the ProgramDir\r\n" + Refusal +
                                      ": "));
    EXPECT_FALSE(FileContains(Log, " as INF-File"));
}

// Runs only inside immutable-run.sh, which makes the Windows INF directory immutable: Wine then
// denies access to it even for root. See CMakeLists.txt for how it is registered.
TEST(InfCopy, DISABLED_ImmutableInfDirSendsTheCopyToTheProgramDir)
{
    TScenario Medium;
    TTraces Traces;
    std::string Probe = WindowsInfDir() + "\\" + Traces.Unique + ".probe";
    HANDLE File = CreateFileA(Probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        CloseHandle(File);
        DeleteFileA(Probe.c_str());
        FAIL() << WindowsInfDir() << " takes files: run this test through immutable-run.sh";
    }

    // Without [Files] the directory is asked for all the same: the copy needs it.
    std::string AppDir = Medium.Path("App");
    std::string Moved = AppDir + "\\" + Traces.InfName;
    Medium.WriteText(Traces.InfName, InfWithProgramPath(AppDir));
    TRunResult Run = Medium.Run(Traces.InfName, {"click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(3u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 1, PathPrompt));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
    std::string Log = AppDir + "\\LOGFILKV.LOG";
    EXPECT_TRUE(FileContains(Log, "Warning: Couldn't copy INF-File to " + Traces.InfCopy +
                                      ": Error 5, "));
    EXPECT_TRUE(FileContains(Log, "\r\nTrying to copy the INF to the ProgramDir\r\nusing " +
                                      Moved + " as INF-File\r\n"));
    EXPECT_EQ(AppDir + "\\", ProfileValue(Moved, "Strings", "InfPath"));
    EXPECT_TRUE(NothingAt(Traces.InfCopy));
}

} // namespace

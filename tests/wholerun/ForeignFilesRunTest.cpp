// Whole runs among files that are not the installer's, where anyone may have put them: a second
// name of another file where the log, the plan or the record goes, users' files and links named like a killed run's
// leftovers. Each stays as it was; the run writes and removes only files of its own. Another
// vendor's INF of the script's name is a scenario (scenarios/ForeignFiles.*).
#include <windows.h>

#include "Scenario.h"

#include "Setup/base/DlgIds.h"

namespace {

const std::string Precious = "another program's data\r\n";

struct ForeignFiles : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Foreign"};
    std::string App = Medium.Path("App");
    std::string Victim = Medium.Path("victim.txt");   // what a link or second name points at

    void WriteInf(const std::string& Sections) const
    {
        Medium.WriteText("a.txt", "a");
        Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                          "MyProgramPath=" + App, "[Files]", "a.txt="}) +
                                       Sections);
    }

    // Victim, and a second name of it at Path.
    void PlaceSecondName(const std::string& Path) const
    {
        Medium.WriteText(Victim, Precious);
        ASSERT_TRUE(CreateHardLinkA(Path.c_str(), Victim.c_str(), nullptr)) << GetLastError();
    }
};

// Under Wine, the unix path of a Windows one, its last part as it is (a link is not followed);
// "" elsewhere.
std::string UnixPath(const std::string& Path)
{
    typedef char*(CDECL * TUnixName)(LPCWSTR);
    auto* Unix = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    size_t Slash = Path.rfind('\\');
    std::wstring Dir(Path.begin(), Path.begin() + Slash);
    char* Name = Unix ? Unix(Dir.c_str()) : nullptr;
    std::string Result = Name ? Name + ("/" + Path.substr(Slash + 1)) : "";
    HeapFree(GetProcessHeap(), 0, Name);
    return Result;
}

bool IsLink(const std::string& Path)
{
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Runs a unix command that makes (Wanted) or removes the link Path. Wine starts a unix program as
// it starts a Windows one, but gives no handle to wait on: waits up to five seconds for the link.
// Windows makes a link only for the privileged, and Wine's own call for it makes none.
bool UnixLinkCommand(std::string Command, const std::string& Path, bool Wanted)
{
    STARTUPINFOA Start = {};
    Start.cb = sizeof Start;
    PROCESS_INFORMATION Process;
    if (!CreateProcessA(nullptr, &Command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Start,
                        &Process))
        return false;
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    for (int Waited = 0; IsLink(Path) != Wanted && Waited < 5000; Waited += 10)
        Sleep(10);
    return IsLink(Path) == Wanted;
}

// A run that ends early writes the temporary log; a completed one the log in the installation
// folder, appended to when there is one. A second name of another file under either name stays as
// it was, and the report names the new log file that the run used instead.
TEST_F(ForeignFiles, SecondNameWhereTheLogGoesKeepsTheOtherFileIntact)
{
    WriteInf("");
    const struct {
        const char* Case;
        std::string Args;
        std::vector<std::string> Answers;
        std::string LogDir;
        const char* Report;
    } Cases[] = {
        {"bad switch, temporary log",
         Inf.Name + " /dir",
         {"click 1", "click 1"},
         Medium.TmpDir,
         "Installation done without success!"},
        {"installation folder's log",
         Inf.Name,
         {"click 1", "click 1", "click 1"},
         App,
         "Installation successfully!"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        CreateDirectoryA(Case.LogDir.c_str(), nullptr);
        std::string Planted = Case.LogDir + "\\LOGFILKV.LOG";
        PlaceSecondName(Planted);
        auto Warning = [&](const std::string& Used) {
            return "Warning: " + Planted +
                   " is a link or has a second name, not a LogFile of ours: left as it is, "
                   "using " +
                   Used + " as Logfile\r\n";
        };
        if (Case.LogDir == App) {   // a plan opens nothing, and can't know the run's process id
            std::string Plan = Medium.Path("plan.txt"),
                        Beside = App + "\\LOGFILKV-<process id>.LOG";
            EXPECT_TRUE(RanAsAnswered(Medium.Run("/quiet /plan=" + Plan + " " + Case.Args, {})));
            EXPECT_TRUE(FileContains(Plan, Warning(Beside)));
            EXPECT_TRUE(FileContains(Plan, "Plan: the log would be " + Beside + "\r\n"));
        }
        TRunResult Run = Medium.Run(Case.Args, Case.Answers);
        ASSERT_FALSE(Run.Dialogs.empty()) << DescribeRun(Run);
        EXPECT_TRUE(ShowsTemplate(Run, Run.Dialogs.size() - 1, Case.Report));
        EXPECT_TRUE(FileHolds(Victim, Precious));
        std::string Used = Run.Dialogs.back().TextOf(idLink);
        EXPECT_EQ(0u, Used.rfind(Case.LogDir + "\\LOGFILKV-", 0)) << Used;
        EXPECT_TRUE(FileContains(Used, Warning(Used)));
        DeleteFileA(Planted.c_str());
        DeleteFileA(Used.c_str());
    }
}

// The plan and the record are written whole under their names: a second name of another file
// put there, before the run or between two answers, is replaced as a name and never written
// through, so the other file stays as it was.
TEST_F(ForeignFiles, SecondNameWhereThePlanOrTheRecordGoesKeepsTheOtherFileIntact)
{
    WriteInf("");
    std::string Plan = Medium.Path("plan.txt"), Record = Medium.Path("record.ini");
    PlaceSecondName(Plan);
    EXPECT_TRUE(RanAsAnswered(Medium.Run("/quiet /plan=" + Plan + " " + Inf.Name, {})));
    EXPECT_TRUE(FileHolds(Victim, Precious));
    EXPECT_TRUE(FileContains(Plan, "Plan of "));

    // The first answer is written before the first dialog: the second name takes its place.
    TWhen Planted([&] { return GetFileAttributesA(Record.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  [&] {
                      DeleteFileA(Record.c_str());
                      PlaceSecondName(Record);
                  });
    TRunResult Run =
        Medium.Run("/record=" + Record + " " + Inf.Name, {"click 1", "click 1", "click 1"});
    EXPECT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(Planted.Done());
    EXPECT_TRUE(FileHolds(Victim, Precious));
    EXPECT_EQ(App, ProfileValue(Record, "SetupAnswers", "Folder"));
}

// The cleanup of a killed run's leftovers before the copy into a folder removes our own names only,
// files with one name only, and never goes through a link.
TEST_F(ForeignFiles, FilesNamedLikeLeftoversSurviveTheCleanup)
{
    WriteInf(Lines({"b.txt=" + App + "\\Sub"}));
    Medium.WriteText("b.txt", "b");
    const struct {
        std::string Name;   // in the installation folder
        bool Folder;        // else a file
        bool Stays;
    } Cases[] = {
        {"~setupkv my notes.tmp", false, true},
        {"Sub\\~setupkv my notes.tmp\\~setupkv04d20001.tmp", false, true},
        {"~setupkv.tmp", false, true},
        {"~setupkv04d20007.tmp", false, false},   // real leftovers of ours
        {"Sub\\~setupkv04d20008.tmp\\~setupkv04d20009.tmp", false, false},
        {"Sub\\~setupkv04d20008.tmp", true, false},   // made for the file above
    };
    for (const auto& Case : Cases)
        if (!Case.Folder)
            Medium.WriteText(App + "\\" + Case.Name, "mine");
    std::string SecondName = App + "\\~setupkv04d2000a.tmp";   // our format, but two names
    PlaceSecondName(SecondName);

    TRunResult Run = Medium.PlannedRun(Inf.Name, {"click 1", "click 1", "click 1"});
    EXPECT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::string Path = App + "\\" + Case.Name;
        if (!Case.Stays) {
            EXPECT_TRUE(NothingAt(Path));
        } else if (!Case.Folder) {
            EXPECT_TRUE(FileHolds(Path, "mine"));
        }
    }
    EXPECT_TRUE(FileHolds(SecondName, Precious));
    EXPECT_TRUE(FileHolds(App + "\\Sub\\b.txt", "b"));
}

// A link named as our leftovers are, to a folder elsewhere: the cleanup neither enters it nor
// removes it, so the files where it points stay.
TEST_F(ForeignFiles, LinkedFolderNamedLikeALeftoverIsNotEntered)
{
    WriteInf("");
    std::string Outside = Medium.Path("Outside");
    Medium.WriteText(Outside + "\\~setupkv04d20002.tmp", "elsewhere");
    Medium.MakeDir(App);
    std::string Link = App + "\\~setupkv04d20003.tmp";
    std::string UnixLink = UnixPath(Link);
    std::string MakeLink = "/bin/ln -s \"" + UnixPath(Outside) + "\" \"" + UnixLink + "\"";
    if (UnixLink.empty() || !UnixLinkCommand(MakeLink, Link, true))
        GTEST_SKIP() << "no link to a folder can be made here";
    TRunResult Run = Medium.PlannedRun(Inf.Name, {"click 1", "click 1", "click 1"});
    bool Stayed = IsLink(Link);
    UnixLinkCommand("/bin/rm \"" + UnixLink + "\"", Link, false);   // Wine's calls won't
    EXPECT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(Stayed);
    EXPECT_TRUE(FileHolds(Outside + "\\~setupkv04d20002.tmp", "elsewhere"));
}

}   // namespace

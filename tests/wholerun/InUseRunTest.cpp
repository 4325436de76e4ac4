// Whole runs that install over a file that another process holds open without sharing it, as a
// program still running does: [Options] FilesInUse fails the run as ever, asks, or has the file
// replaced at the next start of Windows, for which Wine's "wineboot -r" stands in here.
#include <windows.h>

#include <sddl.h>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

const char* const SessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char* const PendingValue = "PendingFileRenameOperations";

// The renames at the next start are the whole prefix's, and "wineboot -r" carries out all of
// them: the tests that add some take turns, also with those of other build folders.
struct TPendingLock {
    HANDLE Mutex = CreateMutexA(nullptr, FALSE, "SetupTest.PendingFileRenameOperations");
    TPendingLock() { WaitForSingleObject(Mutex, 300000); }
    ~TPendingLock()
    {
        ReleaseMutex(Mutex);
        CloseHandle(Mutex);
    }
    TPendingLock(const TPendingLock&) = delete;
    TPendingLock& operator=(const TPendingLock&) = delete;
};

// The system's list of renames at the next start, each name in turn (source, target, ...).
std::vector<std::string> PendingNames()
{
    std::vector<std::string> Names;
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_QUERY_VALUE, &Key) != 0)
        return Names;
    std::vector<char> Data(1 << 16);
    DWORD Size = DWORD(Data.size());
    if (RegQueryValueExA(Key, PendingValue, nullptr, nullptr, reinterpret_cast<BYTE*>(Data.data()),
                         &Size) == 0) {
        // The buffer is larger than the list and zeroed, so every name ends in a NUL.
        for (size_t At = 0; At < Size && Data[At] != '\0';) {
            for (int Pair = 0; Pair < 2; ++Pair) {   // the target may be empty
                Names.emplace_back(&Data[At]);
                At += Names.back().size() + 1;
            }
        }
    }
    RegCloseKey(Key);
    return Names;
}

// The renames of the list whose source lies in Dir, each as "source -> target".
std::vector<std::string> PendingRenamesIn(const std::string& Dir)
{
    std::vector<std::string> Renames, Names = PendingNames();
    std::string Prefix = "\\??\\" + Dir + "\\";
    for (size_t I = 0; I + 1 < Names.size(); I += 2)
        if (_strnicmp(Names[I].c_str(), Prefix.c_str(), Prefix.size()) == 0)
            Renames.push_back(Names[I] + " -> " + Names[I + 1]);
    return Renames;
}

// Takes the renames out of the list whose source lies in Dir, so that none outlives its test.
// The list is read and written back whole: under the lock, or another test's entry added in
// between would go.
void ForgetRenamesIn(const std::string& Dir)
{
    TPendingLock Lock;   // a mutex: the thread that holds it already may take it again
    std::vector<std::string> Names = PendingNames();
    std::string Kept, Prefix = "\\??\\" + Dir + "\\";
    for (size_t I = 0; I + 1 < Names.size(); I += 2)
        if (_strnicmp(Names[I].c_str(), Prefix.c_str(), Prefix.size()) != 0)
            Kept += Names[I] + '\0' + Names[I + 1] + '\0';
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_SET_VALUE, &Key) != 0)
        return;
    if (Kept.empty())
        RegDeleteValueA(Key, PendingValue);
    else
        RegSetValueExA(Key, PendingValue, 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(Kept.c_str()), DWORD(Kept.size() + 1));
    RegCloseKey(Key);
}

// The list made unwritable, as for a user who is no administrator: the Session Manager key, which
// holds it, denies everyone setting a value. Its own access list comes back at the end, through
// the handle that changed it. Nothing when Deny is false.
struct TListDenied {
    HKEY Key = nullptr;
    std::vector<char> Saved = std::vector<char>(1 << 16);
    explicit TListDenied(bool Deny = true)
    {
        PSECURITY_DESCRIPTOR Sd = nullptr;
        DWORD Size = DWORD(Saved.size());
        if (Deny && (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, READ_CONTROL | WRITE_DAC,
                                   &Key) != 0 ||
                     RegGetKeySecurity(Key, DACL_SECURITY_INFORMATION, Saved.data(), &Size) != 0 ||
                     !ConvertStringSecurityDescriptorToSecurityDescriptorA(
                         "D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &Sd, nullptr) ||
                     RegSetKeySecurity(Key, DACL_SECURITY_INFORMATION, Sd) != 0))
            ADD_FAILURE() << "the Session Manager key could not be denied";
        LocalFree(Sd);
    }
    ~TListDenied()
    {
        if (Key)
            RegSetKeySecurity(Key, DACL_SECURITY_INFORMATION, Saved.data());
        RegCloseKey(Key);
    }
};

// Wine's start of Windows: "wineboot -r" carries out the renames of the list.
bool RestartWindows()
{
    char System[MAX_PATH];
    GetSystemDirectoryA(System, MAX_PATH);
    std::string Command = std::string(System) + "\\wineboot.exe -r";
    STARTUPINFOA Startup = {};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process;
    if (!CreateProcessA(nullptr, &Command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &Startup, &Process))
        return false;
    bool Ended = WaitForSingleObject(Process.hProcess, 60000) == WAIT_OBJECT_0;
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    return Ended;
}

// A medium whose script installs a.txt, held open by the test, and then b.txt into App, and
// writes a value below the test's key; FilesInUse as the case says.
struct InUse : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"InUse"};
    TTestKey Key;
    std::string App = Medium.Path("App");
    std::string Log = App + "\\LOGFILKV.LOG";
    std::string Held = App + "\\a.txt";
    std::string Waiting = App + "\\~setupkv-a.txt.tmp";
    HANDLE Holder = INVALID_HANDLE_VALUE;

    ~InUse() override
    {
        Release();
        ForgetRenamesIn(Medium.Dir);
    }

    // The script with Option as its [Options] FilesInUse ("" for none), with Rollback=Yes where
    // asked, the medium's files, and the installed a.txt, held open.
    void Prepare(const std::string& Option, bool Rollback = false)
    {
        Release();
        RemoveTree(App);
        std::string Options = Option.empty() ? "" : Lines({"[Options]", "FilesInUse=" + Option});
        Options += Rollback ? Lines({"Rollback=Yes"}) : "";
        Medium.WriteText(Inf.Name,
                         Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App,
                                "[Files]", "a.txt=", "b.txt=", "[RegWrite]",
                                "Done=HKCU," + Key.SubKey + ",Done,Reg_SZ,yes"}) +
                             Options);
        PutText("a.txt", "new", 2021);
        PutText("b.txt", "b", 2021);
        PutText("App\\a.txt", "old", 2019);
        Hold();
    }

    void Hold()
    {
        Holder = CreateFileA(Held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, Holder);
    }

    void PutText(const std::string& Name, const std::string& Text, int Year) const
    {
        Medium.WriteText(Name, Text);
        SetLastWriteTime(Medium.Path(Name), June1(Year));
    }

    void Release()
    {
        if (Holder != INVALID_HANDLE_VALUE)
            CloseHandle(Holder);
        Holder = INVALID_HANDLE_VALUE;
    }

    // Continue, take the proposed path, answer the in-use dialog, close the report; the answers
    // recorded into Record.
    TRunResult Install(const std::string& Answer) const
    {
        return Medium.Run("/record=" + Record + " " + Inf.Name,
                          {"click 1", "click 1", Answer, "click 1"});
    }
    std::string Record = Medium.Path("answers.ini");

    // The answer to files in use that the answer file Record holds.
    std::string RecordedInUse() const
    {
        char Value[32];
        GetPrivateProfileStringA("SetupAnswers", "InUse", "", Value, sizeof Value, Record.c_str());
        return Value;
    }

    // The log line of a.txt waiting for the restart (dated files have no language: two blanks).
    std::string RestartLine(int Year) const
    {
        return Held + "\t" + DateText(Year) + "  will replace the file in use at the next restart";
    }
};

// So does Restart where the system may not add to its list: the run says why, and no waiting file
// stays behind.
TEST_F(InUse, WithoutTheOptionWithFailOrARefusedRestartTheRunFailsAsEver)
{
    TPendingLock Lock;
    for (const char* Option : {"", "Fail", "Sometimes", "Restart"}) {
        SCOPED_TRACE(Option);
        bool Restart = std::string(Option) == "Restart";
        Prepare(Option);
        TRunResult Run;
        {
            TListDenied Denied(Restart);
            Run = Medium.Run("/quiet " + Inf.Name, {});
        }
        Release();
        EXPECT_TRUE(RanAsAnswered(Run, 1603));
        EXPECT_EQ(Restart, bool(FileContains(Log, "Error: can't replace " + Held +
                                                      " at the next restart: ")));
        EXPECT_TRUE(FileContains(Log, "Error: can't copy " + Medium.Path("a.txt") + " to " + Held +
                                          ": Error "));
        EXPECT_TRUE(FileHolds(Held, "old"));
        EXPECT_TRUE(NothingAt(App + "\\b.txt"));
        EXPECT_TRUE(TempFilesIn(App).empty());
        EXPECT_TRUE(PendingRenamesIn(Medium.Dir).empty());
        // An unknown value is said in the log (the checker calls it an error beforehand).
        EXPECT_EQ(std::string(Option) == "Sometimes",
                  bool(FileContains(Log, "[Options] FilesInUse=Sometimes is none of Fail, Ask, "
                                         "Restart: a file in use fails the installation\r\n")));
    }
}

TEST_F(InUse, RestartReplacesTheFileAtTheNextStartOfWindows)
{
    TPendingLock Lock;
    Prepare("Restart");
    TMachinePlaces Places = {{Medium.Dir}, {Medium.TmpDir, Log}, {"HKCU\\" + Key.SubKey}};
    TMachine Before = ReadMachine(Places);
    TRunResult Run = Medium.Run("/quiet " + Inf.Name, {});

    EXPECT_TRUE(RanAsAnswered(Run, 3010));
    // As a snapshot sees it, the rename among it.
    EXPECT_TRUE(ChangedExactly(Before, ReadMachine(Places),
                               {"file " + App + "\\b.txt: added", "file " + Waiting + ": added",
                                "key HKCU\\" + Key.SubKey + ": added",
                                "value HKCU\\" + Key.SubKey + " [Done]: added",
                                "rename \\??\\" + Waiting + " -> !\\??\\" + Held + ": added"}));
    EXPECT_TRUE(FileContains(Log, RestartLine(2021) + "\r\n"));
    EXPECT_TRUE(FileContains(Log, "Installation successfully! Restart Windows to finish the "
                                  "installation. Exit code 3010\r\n"));
    // The rest of the run as in a successful one.
    EXPECT_TRUE(FileHolds(App + "\\b.txt", "b"));
    EXPECT_EQ("yes", Key.ReadString("", "Done").value_or("<missing>"));
    EXPECT_TRUE(FileHolds(Waiting, "new"));
    std::vector<std::string> Scheduled = {"\\??\\" + Waiting + " -> !\\??\\" + Held};
    EXPECT_EQ(Scheduled, PendingRenamesIn(Medium.Dir));

    // Again before the restart, the program still running, with a newer file: the waiting file
    // takes it, its rename stays the one, and no cleanup takes it for a killed run's file.
    PutText("a.txt", "newer", 2022);
    Run = Medium.Run("/quiet " + Inf.Name, {});
    EXPECT_TRUE(RanAsAnswered(Run, 3010));
    EXPECT_TRUE(FileContains(Log, RestartLine(2022) + "\r\n"));
    EXPECT_TRUE(FileHolds(Waiting, "newer"));
    EXPECT_EQ(Scheduled, PendingRenamesIn(Medium.Dir));
    EXPECT_EQ(std::vector<std::string>{"~setupkv-a.txt.tmp"}, TempFilesIn(App));

    Release();
    EXPECT_TRUE(FileHolds(Held, "old"));
    ASSERT_TRUE(RestartWindows());
    EXPECT_TRUE(FileHolds(Held, "newer"));
    EXPECT_TRUE(TempFilesIn(App).empty());
    EXPECT_TRUE(PendingRenamesIn(Medium.Dir).empty());
}

TEST_F(InUse, AskRetriesReplacesAtTheRestartOrCancels)
{
    TPendingLock Lock;
    const struct {
        const char* Case;
        std::string Answer;
        bool ReleaseFirst;   // the user closes the program while the dialog shows
        const char* Report;
        const char* Now;   // a.txt after the run
        bool Waits;        // a rename waits for the restart
        std::string Logged;
        const char* Recorded;   // InUse of the record: a retry is no answer to replay
        DWORD Exit;             // with a switch, here /record
    } Cases[] = {
        // Weighed again once the file can be read: the line tells what it replaced.
        {"retry", "wait 300; click " + std::to_string(idRetry), true, "Installation successfully!",
         "new", false, Held + "\t" + DateText(2019) + "  replaced by " + DateText(2021) + " \r\n",
         "", 0},
        {"at restart", "click " + std::to_string(idAtRestart), false,
         "Installation successfully! Restart Windows to finish the installation.", "old", true,
         RestartLine(2021) + "\r\n", "restart", 3010},
        {"cancel", "click " + std::to_string(IDCANCEL), false, "Installation done without success!",
         "old", false, "\r\nFileCopy canceled by User", "cancel", 1602},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        Prepare("Ask");
        TRunResult Run;
        {
            TWhen Closed([&] { return Case.ReleaseFirst && DialogShowing(Held); },
                         [&] { Release(); });
            Run = Install(Case.Answer);
        }
        Release();
        ASSERT_TRUE(RanAsAnswered(Run, Case.Exit));
        EXPECT_TRUE(ShowsTemplate(Run, 2,
                                  "The file \"" + Held +
                                      "\" is in use by a program. "
                                      "Close the program and choose Retry, or let the file "
                                      "be replaced when Windows restarts."));
        EXPECT_TRUE(ShowsTemplate(Run, 3, Case.Report));
        EXPECT_TRUE(FileHolds(Held, Case.Now));
        EXPECT_EQ(Case.Waits, !PendingRenamesIn(Medium.Dir).empty());
        EXPECT_TRUE(FileContains(Log, Case.Logged));
        EXPECT_EQ(Case.Recorded, RecordedInUse());
        // Cancelled, the run ends there, as a cancelled file conflict does.
        EXPECT_EQ(std::string(Case.Case) == "cancel", bool(NothingAt(App + "\\b.txt")));
        if (Case.Waits) {
            // Installed again once the program has ended, before the restart: at once, and the
            // waiting file goes, so that the restart can't bring the older file back.
            EXPECT_TRUE(RanAsAnswered(Medium.Run("/quiet " + Inf.Name, {})));
            EXPECT_TRUE(FileHolds(Held, "new"));
            EXPECT_TRUE(NothingAt(Waiting));
        }
        ForgetRenamesIn(Medium.Dir);
    }
}

// With rollback, Cancel Install at the file in use takes back the value written before it.
TEST_F(InUse, AskCancelledWithRollbackLeavesTheMachineAsItWas)
{
    Prepare("Ask", true);
    TMachinePlaces Places = {
        {Medium.Dir, Inf.Installed}, {Medium.TmpDir, Log, Record}, {"HKCU\\" + Key.SubKey}};
    Release();   // a held file can't be read
    TMachine Before = ReadMachine(Places);
    Hold();
    TRunResult Run = Install("click " + std::to_string(IDCANCEL));
    Release();
    ASSERT_TRUE(RanAsAnswered(Run, 1602));
    EXPECT_TRUE(ShowsTemplate(
        Run, 3, "Installation done without success! The machine was left as it was."));
    EXPECT_TRUE(ChangedExactly(Before, ReadMachine(Places), {}));
    EXPECT_TRUE(FileContains(Log, "\r\nRollback: the machine was left as it was\r\n"));
}

// Installed at once before the restart, the file's replacement is taken back from the system's
// list before its waiting file goes: a file that someone then puts under the waiting name is never
// moved over the new one, also where the waiting file had been removed by hand. Where the list may
// not be changed, the waiting file takes the new file too, and the restart changes nothing.
TEST_F(InUse, ADirectInstallBeforeTheRestartTakesTheReplacementBack)
{
    TPendingLock Lock;
    const struct {
        const char* Case;
        bool RemovedByHand;
        bool Denied;
    } Cases[] = {
        {"waiting file there", false, false},
        {"waiting file removed by hand", true, false},
        {"list unwritable", false, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        Prepare("Restart");
        ASSERT_TRUE(RanAsAnswered(Medium.Run("/quiet " + Inf.Name, {}), 3010));
        Release();
        if (Case.RemovedByHand)
            DeleteFileA(Waiting.c_str());
        PutText("a.txt", "newer", 2022);
        {
            TListDenied Denied(Case.Denied);
            EXPECT_TRUE(RanAsAnswered(Medium.Run("/quiet " + Inf.Name, {})));
        }
        EXPECT_TRUE(FileHolds(Held, "newer"));
        EXPECT_EQ(Case.Denied, !PendingRenamesIn(Medium.Dir).empty());
        if (Case.Denied) {
            EXPECT_TRUE(FileHolds(Waiting, "newer"));
        } else {
            EXPECT_TRUE(NothingAt(Waiting));
            Medium.WriteText(Waiting, "planted");
        }
        ASSERT_TRUE(RestartWindows());
        EXPECT_TRUE(FileHolds(Held, "newer"));
        EXPECT_TRUE(Case.Denied ? NothingAt(Waiting) : FileHolds(Waiting, "planted"));
        ForgetRenamesIn(Medium.Dir);
        DeleteFileA(Waiting.c_str());
    }
}

// An answer file answers every file in use, in a plan as in the run; a value that is no answer
// refuses the file.
// The robot's --defaults presses Retry, the default, on a file that stays in use: the dialog comes
// back unchanged, and the robot stops it after RepeatLimit appearances instead of at its time
// limit, with an exit code of its own.
TEST_F(InUse, RobotWithDefaultsStopsOnTheDialogThatComesBackUnchanged)
{
    Prepare("Ask");
    TRunOptions Options;
    Options.CommandLine = "\"" + Medium.SetupExe + "\" " + Inf.Name;
    Options.WorkDir = Medium.Dir;
    Options.Env = {{"tmp", Medium.TmpDir}, {"temp", Medium.TmpDir}};
    Options.DefaultsForRest = true;
    TRunResult Run = RunWithRobot(Options);
    Release();
    ASSERT_EQ(Run.Dialogs.size(), 2 + RepeatLimit + 1) << DescribeRun(Run);
    EXPECT_EQ(RobotExitCode(Run), rxRepeated);
    EXPECT_FALSE(Run.TimedOut);
    EXPECT_EQ(Run.ExitCode, RobotKilledExitCode);
    EXPECT_EQ(Run.Dialogs[2].Answer, "default (click " + std::to_string(idRetry) + ")");
    EXPECT_NE(Run.Failure.find("came back unchanged " + std::to_string(RepeatLimit) +
                               " times to the default answer"),
              std::string::npos)
        << Run.Failure;
    EXPECT_NE(DescribeRun(Run).find("Stopped: dialog " + std::to_string(RepeatLimit + 3)),
              std::string::npos);
    EXPECT_TRUE(FileHolds(Held, "old"));
}

TEST_F(InUse, TheAnswerFileAnswersEveryFileInUse)
{
    TPendingLock Lock;
    const struct {
        const char* Value;
        DWORD Exit;
        const char* Planned;   // in the plan (which is written, so its run ends with 0)
        bool Waits;
    } Cases[] = {
        {"cancel", 1602, "Plan: taking the recorded answer: Cancel\r\n", false},
        {"Restart", 3010, "Plan: taking the recorded answer: Replace at restart\r\n", true},
        {"later", 87, "the answer file's InUse is later, not restart or cancel", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        Prepare("Ask");
        Medium.WriteText("answers.ini", Lines({"[SetupAnswers]", "Version=1",
                                               std::string("InUse=") + Case.Value}));
        std::string Switches = "/quiet /answers=" + Record + " ";
        std::string PlanFile = Medium.Path("plan.txt");
        EXPECT_TRUE(RanAsAnswered(Medium.Run(Switches + "/plan=" + PlanFile + " " + Inf.Name, {})));
        EXPECT_TRUE(FileContains(PlanFile, Case.Planned));
        EXPECT_TRUE(RanAsAnswered(Medium.Run(Switches + Inf.Name, {}), Case.Exit));
        Release();
        EXPECT_TRUE(FileHolds(Held, "old"));
        EXPECT_EQ(Case.Waits, !PendingRenamesIn(Medium.Dir).empty());
        EXPECT_EQ(Case.Waits, FileHolds(App + "\\b.txt", "b"));
        ForgetRenamesIn(Medium.Dir);
    }
}

}   // namespace

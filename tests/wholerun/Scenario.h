// Whole-run harness: each test gets its own installation medium with a copy of SETUP.EXE, runs it
// with the dialog robot, and checks dialogs, files and registry through the helpers below.
#pragma once

#include "Robot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A fresh medium for the running test: %TEMP%\<suite>.<test>.<pid> holding SETUP.EXE (copied
// from the path in the environment variable SETUP_EXE) and an empty "tmp" folder. The folder is
// removed at the end of the test, or kept and named when the test failed.
class TScenario {
public:
    std::string Id;         // <suite>.<test>.<pid>: unique among tests that run side by side, for
                            // what all runs share (INF names in the Windows INF directory, ...)
    std::string Dir;        // the medium, no trailing backslash
    std::string TmpDir;     // Dir + "\tmp": tmp and temp of every run, so its log is the test's own
    std::string SetupExe;   // Dir + "\SETUP.EXE"
    std::string WorkDir;    // current directory of the runs; TmpDir, so that SETUP.EXE has to
                            // find its files by its own path

    TScenario();
    ~TScenario();
    TScenario(const TScenario&) = delete;
    TScenario& operator=(const TScenario&) = delete;

    // Name inside the medium ("SETUP.INF", "Source\\a.dll"); an absolute path stays as it is.
    std::string Path(const std::string& Name) const;

    // Writes Text byte for byte (give line ends as "\r\n"), creating missing folders.
    void WriteText(const std::string& Name, const std::string& Text) const;
    std::optional<std::string> ReadText(const std::string& Name) const;   // nullopt: unreadable
    bool Exists(const std::string& Name) const;                           // file or folder
    void MakeDir(const std::string& Name) const;                          // with missing parents

    // Runs SETUP.EXE Args from the medium, answering its dialogs with Answers (ParseAnswer
    // syntax), with tmp and temp set to TmpDir and Env applied on top.
    TRunResult Run(const std::string& Args, const std::vector<std::string>& Answers,
                   const TEnvOverrides& Env = {}, unsigned TimeoutMs = 30000) const;

    // Where the runs' plans go: beside the medium, so that no [Files] entry takes it.
    std::string PlanFile() const { return Dir + ".plan.txt"; }
    // Run, planned first with the same Args when it asks no question (see AsksQuestion) and
    // PlanMark does not say none: its log must then be as planned (see AsPlanned).
    TRunResult PlannedRun(const std::string& Args, const std::vector<std::string>& Answers,
                          const TEnvOverrides& Env = {}) const;
    std::string PlanMark;   // for PlannedRun: "none REASON", "known-mismatch CAUSE" or ""
};

// The test's own key HKCU\Software\SetupTest\<suite>.<test>.<pid>, removed with everything
// below it at the end of the test.
class TTestKey {
public:
    std::string SubKey;   // "Software\SetupTest\..." under HKEY_CURRENT_USER, as INF lines name it

    TTestKey();
    ~TTestKey();
    TTestKey(const TTestKey&) = delete;
    TTestKey& operator=(const TTestKey&) = delete;

    // Path is below SubKey ("" for SubKey itself); missing keys are created on writing.
    void SetString(const std::string& Path, const std::string& Name,
                   const std::string& Value) const;
    void SetDWord(const std::string& Path, const std::string& Name, uint32_t Value) const;
    std::optional<std::string> ReadString(const std::string& Path, const std::string& Name) const;
    std::optional<uint32_t> ReadDWord(const std::string& Path, const std::string& Name) const;
    bool Exists(const std::string& Path) const;
};

// An INF name of the test's own, Stem + process id + ".INF", so that the installer's copy of it in
// the Windows INF directory is the test's own too; that copy is removed at the end of the test.
class TInstalledInf {
public:
    std::string Name;        // the file name in the medium
    std::string Installed;   // where the installer puts its copy
    explicit TInstalledInf(const std::string& Stem);
    ~TInstalledInf();
    TInstalledInf(const TInstalledInf&) = delete;
    TInstalledInf& operator=(const TInstalledInf&) = delete;
};

// A key of HKLM made unwritable for the run, as for a user without administrator rights: the key
// exists, and a security descriptor that denies everyone everything (owned by SYSTEM, so that not
// even its owner may open it) keeps the installer from opening or creating it. Only the handle
// that set the descriptor keeps its access; through it the key is opened again and removed at
// the end.
class TDeniedKey {
public:
    explicit TDeniedKey(const std::string& SubKey);
    ~TDeniedKey();
    TDeniedKey(const TDeniedKey&) = delete;
    TDeniedKey& operator=(const TDeniedKey&) = delete;
    DWORD ValueCount() const;

private:
    std::string SubKey;
    HKEY Key = nullptr;
    bool SetSecurity(const char* Text);
};

// The machine as far as one test's runs may change it, to compare before and after a run: each
// item ("file PATH", "folder PATH", "key HKCU\KEY", "value HKLM\KEY [NAME]",
// "rename FROM -> TO") with what it is, aspect by aspect (a file's bytes, written and attributes,
// a value's type and data). A folder's own time is left out: it follows what is in it.
using TAspects = std::vector<std::pair<std::string, std::string>>;
using TMachine = std::map<std::string, TAspects>;
struct TMachinePlaces {
    std::vector<std::string> Paths;   // files or folders, with everything below them
    std::vector<std::string> Skip;    // paths left out (the log that every run writes)
    std::vector<std::string> Keys;    // "HKCU\..." or "HKLM\...", with everything below
};
TMachine ReadMachine(const TMachinePlaces& Places);

// One item that differs between two readings: "added", "removed", or the aspects that differ
// ("bytes written"), with what they were before and after.
struct TChange {
    std::string Item, What, Before, After;
    std::string Line() const { return Item + ": " + What; }
};
std::vector<TChange> MachineChanges(const TMachine& Before, const TMachine& After);

// What changed is exactly Expected (lines as TChange::Line gives them, in any order); else
// each unexpected change with its before and after, and each expected one that did not come.
::testing::AssertionResult ChangedExactly(const TMachine& Before, const TMachine& After,
                                          std::vector<std::string> Expected);

// The lines of a log or plan that tell what its run did (or would do): for a log appended to by
// several runs the last run's, without the log's header and the plan's own "Plan" lines.
std::vector<std::string> ToldLines(const std::string& Text);

// Whether a run with these Answers asks a question that its plan answers otherwise: an answer
// other than OK, Yes or the default button. A plan takes what a quiet run takes: the first
// button of a box, the proposed folder, Skip in a file conflict, the report's OK, the answer
// file's choice (the default button of a shown run with /answers). A typed text, a checked box,
// Cancel, Overwrite or Show log is the user's own. (The in-use dialog, where a quiet run takes
// Replace at restart, and a second folder dialog, which it cancels, are left to the test.)
bool AsksQuestion(const std::vector<std::string>& Answers);

// Whether a run with these Answers is planned first: it asks no question, and its Mark is not
// "none REASON" (what the design keeps a plan from knowing). Fails the test for a mark on a run
// that asks a question.
bool PlansFirst(const std::vector<std::string>& Answers, const std::string& Mark);

// The run after the plan in PlanFile did as planned (PlanMatchesLog); for a Mark
// "known-mismatch CAUSE", a fault of the plan that is known and not yet mended, it still differs.
::testing::AssertionResult AsPlanned(const std::string& PlanFile, const std::string& Mark);

// The plan in PlanFile against the log where it said the log would be, which the run after it
// wrote: their told lines the same, in the same order; else where they part.
::testing::AssertionResult PlanMatchesLog(const std::string& PlanFile);

// The Windows INF directory, where the installer keeps its INF copies.
std::string WindowsInfDir();

// A value of an INI or INF file, or "<missing>" when the key is not there.
std::string ProfileValue(const std::string& File, const std::string& Section,
                         const std::string& Key);

// Deletes a folder with everything in it, read-only files too; false when something stayed.
bool RemoveTree(const std::string& Dir);

// Sets the last-write time of the file at Path (as UTC); a failure fails the test.
void SetLastWriteTime(const std::string& Path, const SYSTEMTIME& Time);

// What a link file holds, as the shell's link object reads it back.
struct TLink {
    bool Loaded = false;
    std::string Target, Arguments, WorkDir, IconFile;
    int IconIndex = -1;
};
TLink ReadLink(const std::string& Path);

// Joins lines with CR LF after each, as an INF file or a text file on Windows holds them.
std::string Lines(std::initializer_list<std::string> Texts);

// A [RegRead] section that sets MyProgramPath to Dir (its line's default, read from a key that
// does not exist): how a script without [Files], which gets no path dialog, names its
// installation directory itself. The run takes no value of it from its environment.
std::string ProgramPathRegRead(const std::string& Dir);

// Checks for EXPECT_TRUE / ASSERT_TRUE, so that a failure points at the test's own line. Each
// failure message carries the run's transcript or the file's text.

// The run went as the answers said: no unexpected dialog, no time-out, every answer used, exit
// code ExitCode.
::testing::AssertionResult RanAsAnswered(const TRunResult& Run, unsigned long ExitCode = 0);
// Dialog Index (from 0) is a message box showing Text.
::testing::AssertionResult ShowsMessageBox(const TRunResult& Run, size_t Index,
                                           const std::string& Text);
// Dialog Index (from 0) is one of the program's templates with Text in its message field (101).
::testing::AssertionResult ShowsTemplate(const TRunResult& Run, size_t Index,
                                         const std::string& Text);
// The file at Path holds exactly Text.
::testing::AssertionResult FileHolds(const std::string& Path, const std::string& Text);
// The file at Path holds Part somewhere.
::testing::AssertionResult FileContains(const std::string& Path, const std::string& Part);
// Nothing (no file, no folder) is at Path.
::testing::AssertionResult NothingAt(const std::string& Path);

// The folder of the test fixtures (DLLs with version resources, the planted DLL), built beside
// SETUP.EXE's build folder.
std::string FixturesDir();

// The user's Programs folder, as the User Shell Folders key names it; "" when there is none.
std::string ProgramsFolder();

// Something done to a run from outside while it goes on: a thread asks Ready every millisecond
// and, the first time it says yes, does Act once. Ends (and waits for the thread) when it goes.
class TWhen {
public:
    TWhen(std::function<bool()> Ready, std::function<void()> Act);
    ~TWhen();
    TWhen(const TWhen&) = delete;
    TWhen& operator=(const TWhen&) = delete;
    bool Done() const { return Acted; }   // Act has begun

private:
    std::function<bool()> Ready;
    std::function<void()> Act;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Acted{false};
    std::thread Watch;
};

// A crash on demand: kills every SETUP.EXE that this test process started (by its process id),
// as a power cut or the task manager would. A run killed so returns from TScenario::Run at once.
void KillOwnSetups();

// A dialog of any process is on screen whose message (control 101, or a message box's text)
// holds Part: make Part the test's own (a path in its medium), as tests run side by side.
bool DialogShowing(const std::string& Part);

// The names a directory search for Pattern finds ("." and ".." left out).
std::vector<std::string> NamesIn(const std::string& Pattern);

// The installer's temporary files (a killed run's leftovers) in Dir.
std::vector<std::string> TempFilesIn(const std::string& Dir);

// Those of them that no running installation is writing (it holds its file open, shared with
// nobody): in a folder that tests running side by side share, only these are left over.
std::vector<std::string> LeftTempFilesIn(const std::string& Dir);

// Midnight UTC of 1 June of Year, which the installer shows as the date alone, and that date as
// the user's short date format writes it.
SYSTEMTIME June1(int Year);
std::string DateText(int Year);

// The system's text for an error code on one line, as the log gives a reason: no line end.
std::string SystemText(DWORD Code);

// Runs a command line through the system's command interpreter, waiting up to a minute; false
// when it could not start or did not end. Native: in the system's own bitness, as the software
// list runs an uninstall command (the 64-bit interpreter through Sysnative where there is one);
// else the 32-bit one, as this program's own children run.
bool RunThroughCmd(const std::string& Command, bool Native);

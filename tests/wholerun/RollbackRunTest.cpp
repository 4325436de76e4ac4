// Whole runs with [Options] Rollback=Yes that need code: an upgrade killed at several points
// (during the copies, between sections, after the last one). The next run undoes the killed one
// before its first question, so that a next run declined there leaves the machine exactly as it
// was before the killed run (or, killed once it had ended well, as that run left it: never half);
// the run after it then installs as on a machine never touched.
#include <windows.h>

#include "Scenario.h"

namespace {

const char* const Names[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};

// A file of Version, 256 KB, so that the copies take a moment.
std::string Text(const std::string& Version, const char* Name)
{
    return Version + " " + Name + std::string(size_t(256) << 10, '.');
}

// The year the file at Path was last written; 0 when there is none (moved aside a moment).
int WrittenYear(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    SYSTEMTIME Time;
    if (!GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &Data) ||
        !FileTimeToSystemTime(&Data.ftLastWriteTime, &Time))
        return 0;
    return Time.wYear;
}

// Version 1 installed with App, its values and its INI entry; the medium then holds version 2,
// whose script asks for rollback.
struct Killed : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Killed"};
    TTestKey Key;
    std::string App = Medium.Path("App");
    std::string Ini = App + "\\app.ini";
    std::string TempLog = Medium.TmpDir + "\\LOGFILKV.LOG";

    void WriteVersion(const std::string& Version, int Year) const
    {
        for (const char* Name : Names) {
            std::string File = std::string(Name) + ".txt";
            Medium.WriteText(File, Text(Version, Name));
            SetLastWriteTime(Medium.Path(File), June1(Year));
        }
        std::string Options = Version == "one" ? "" : Lines({"[Options]", "Rollback=Yes"});
        Medium.WriteText(
            Inf.Name,
            Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App, "[RegWrite]",
                   "Option=HKCU," + Key.SubKey + ",Option,Reg_SZ," + Version, "[Files]",
                   "*.txt=", "[IniWrite]", "Entry=Section,Key," + Version + "," + Ini}) +
                Options);
    }

    TRunResult Install() const { return Medium.Run(Inf.Name, {"click 1", "click 1", "click 1"}); }

    // Without the killed copy's temporary files where Leftovers says so: those are the next
    // copy's to remove, into the same folder, as without rollback.
    TMachine State(bool Leftovers = false) const
    {
        TMachinePlaces Places = {{Medium.Dir, Inf.Installed},
                                 {Medium.TmpDir, App + "\\LOGFILKV.LOG"},
                                 {"HKCU\\" + Key.SubKey}};
        for (const std::string& Name : Leftovers ? TempFilesIn(App) : std::vector<std::string>())
            Places.Skip.push_back(App + "\\" + Name);
        return ReadMachine(Places);
    }
};

// The points where the run is killed: the first file replaced (during the copies), the registry
// written (between [RegWrite] and [Files]), the INI entry written (after the last section).
enum TPoint { kpCopies, kpBetweenSections, kpLastSection };

struct KilledRollback : Killed, ::testing::WithParamInterface<TPoint> {};

TEST_P(KilledRollback, TheNextRunUndoesItFirstAndThenInstalls)
{
    WriteVersion("one", 2019);
    ASSERT_TRUE(RanAsAnswered(Install()));
    WriteVersion("two", 2021);
    TMachine Before = State();
    std::function<bool()> Reached[] = {
        [&] {
            for (const char* Name : Names)
                if (WrittenYear(App + "\\" + Name + ".txt") != 2019)
                    return true;
            return false;
        },
        [&] { return Key.ReadString("", "Option").value_or("") == "two"; },
        [&] { return ProfileValue(Ini, "Section", "Key") == "two"; },
    };
    {
        TWhen Crash(Reached[GetParam()], KillOwnSetups);
        Install();
        ASSERT_TRUE(Crash.Done()) << "the point was not seen";
    }
    std::vector<std::string> Changed = {"file " + Inf.Installed + ": bytes written",
                                        "value HKCU\\" + Key.SubKey + " [Option]: data",
                                        "file " + Ini + ": bytes written"};
    for (const char* Name : Names)
        Changed.push_back("file " + App + "\\" + Name + ".txt: bytes written");

    // Declined at its first question, the next run has undone the killed one all the same; only
    // a run killed after it ended kept (while it dropped its kept copies) stays whole instead.
    TRunResult Declined = Medium.Run(Inf.Name, {"click 2", "click 1"});
    EXPECT_TRUE(RanAsAnswered(Declined));
    TMachine After = State(true);
    ::testing::AssertionResult Undone = ChangedExactly(Before, After, {});
    if (GetParam() == kpLastSection && !Undone)
        EXPECT_TRUE(ChangedExactly(Before, After, Changed)) << "neither undone nor kept whole";
    else
        EXPECT_TRUE(Undone);
    EXPECT_EQ(bool(Undone),
              bool(FileContains(TempLog, "Rollback: undoing a run that was killed, from ")));
    EXPECT_TRUE(NamesIn(Medium.TmpDir + "\\~setupkvj*").empty());

    // And the run after it does its own work, as on the machine before the killed run.
    ASSERT_TRUE(RanAsAnswered(Install()));
    EXPECT_TRUE(ChangedExactly(Before, State(), Changed));
}

INSTANTIATE_TEST_SUITE_P(Rollback, KilledRollback,
                         ::testing::Values(kpCopies, kpBetweenSections, kpLastSection));

}   // namespace

// Whole runs of hostile scripts: huge, malformed or self-referring texts. Each run must end in
// time, with exit code 0 and its report, and show what happened, or install as a clean run.
#include <windows.h>

#include "Scenario.h"

#include "Setup/base/DlgIds.h"

namespace {

const unsigned TimeLimitMs = 60000;   // a run that is not over by then hangs

// What one case's script and checks refer to: its medium, registry key and installed INF copy.
struct THostile {
    TScenario Medium;
    TTestKey Key;
    TInstalledInf Inf{"Hostile"};
    std::string App = Medium.Path("App");

    // [Version] with the signature and [Strings] with the installation directory, then Rest.
    std::string Script(const std::string& Rest) const
    {
        return Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App}) + Rest;
    }
};

struct THostileCase {
    std::string (*Script)(const THostile& Run);   // writes what the medium needs, gives the INF
    std::vector<std::string> Answers;
    std::vector<std::string> Shown;   // the dialogs after the first prompt and before the
                                      // report, each by the start of its message
    const char* Report;
    void (*Check)(const THostile& Run, const TRunResult& Result);   // what else must hold
};

// Runs the case within the time limit: the run ends on its own with exit code 0, shows its
// dialogs and then the report, and the log that the report names exists.
void RunCase(const THostileCase& Case)
{
    THostile Run;
    Run.Medium.WriteText(Run.Inf.Name, Case.Script(Run));
    TRunResult Result = Run.Medium.Run("", Case.Answers, {}, TimeLimitMs);

    ASSERT_TRUE(RanAsAnswered(Result));
    for (size_t I = 0; I < Case.Shown.size(); ++I) {
        ASSERT_LT(I + 1, Result.Dialogs.size()) << DescribeRun(Result);
        EXPECT_EQ(0u, Result.Dialogs[I + 1].Message().rfind(Case.Shown[I], 0))
            << "dialog " << I + 2 << ":\n"
            << DescribeRun(Result);
    }
    EXPECT_TRUE(ShowsTemplate(Result, Result.Dialogs.size() - 1, Case.Report));
    EXPECT_TRUE(Run.Medium.Exists(Result.Dialogs.back().TextOf(idLink))) << DescribeRun(Result);
    if (Case.Check != nullptr)
        Case.Check(Run, Result);
}

std::string Repeat(const std::string& Text, size_t Times)
{
    std::string Result;
    Result.reserve(Text.size() * Times);
    while (Times-- > 0)
        Result += Text;
    return Result;
}

// The value that a key has in the installed INF copy, read whole.
std::string InstalledValue(const THostile& Run, const std::string& Key)
{
    std::string Text = Run.Medium.ReadText(Run.Inf.Installed).value_or("");
    size_t At = Text.find("\r\n" + Key + "=");
    if (At == std::string::npos)
        return "<missing>";
    At += Key.size() + 3;
    return Text.substr(At, Text.find("\r\n", At) - At);
}

const std::string Long(65536, 'y');
const std::string Controls = "a\x01"
                             "b\x07"
                             "c\x1b"
                             "d\te\x1a"
                             "f\x7f"
                             "g";

const THostileCase TwoMegabyteScript = {
    [](const THostile& Run) {
        Run.Medium.WriteText("a.txt", "a");
        return Run.Script(Lines({"Late=found", "[Files]", "a.txt="}) + "[Padding]\r\n" +
                          Repeat("Line=" + std::string(60, 'x') + "\r\n", 32000));
    },
    {"click 1", "click 1", "click 1"},
    {},
    "Installation successfully!",
    [](const THostile& Run, const TRunResult&) {
        EXPECT_EQ("found", ProfileValue(Run.Inf.Installed, "Strings", "Late"));
        EXPECT_TRUE(FileHolds(Run.App + "\\a.txt", "a"));
    },
};

// Each [RegRead] name costs a registry read and a write into the INF: a list longer than the
// section's buffer ends the run at once rather than after hours.
const THostileCase HundredThousandKeys = {
    [](const THostile& Run) {
        std::string Keys = "[RegRead]\r\n";
        for (int I = 0; I < 100000; ++I)
            Keys += "K" + std::to_string(I) + "=HKCU," + Run.Key.SubKey + ",V\r\n";
        return Run.Script(Keys);
    },
    {"click 1", "click 1"},
    {},
    "Installation done without success!",
    [](const THostile& Run, const TRunResult&) {
        std::string Log = Run.Medium.Path("tmp\\LOGFILKV.LOG");
        EXPECT_TRUE(
            FileContains(Log, "Internal error: Buffer in RegRead_Expand_Strings too small!\r\n"));
    },
};

// Values are written whole where the system takes them, and refused where it can't.
const THostileCase SixtyFourKilobyteLines = {
    [](const THostile& Run) {
        return Run.Script(Lines({"Long=" + Long, "[RegWrite]",
                                 "Line=HKCU," + Run.Key.SubKey + ",Long,Reg_SZ," + Long,
                                 "[IniWrite]", "Line=S,Long," + Long + "," + Run.App + ".ini"}));
    },
    {"click 1", "click 1", "click 1"},
    {"Error 87("},
    "Installation done without success!",
    [](const THostile& Run, const TRunResult& Result) {
        std::string Box = Result.Dialogs[1].Message();
        EXPECT_EQ(") at IniWriteS", Box.substr(Box.size() - 14)) << Box;
        EXPECT_EQ(Long, Run.Key.ReadString("", "Long").value_or("<missing>"));
        EXPECT_EQ(Long, InstalledValue(Run, "Long"));
        EXPECT_TRUE(NothingAt(Run.App + ".ini"));   // nothing rather than an empty value
    },
};

// Control characters are text like any other; a NUL ends its value, not the file.
const THostileCase ControlCharactersAndNul = {
    [](const THostile& Run) {
        return Run.Script(Lines(
            {"Ctl=" + Controls, std::string("Nul=before\0after", 16), "Next=next", "[RegWrite]",
             "Ctl=HKCU," + Run.Key.SubKey + ",Ctl,Reg_SZ,%Ctl%",
             std::string("Nul=HKCU,", 9) + Run.Key.SubKey + std::string(",Nul,Reg_SZ,x\0y", 15)}));
    },
    {"click 1", "click 1"},
    {},
    "Installation successfully!",
    [](const THostile& Run, const TRunResult&) {
        EXPECT_EQ(Controls, Run.Key.ReadString("", "Ctl").value_or("<missing>"));
        EXPECT_EQ("x", Run.Key.ReadString("", "Nul").value_or("<missing>"));
        EXPECT_EQ(Controls, InstalledValue(Run, "Ctl"));
        EXPECT_EQ("before", ProfileValue(Run.Inf.Installed, "Strings", "Nul"));
        EXPECT_EQ("next", ProfileValue(Run.Inf.Installed, "Strings", "Next"));
    },
};

// The profile functions read a UTF-16 file with a byte-order mark, so the run is the same.
const THostileCase Utf16Script = {
    [](const THostile& Run) {
        Run.Medium.WriteText("a.txt", "a");
        std::string Text = Run.Script(Lines({"Word=caf\xe9", "[Files]", "a.txt="}));
        std::string Wide = "\xff\xfe";
        for (char C : Text)
            Wide += std::string{C, '\0'};   // the script's characters are all below 256
        return Wide;
    },
    {"click 1", "click 1", "click 1"},
    {},
    "Installation successfully!",
    [](const THostile& Run, const TRunResult&) {
        EXPECT_EQ("caf\xe9", ProfileValue(Run.Inf.Installed, "Strings", "Word"));
        EXPECT_TRUE(FileHolds(Run.App + "\\a.txt", "a"));
        EXPECT_TRUE(FileContains(Run.App + "\\LOGFILKV.LOG", "Paths: Shellfolder Word\r\n"));
    },
};

// An inserted value is never scanned again, so references to each other end with the passes;
// one that would grow by thousands each pass stays within a bound and leaves the copy as written.
const THostileCase ReferenceChains = {
    [](const THostile& Run) {
        return Run.Script(
            Lines({"A=%B%", "B=%A%", "Self=%Self%x", "Grow=" + Repeat("%Grow%", 5000)}));
    },
    {"click 1", "click 1"},
    {},
    "Installation successfully!",
    [](const THostile& Run, const TRunResult&) {
        EXPECT_EQ("%B%", ProfileValue(Run.Inf.Installed, "Strings", "A"));
        EXPECT_EQ("%B%", ProfileValue(Run.Inf.Installed, "Strings", "B"));
        EXPECT_EQ("%Self%xxx", ProfileValue(Run.Inf.Installed, "Strings", "Self"));
        EXPECT_EQ(Repeat("%Grow%", 5000), InstalledValue(Run, "Grow"));
    },
};

// The path is proposed whole; the level that can't be made is named, and the user can leave.
std::string LongPath(const std::string& App)
{
    std::string Path = App;
    while (Path.size() < 32000)
        Path += "\\" + std::string(99, 'p');
    return Path.substr(0, 32000);
}

const THostileCase ThirtyTwoThousandCharacterPath = {
    [](const THostile& Run) {
        Run.Medium.WriteText("a.txt", "a");
        return Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                      "MyProgramPath=" + LongPath(Run.App), "[Files]", "a.txt="});
    },
    {"click 1", "click 1", "click 1", "click 1", "click 2", "click 1"},
    {"The Programm will be installed to", "Error to create the ",
     "Error: Failed to create InstallDirectory", "The Programm will be installed to"},
    "Installation done without success!",
    [](const THostile& Run, const TRunResult& Result) {
        std::string Path = LongPath(Run.App);
        EXPECT_EQ(Path, Result.Dialogs[1].TextOf(idBuf));
        // The level named is the first one of the path that the system could not make.
        std::string Box = Result.Dialogs[2].Message();
        std::string Level = Box.substr(20, Box.size() - 20 - 10);
        EXPECT_EQ(" directory", Box.substr(Box.size() - 10)) << Box;
        EXPECT_EQ(0u, Path.rfind(Level + "\\", 0)) << Box;
        EXPECT_FALSE(Run.Medium.Exists(Level)) << Level;
        EXPECT_TRUE(Run.Medium.Exists(Level.substr(0, Level.rfind('\\')))) << Level;
    },
};

TEST(HostileRun, TwoMegabyteScript)
{
    RunCase(TwoMegabyteScript);
}
TEST(HostileRun, HundredThousandKeysInOneSection)
{
    RunCase(HundredThousandKeys);
}
TEST(HostileRun, SixtyFourKilobyteLines)
{
    RunCase(SixtyFourKilobyteLines);
}
TEST(HostileRun, ControlCharactersAndNulInValues)
{
    RunCase(ControlCharactersAndNul);
}
TEST(HostileRun, Utf16ScriptWithByteOrderMark)
{
    RunCase(Utf16Script);
}
TEST(HostileRun, ReferenceChains)
{
    RunCase(ReferenceChains);
}
TEST(HostileRun, ThirtyTwoThousandCharacterPath)
{
    RunCase(ThirtyTwoThousandCharacterPath);
}

}   // namespace

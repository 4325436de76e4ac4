// Whole runs of /plan: the plan changes nothing, and the run after it does what the plan said,
// in the words of its log; /? shows the switches and does nothing else.
#include <windows.h>

#include "Scenario.h"

namespace {

struct PlanRun : ::testing::Test {
    TScenario Medium;
    TTestKey Key;
    TInstalledInf Inf{"SetupTest.Plan."};
    std::string App = Medium.Path("App");
    std::string Menu = ProgramsFolder() + "\\SetupTest." + Medium.Id;
    std::string PlanFile = Medium.Path("tmp\\plan.txt");

    ~PlanRun() override { RemoveTree(Menu); }

    // Two new files, one older file to replace, a value to refresh and one to create, a link
    // and an INI entry: a run that asks nothing once the folder is confirmed.
    void WriteMedium()
    {
        Medium.WriteText("Source\\a.txt", "new a");
        Medium.WriteText("Source\\b.txt", "new b");
        Medium.WriteText("App\\b.txt", "old b");
        SetLastWriteTime(Medium.Path("App\\b.txt"), June1(2001));
        Key.SetString("", "Same", "kept");
        Medium.WriteText(Inf.Name,
                         Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App,
                                "LnkName=SetupTest." + Medium.Id, "[Files]", "Source\\*.txt=",
                                "[RegWrite]", "Same=HKCU," + Key.SubKey + ",Same,Reg_SZ,kept",
                                "New=HKCU," + Key.SubKey + ",New,Reg_SZ,%MyProgramPath%",
                                "[SetMnuLNK]", "Tool=Tool,%MyProgramPath%\\a.txt", "[IniWrite]",
                                "Ini=Options,Size,large,%MyProgramPath%\\app.ini"}));
    }
    TMachine State() const
    {
        return ReadMachine(
            {{Medium.Dir, Menu, Inf.Installed}, {Medium.TmpDir}, {"HKCU\\" + Key.SubKey}});
    }
};

TEST_F(PlanRun, ThePlanChangesNothingAndTheRunDoesWhatItSaid)
{
    WriteMedium();
    TMachine Before = State();
    // Shown, then quiet: the quiet plan is the one the quiet run below must follow.
    std::string Shown = Medium.Path("tmp\\shown.txt");
    for (const std::string& Switches : {"/plan=" + Shown, "/quiet /plan=" + PlanFile}) {
        TRunResult Planned = Medium.Run(Switches + " " + Inf.Name, {});
        ASSERT_TRUE(RanAsAnswered(Planned)) << Switches;
        EXPECT_TRUE(ChangedExactly(Before, State(), {})) << Switches;
        EXPECT_TRUE(NothingAt(Medium.Path("tmp\\LOGFILKV.LOG")));
    }
    // The shown plan names the questions that the quiet one takes answers to.
    EXPECT_TRUE(FileContains(Shown, "Plan: would ask for the installation folder, proposing " +
                                        App + "; taken\r\n"));
    EXPECT_TRUE(FileContains(Shown, "Plan: installation folder " + App +
                                        ": the script's MyProgramPath\r\n"));
    EXPECT_TRUE(FileContains(Shown, "Plan: IniWrite " + App + "\\app.ini [Options] Size=large"));
    EXPECT_TRUE(
        FileContains(Shown, "Plan: would end with the report \"Installation successfully!\""));

    TRunResult Run = Medium.Run("/quiet " + Inf.Name, {});
    ASSERT_TRUE(RanAsAnswered(Run));
    std::optional<std::string> Plan = Medium.ReadText(PlanFile);
    std::optional<std::string> Log = Medium.ReadText(App + "\\LOGFILKV.LOG");
    ASSERT_TRUE(Plan && Log);
    EXPECT_EQ(ToldLines(*Log), ToldLines(*Plan)) << "log:\n" << *Log << "\nplan:\n" << *Plan;
    EXPECT_EQ("large", ProfileValue(App + "\\app.ini", "Options", "Size"));
}

TEST_F(PlanRun, AKeyThatMayNotBeWrittenFallsBackInThePlanAsInTheRun)
{
    WriteMedium();
    std::string Denied = "Software\\SetupTest\\" + Medium.Id;
    TDeniedKey Key(Denied);
    std::string Script = *Medium.ReadText(Inf.Name);
    Medium.WriteText(
        Inf.Name, Script + Lines({"[RegWriteUninstall]", "ErrSection=Fallback",
                                  "Name=HKLM," + Denied + ",DisplayName,Reg_SZ,Plan", "[Fallback]",
                                  "Gone=%MyProgramPath%\\Uninstall,%MyProgramPath%\\b.txt"}));
    TMachine Before = State();
    ASSERT_TRUE(RanAsAnswered(Medium.Run("/quiet /plan=" + PlanFile + " " + Inf.Name, {})));
    EXPECT_TRUE(ChangedExactly(Before, State(), {}));
    EXPECT_EQ(0u, Key.ValueCount());
    TRunResult Run = Medium.Run("/quiet " + Inf.Name, {});
    ASSERT_TRUE(RanAsAnswered(Run, 1));   // the fallback makes warnings of it
    std::optional<std::string> Plan = Medium.ReadText(PlanFile);
    std::optional<std::string> Log = Medium.ReadText(App + "\\LOGFILKV.LOG");
    ASSERT_TRUE(Plan && Log);
    EXPECT_EQ(ToldLines(*Log), ToldLines(*Plan)) << "log:\n" << *Log << "\nplan:\n" << *Plan;
    EXPECT_TRUE(FileContains(PlanFile, App + "\\Uninstall.LNK\tcreated"));
}

TEST_F(PlanRun, AFileInUseNowIsNamedAndNothingIsScheduled)
{
    WriteMedium();
    Medium.WriteText(Inf.Name,
                     *Medium.ReadText(Inf.Name) + Lines({"[Options]", "FilesInUse=Restart"}));
    HANDLE Holder = CreateFileA(Medium.Path("App\\b.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, Holder);
    TMachine Before = State();
    std::string Json = Medium.Path("tmp\\plan.json");
    TRunResult Planned = Medium.Run("/quiet /plan=" + Json + " " + Inf.Name, {});
    TMachine After = State();
    CloseHandle(Holder);
    ASSERT_TRUE(RanAsAnswered(Planned));
    EXPECT_TRUE(ChangedExactly(Before, After, {}));
    EXPECT_TRUE(FileContains(Json, "\"Plan: in use now: "));
    EXPECT_TRUE(FileContains(Json, "  will replace the file in use at the next restart\""));
    EXPECT_TRUE(FileContains(Json, "\"exitCode\": 3010"));
    EXPECT_TRUE(NothingAt(Medium.Path("App\\~setupkv-b.txt.tmp")));
}

// A file in use fails the copy in the plan as in the run, with the run's own error: a file held
// open without sharing, and a loaded program (a library here), which the system maps.
TEST_F(PlanRun, AFileInUseFailsThePlanWithTheRunsError)
{
    for (bool Loaded : {false, true}) {
        SCOPED_TRACE(Loaded ? "loaded" : "held open");
        WriteMedium();
        std::string Held = App + "\\b.txt";
        if (Loaded) {
            ASSERT_TRUE(
                CopyFileA((FixturesDir() + "\\Version1_2_0_0.dll").c_str(), Held.c_str(), FALSE));
            SetLastWriteTime(Held, June1(2001));
        }
        HMODULE Library = Loaded ? LoadLibraryA(Held.c_str()) : nullptr;
        HANDLE Holder =
            Loaded ? INVALID_HANDLE_VALUE
                   : CreateFileA(Held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(Library || Holder != INVALID_HANDLE_VALUE);
        TRunResult Planned = Medium.Run("/quiet /plan=" + PlanFile + " " + Inf.Name, {});
        TRunResult Run = Medium.Run("/quiet " + Inf.Name, {});
        if (Library)
            FreeLibrary(Library);
        else
            CloseHandle(Holder);
        ASSERT_TRUE(RanAsAnswered(Planned));
        EXPECT_TRUE(RanAsAnswered(Run, 1603));
        std::optional<std::string> Plan = Medium.ReadText(PlanFile);
        std::optional<std::string> Log = Medium.ReadText(App + "\\LOGFILKV.LOG");
        ASSERT_TRUE(Plan && Log);
        EXPECT_EQ(ToldLines(*Log), ToldLines(*Plan)) << "log:\n" << *Log << "\nplan:\n" << *Plan;
        RemoveTree(App);
    }
}

TEST_F(PlanRun, AsJsonWithTheReportAndExitCode)
{
    WriteMedium();
    std::string Json = Medium.Path("tmp\\plan.json");
    ASSERT_TRUE(RanAsAnswered(Medium.Run("/quiet /plan=" + Json + " " + Inf.Name, {})));
    EXPECT_TRUE(FileContains(Json, "\"shown\": false,\r\n  \"lines\": [\r\n"));
    EXPECT_TRUE(FileContains(Json, "\"HKCU\\\\" + Key.SubKey.substr(0, 8)));
    EXPECT_TRUE(FileContains(Json, "\\u0009Same refreshed\""));
    EXPECT_TRUE(FileContains(Json, "\"report\": \"Installation successfully!\",\r\n"
                                   "  \"exitCode\": 0\r\n}\r\n"));
}

TEST_F(PlanRun, AQuestionIsNamedWithTheAnswerTaken)
{
    WriteMedium();
    SetLastWriteTime(Medium.Path("App\\b.txt"), June1(2035));   // newer than the medium's
    std::string Answers = Medium.Path("answers.ini");
    Medium.WriteText(Answers, Lines({"[SetupAnswers]", "Version=1", "Default=overwrite"}));
    const struct {
        std::string Switches, Taken;
    } Cases[] = {
        {"/plan=", "Plan: taking the default: Skip"},
        {"/answers=" + Answers + " /plan=", "Plan: taking the recorded answer: Overwrite"}};
    for (const auto& Case : Cases) {
        TMachine Before = State();
        ASSERT_TRUE(RanAsAnswered(Medium.Run(Case.Switches + PlanFile + " " + Inf.Name, {})));
        EXPECT_TRUE(ChangedExactly(Before, State(), {}));
        EXPECT_TRUE(FileContains(PlanFile, "Plan: would ask \"The file \"" + App + "\\b.txt\""));
        EXPECT_TRUE(FileContains(PlanFile, DateText(2035))) << "the installed file's date";
        EXPECT_TRUE(FileContains(PlanFile, "Skip keeps the installed file, Overwrite replaces it"));
        EXPECT_TRUE(FileContains(PlanFile, Case.Taken + "\r\n"));
    }
}

TEST_F(PlanRun, HelpShowsTheSwitchesAndDoesNothingElse)
{
    WriteMedium();
    TMachine Before = State();
    for (const char* Asked : {"/?", "/HELP", "-?"}) {
        // The text goes to the standard output that the test gives; a box only without one.
        TRunResult Run = Medium.Run(std::string(Asked) + " " + Inf.Name, {});
        ASSERT_TRUE(RanAsAnswered(Run)) << Asked;
        EXPECT_TRUE(NothingAt(Medium.Path("tmp\\LOGFILKV.LOG")));
        EXPECT_TRUE(ChangedExactly(Before, State(), {}));
    }
    TRunResult Refused = Medium.Run("/plan=" + PlanFile + " /record=r.ini /quiet", {});
    EXPECT_EQ(87u, Refused.ExitCode);
    EXPECT_TRUE(FileContains(Medium.Path("tmp\\LOGFILKV.LOG"), "/record can't go with /plan"));
}

}   // namespace

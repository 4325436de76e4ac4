// Whole runs of [IniWrite]: entries written into INI files, lines refused with a message, and a
// file that can't be written, none of which stops the section.
#include <windows.h>

#include "Scenario.h"

namespace {

// The system's text for an error code as the message shows it: no line end or full stop.
std::string SystemText(DWORD Code)
{
    char Text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0,
                   Text, sizeof Text, nullptr);
    std::string Message = Text;
    while (!Message.empty() && (Message.back() == '\r' || Message.back() == '\n' ||
                                Message.back() == ' ' || Message.back() == '.'))
        Message.pop_back();
    return Message;
}

// A medium whose signed INF has no [Files]: no path dialog comes, and the script sets the
// installation directory App (which the log file creates) as the path dialog would.
struct IniWriteRun : ::testing::Test {
    TScenario Medium;
    std::string InfName = "SetupTest." + Medium.Id + ".INF";
    std::string App = Medium.Path("App");

    ~IniWriteRun() override { DeleteFileA((WindowsInfDir() + "\\" + InfName).c_str()); }

    TRunResult RunWith(std::initializer_list<std::string> IniWrite,
                       const std::vector<std::string>& Answers)
    {
        std::string Text = Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                  "MyProgramPath=" + App}) +
                           ProgramPathRegRead(App) + "[IniWrite]\r\n";
        for (const std::string& Line : IniWrite)
            Text += Line + "\r\n";
        Medium.WriteText(InfName, Text);
        return Medium.Run(InfName, Answers);
    }
};

TEST_F(IniWriteRun, ThreeCommasSplitTheLineAndOnlyValueAndPathAreExpanded)
{
    std::string Ini = Medium.Path("out.ini");
    std::string CommaIni = Medium.Path("with,comma.ini");
    TRunResult Run =
        RunWith({"Plain=Options,Size,large," + Ini,
                 "Comma=Options,Where," + Medium.Path("x") + "," + CommaIni,
                 "Empty=Options,Nothing,," + Ini,
                 "Expanded=%MyProgramPath%,%MyProgramPath%,%MyProgramPath%\\data,"
                 "%MyProgramPath%\\app.ini"},
                {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_EQ("large", ProfileValue(Ini, "Options", "Size"));
    EXPECT_EQ(Medium.Path("x"), ProfileValue(CommaIni, "Options", "Where"));
    EXPECT_EQ("", ProfileValue(Ini, "Options", "Nothing"));
    EXPECT_EQ(App + "\\data",
              ProfileValue(App + "\\app.ini", "%MyProgramPath%", "%MyProgramPath%"));
    // A successful [IniWrite] leaves no trace in the log.
    std::string Log = App + "\\LOGFILKV.LOG";
    EXPECT_FALSE(FileContains(Log, "large"));
    EXPECT_FALSE(FileContains(Log, "Options"));
}

TEST_F(IniWriteRun, LinesWithTooFewCommasAreShownAndFailTheRun)
{
    std::string Ini = Medium.Path("out.ini");
    TRunResult Run = RunWith({"None=no comma at all", "One=Section,rest", "Two=Section,Key,rest",
                              "Empty=", "Good=Options,Size,large," + Ini},
                             {"click 1", "click 1", "click 1", "click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Syntax-Error at [IniWrite]no comma at all"));
    EXPECT_TRUE(ShowsMessageBox(Run, 2, "Syntax-Error at [IniWrite]Section"));
    EXPECT_TRUE(ShowsMessageBox(Run, 3, "Syntax-Error at [IniWrite]Section"));
    EXPECT_TRUE(ShowsMessageBox(Run, 4, "Syntax-Error at [IniWrite]"));
    EXPECT_TRUE(ShowsTemplate(Run, 5, "Installation done without success!"));
    EXPECT_EQ("large", ProfileValue(Ini, "Options", "Size"));
}

TEST_F(IniWriteRun, FileInAMissingDirectoryIsShownAndTheNextLineStillWritten)
{
    std::string Ini = Medium.Path("out.ini");
    std::string Missing = Medium.Path("NoSuchDir\\out.ini");
    TRunResult Run = RunWith({"Lost=Lost Section,Key,value," + Missing,
                              "Good=Options,Size,large," + Ini},
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    // No blank before the section name: the program's own wording.
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error 3(" + SystemText(ERROR_PATH_NOT_FOUND) +
                                            ") at IniWriteLost Section"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
    EXPECT_TRUE(NothingAt(Missing));
    EXPECT_EQ("large", ProfileValue(Ini, "Options", "Size"));
}

// Lines are read and expanded whole: a value that takes the line past 260 characters is
// written uncut, and into the file that the line's end names.
TEST_F(IniWriteRun, LongLineIsWrittenUncut)
{
    std::string Ini = Medium.Path("long.ini");
    std::string Value = "%MyProgramPath%" + std::string(400, 'v');
    TRunResult Run = RunWith({"Long=Options,Long," + Value + "," + Ini}, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_EQ(App + std::string(400, 'v'), ProfileValue(Ini, "Options", "Long"));
}

} // namespace

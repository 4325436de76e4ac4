// A whole run of a start-menu link whose path is longer than the program's buffer: its length
// depends on the Programs folder. The other runs of the links are scenarios
// (scenarios/LinksRun.*).
#include <windows.h>

#include "Scenario.h"

namespace {

// A medium with App\tool.exe to link to and a signed INF without [Files] (so no path dialog; the
// script sets App as the path dialog would), whose [Strings] LnkName is a folder of the
// test's own in the Programs menu. That folder and the INF copy go at the end of the test.
struct LinksRun : ::testing::Test {
    TScenario Medium;
    std::string InfName = "SetupTest." + Medium.Id + ".INF";
    std::string Installed = WindowsInfDir() + "\\" + InfName;
    std::string LnkName = "SetupTest." + Medium.Id;
    std::string Menu = ProgramsFolder() + "\\" + LnkName;
    std::string App = Medium.Path("App");
    std::string Tool = App + "\\tool.exe";

    void SetUp() override
    {
        ASSERT_NE("\\" + LnkName, Menu) << "no Programs folder";
        RemoveTree(Menu);
        Medium.WriteText(Tool, "a program");
    }
    ~LinksRun() override
    {
        RemoveTree(Menu);
        DeleteFileA(Installed.c_str());
    }

    TRunResult RunWith(const std::string& Sections, const std::vector<std::string>& Answers)
    {
        // Sections may go on with [Strings], which comes last.
        Medium.WriteText(InfName,
                         Lines({"[Version]", "FormKv=KELVOR"}) + ProgramPathRegRead(App) +
                             Lines({"[Strings]", "MyProgramPath=" + App, "LnkName=" + LnkName}) +
                             Sections);
        return Medium.PlannedRun(InfName, Answers);
    }
};

// A link path that expands to more than 520 characters ends the run as an unhandled failure:
// the message names the size needed, then the report follows.
TEST_F(LinksRun, LinkPathBeyond520CharactersEndsTheRun)
{
    std::string Name(530 - Menu.size(), 'n');
    std::string Path = Menu + "\\" + Name + ".LNK";
    TRunResult Run = RunWith(Lines({"[SetMnuLNK]", "Long=" + Name + ",%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1", "click 1"});
    EXPECT_TRUE(RanAsAnswered(Run, 1));
    EXPECT_TRUE(ShowsMessageBox(Run, 1,
                                "Buffersize = 521 at ExpandEnvPasString " + Path + " too small, " +
                                    std::to_string(Path.size() + 1) + " required"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
}

}   // namespace

// Whole runs of the start-menu links: the folder in the user's Programs menu, each link read back
// through the shell's link object, links replaced by a later run, lines that end the section, and
// the rundll rule.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "Scenario.h"

namespace {

// Sets the file's last write to noon of 1 June 2001 (UTC) and returns that time as the log shows
// a file date: the user's short date, a blank, the user's long time.
std::string SetOldDate(const std::string& Path)
{
    SYSTEMTIME Time = {};
    Time.wYear = 2001;
    Time.wMonth = 6;
    Time.wDay = 1;
    Time.wHour = 12;
    SetLastWriteTime(Path, Time);
    char Date[100] = "", Clock[100] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &Time, nullptr, Date, sizeof Date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &Time, nullptr, Clock, sizeof Clock);
    return std::string(Date) + " " + Clock;
}

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
        Medium.WriteText(InfName, Lines({"[Version]", "FormKv=KELVOR"}) +
                                      ProgramPathRegRead(App) +
                                      Lines({"[Strings]", "MyProgramPath=" + App,
                                             "LnkName=" + LnkName}) +
                                      Sections);
        return Medium.Run(InfName, Answers);
    }
    std::string Log() const { return App + "\\LOGFILKV.LOG"; }
};

TEST_F(LinksRun, LinksGoIntoTheProgramsFolderAndTheNextRunReplacesThem)
{
    std::string Seen = Medium.Path("seen.ini");
    std::string Sections =
        Lines({"[SetMnuLNK]",
               "Tool=Tool,%MyProgramPath%\\tool.exe,/x \"y z\",%MyProgramPath%\\tool.ico,2,"
               "%MyProgramPath%",
               "Quoted=Quoted Name,  \"%MyProgramPath%\\tool.exe\",  \"-a,b\"",
               // The variables as the later sections see them.
               "[IniWrite]", "Menu=Seen,MyStartMenu,%MyStartMenu%," + Seen,
               "Path=Seen,MenuPath,%MenuPath%," + Seen});
    TRunResult Run = RunWith(Sections, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), Menu + "\\Tool.LNK\tcreated\r\n" + Menu +
                                        "\\Quoted Name.LNK\tcreated\r\n"));
    EXPECT_EQ(Menu, ProfileValue(Installed, "Strings", "MyStartMenu"));
    EXPECT_EQ(Menu, ProfileValue(Installed, "Strings", "MenuPath"));
    EXPECT_EQ(Menu, ProfileValue(Seen, "Seen", "MyStartMenu"));
    EXPECT_EQ(Menu, ProfileValue(Seen, "Seen", "MenuPath"));

    TLink Link = ReadLink(Menu + "\\Tool.LNK");
    ASSERT_TRUE(Link.Loaded);
    EXPECT_EQ(Tool, Link.Target);
    EXPECT_EQ("/x \"y z\"", Link.Arguments);
    EXPECT_EQ(App, Link.WorkDir);
    EXPECT_EQ(App + "\\tool.ico", Link.IconFile);
    EXPECT_EQ(2, Link.IconIndex);
    Link = ReadLink(Menu + "\\Quoted Name.LNK");
    ASSERT_TRUE(Link.Loaded);
    EXPECT_EQ(Tool, Link.Target);
    EXPECT_EQ("-a,b", Link.Arguments);
    EXPECT_EQ("", Link.WorkDir);
    EXPECT_EQ("", Link.IconFile);

    std::string ToolDate = SetOldDate(Menu + "\\Tool.LNK");
    std::string QuotedDate = SetOldDate(Menu + "\\Quoted Name.LNK");
    DeleteFileA(Log().c_str());
    Run = RunWith(Sections, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), Menu + "\\Tool.LNK\t" + ToolDate + " replaced\r\n" + Menu +
                                        "\\Quoted Name.LNK\t" + QuotedDate + " replaced\r\n"));
}

TEST_F(LinksRun, LineWithoutTargetEndsTheSectionAndEarlierLinksStay)
{
    TRunResult Run = RunWith(Lines({"[SetMnuLNK]", "First=First,%MyProgramPath%\\tool.exe",
                                    "Twice=Twice.lnk,%MyProgramPath%\\tool.exe", "Lonely=Lonely",
                                    "Never=Never,%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done with warnings!"));
    // LF before CR, as the program writes this line.
    EXPECT_TRUE(FileContains(Log(), Menu + "\\First.LNK\tcreated\r\n" + Menu +
                                        "\\Twice.lnk.LNK\tcreated\r\n"
                                        "\n\rin [SetMnuLNK] cmd not found behind "
                                        "lnk-FileName\r\n"));
    EXPECT_EQ(Tool, ReadLink(Menu + "\\First.LNK").Target);
    EXPECT_EQ(Tool, ReadLink(Menu + "\\Twice.lnk.LNK").Target);
    EXPECT_TRUE(NothingAt(Menu + "\\Never.LNK"));
}

TEST_F(LinksRun, LinkThatCannotBeWrittenEndsTheSection)
{
    TRunResult Run = RunWith(Lines({"[SetMnuLNK]", "Gone=Gone,%MyProgramPath%\\missing.exe",
                                    "Never=Never,%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error: can't create Link " + Menu + "\\Gone.LNK"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
    EXPECT_TRUE(FileContains(Log(), "Error: can't create Link\r\n"));
    EXPECT_TRUE(NothingAt(Menu + "\\Gone.LNK"));
    EXPECT_TRUE(NothingAt(Menu + "\\Never.LNK"));
}

// A link path that expands to more than 520 characters ends the run as an unhandled failure:
// the message names the size needed, then the report follows.
TEST_F(LinksRun, LinkPathBeyond520CharactersEndsTheRun)
{
    std::string Name(530 - Menu.size(), 'n');
    std::string Path = Menu + "\\" + Name + ".LNK";
    TRunResult Run = RunWith(Lines({"[SetMnuLNK]", "Long=" + Name + ",%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1", "click 1"});
    EXPECT_TRUE(Run.Failure.empty() && !Run.TimedOut && Run.AnswersLeft == 0) << DescribeRun(Run);
    EXPECT_EQ(1u, Run.ExitCode);
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Buffersize = 521 at ExpandEnvPasString " + Path +
                                            " too small, " + std::to_string(Path.size() + 1) +
                                            " required"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
}

TEST_F(LinksRun, LinkInADirectoryOfItsOwnStillMakesTheFolder)
{
    std::string Desk = Medium.Path("Desk");
    Medium.MakeDir(Desk);
    TRunResult Run = RunWith(
        Lines({"[SetMnuLNK]", "Own=" + Desk + "\\Own Tool,%MyProgramPath%\\tool.exe"}),
        {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), Desk + "\\Own Tool.LNK\tcreated\r\n"));
    EXPECT_EQ(Tool, ReadLink(Desk + "\\Own Tool.LNK").Target);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY,
              GetFileAttributesA(Menu.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(NothingAt(Menu + "\\Own Tool.LNK"));
}

TEST_F(LinksRun, RundllLinkOfADllPathWithABlank)
{
    std::string Dir = App + "\\Tool Dir";
    Medium.WriteText(Dir + "\\tool.dll", "a library");
    Medium.WriteText(Dir + "\\tool kit.dll", "a library");
    TRunResult Run = RunWith(
        Lines({"[SetMnuLNK]",
               "Remove=Remove,rundll32.exe,\"%MyProgramPath%\\Tool Dir\\tool.dll,Remove\"",
               "Kit=Remove Kit,rundll32.exe,\"%MyProgramPath%\\Tool Dir\\tool kit.dll,Remove\""}),
        {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));

    // The DLL's directory becomes the working directory, so the DLL is named alone.
    TLink Link = ReadLink(Menu + "\\Remove.LNK");
    ASSERT_TRUE(Link.Loaded);
    EXPECT_EQ("tool.dll,Remove", Link.Arguments);
    EXPECT_EQ(Dir + "\\", Link.WorkDir);

    // A blank in the DLL's own name: its short form keeps rundll from splitting it.
    char Short[MAX_PATH] = "";
    ASSERT_NE(0u, GetShortPathNameA((Dir + "\\tool kit.dll").c_str(), Short, sizeof Short));
    ASSERT_EQ(std::string::npos, std::string(Short).find(' ')) << Short;
    Link = ReadLink(Menu + "\\Remove Kit.LNK");
    ASSERT_TRUE(Link.Loaded);
    EXPECT_EQ(std::string(Short) + ",Remove", Link.Arguments);
    EXPECT_EQ("", Link.WorkDir);
}

TEST_F(LinksRun, GivenStartMenuFolderIsMadeAndUsed)
{
    std::string Folder = Medium.Path("Menu\\Sub");
    TRunResult Run = RunWith(Lines({"MyStartMenu=" + Folder, "[SetMnuLNK]",
                                    "Tool=Tool,%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), Medium.Path("Menu") + "\t created\r\n" + Folder +
                                        "\t created\r\n"));
    EXPECT_TRUE(FileContains(Log(), Folder + "\\Tool.LNK\tcreated\r\n"));
    EXPECT_EQ(Tool, ReadLink(Folder + "\\Tool.LNK").Target);
    EXPECT_EQ(Folder, ProfileValue(Installed, "Strings", "MyStartMenu"));
    EXPECT_EQ("<missing>", ProfileValue(Installed, "Strings", "MenuPath"));
    EXPECT_TRUE(NothingAt(Menu));
}

TEST_F(LinksRun, GivenStartMenuFolderThatCannotBeMadeFallsBackAndFailsTheRun)
{
    TRunResult Run = RunWith(Lines({"MyStartMenu=Q:\\Nowhere\\Menu", "[SetMnuLNK]",
                                    "Tool=Tool,%MyProgramPath%\\tool.exe"}),
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error to create the  directory"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
    EXPECT_EQ(Tool, ReadLink(Menu + "\\Tool.LNK").Target);
    EXPECT_EQ(Menu, ProfileValue(Installed, "Strings", "MyStartMenu"));
    EXPECT_EQ(Menu, ProfileValue(Installed, "Strings", "MenuPath"));
}

} // namespace

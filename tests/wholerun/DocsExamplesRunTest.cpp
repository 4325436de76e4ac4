// The author's reference (docs/*.md, and README.md) shows example scripts that are files in
// docs/examples. Each is shown byte for byte as its file, and each is run here with SETUP.EXE,
// checked for the outcome the reference tells. An example is data in the table below; the driver is
// written once.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "Scenario.h"

#include "Rules/InUseText.h"
#include "Rules/SwitchText.h"

namespace {

// The source tree as Wine shows it, where the reference and its examples are.
const std::string SourceDir = "Z:" SETUP_SOURCE_DIR;

// What must hold after a run. Texts may hold the placeholders of Fill.
enum TCheckKind {
    ckDialog,    // A: index of the dialog (from 0), B: its message
    ckControl,   // A: index of the dialog, B: control id, C: the control's text
    ckLog,       // the log file {App}\LOGFILKV.LOG holds A
    ckNoLog,     // ... and does not hold A
    ckFile,      // a file or folder is at A
    ckNoFile,    // nothing is at A
    ckString,    // below the example's own HKCU key: subkey A ("" for the key), value B holds C
    ckNumber,    // the same for a DWORD, C in decimal
    ckNoValue,   // subkey A has no value B
    ckMachine,   // HKLM key A: value B holds C, or the key is missing when B is empty
    ckProfile,   // INI file A, section B, key C holds D ("<missing>" when it is not there)
    ckLinkTo,    // the link file A starts B with the arguments C in the working folder D
    ckNotepad,   // a Notepad of the run showed A
};

struct TCheck {
    TCheckKind Kind;
    std::string A = "", B = "", C = "", D = "";
};

struct TExample {
    std::string Name;   // the script: docs/examples/<Name>, run under that name
    // The medium beside the script: name and content; "fixture:<version>" is a DLL of
    // tests/fixtures with that product version.
    std::vector<std::pair<std::string, std::string>> Medium;
    std::vector<std::pair<std::string, std::string>> Before;   // on the system before the run
    std::vector<std::string> Answers;                          // the dialogs, in order
    std::string Report;
    std::vector<TCheck> After;
    std::string Uninstall = "";   // HKLM key whose UninstallString is then run as the system would
    std::vector<TCheck> AfterUninstall = {};
    std::vector<std::string> Remove = {};   // folders, and HKLM keys ("HKLM\..."), the run leaves
    // A second run of the same medium after the checks (before any uninstallation), as a user
    // installs again: its answers, its report and what must hold after it.
    std::vector<std::string> Again = {};
    std::string AgainReport = "";
    std::vector<TCheck> AfterAgain = {};
};

const std::string Continue = "click 1";
const std::string TypeApp = "type 102 {App}; click 1";   // PATHSEL: the example's own folder
const std::string Close = "click 1";
const std::string Fixture12 = "fixture:1_2_0_0";
const std::string Readme = "Tiny Tool reads the time.\r\n";
const std::string UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                 "TinyToolExample";

// Each example installs below the test's medium and writes below the test's own key; what the
// scripts name themselves (start-menu folders, the uninstall entry, their copies in the Windows INF
// folder) is removed before and after each run, so a failed run leaves nothing for the next.
const std::vector<TExample> Examples = {
    {"ex-first.inf",
     {{"tinytool.exe", Fixture12}, {"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLog, "{App}\\tinytool.exe\t1.02.0000.0000 04E40409 created\r\n"},
      {ckLog, "{App}\\readme.txt\t"},
      {ckFile, "{App}\\readme.txt"},
      {ckProfile, "{Inf}\\ex-first.inf", "Strings", "MyProgramPath", "{App}"}}},

    {"ex-info.inf",
     {{"tinytool.exe", Fixture12},
      {"readme.txt", Readme},
      {"moved.txt", "Tiny Tool moves.\r\n"},
      {"thanks.txt", "Thank you for choosing Tiny Tool.\r\n"}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckDialog, "0", "Tiny Tool - please read the notes first\rContinue Installation?"},
      {ckControl, "0", "107", "https://example.com/tinytool"},
      {ckNotepad, Readme},
      {ckNotepad, "Thank you for choosing Tiny Tool.\r\n"},
      {ckString, "", "Version", "1.02"},
      {ckProfile, "{Inf}\\ex-info.inf", "Strings", "ProjectVersion", "1.02"}},
     "",
     {},
     {},
     // Again, into another folder than the one proposed: the earlier one.
     {Continue, "type 102 {Other}; click 1", Continue, Close},
     "Installation successfully!",
     {{ckControl, "1", "102", "{App}"},
      {ckDialog, "2", "Tiny Tool is installed in another folder already\rContinue Installation?"},
      {ckNotepad, "Tiny Tool moves.\r\n"}}},

    {"ex-strings.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckString, "", "Edition", "Home Edition"},
      {ckString, "", "DataPath", "{App}\\data"},
      {ckString, "", "Desktop", "{Desktop}"},
      {ckString, "", "InfPath", "{Inf}"},
      {ckString, "", "Unknown", "%NoSuchName%"},
      {ckLog, "INF-File-Section Strings expanded/changed to actual Paths: Shellfolder "
              "ProgramFiles, MyProgramPath %ProgramFiles%, Shellfolder Edition, "
              "Shellfolder "
              "Desktop, Shellfolder DataPath\r\n"},
      {ckProfile, "{Inf}\\ex-strings.inf", "Strings", "DataPath", "{App}\\data"}}},

    {"ex-regread.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLog, "Key OldFolder\\{Key}\\Settings does not exist, using default "},
      {ckLog, "Section [RegRead] processed\r\n"},
      {ckString, "Settings", "Folder", "{App}"},
      {ckString, "Settings", "InstalledOn", "Windows {WinVersion}"},
      {ckProfile, "{Inf}\\ex-regread.inf", "Strings", "WinVersion", "{WinVersion}"}}},

    {"ex-files.inf",
     {{"readme.txt", Readme},
      {"bin\\tinytool.dll", Fixture12},
      {"bin\\old\\older.dll", Fixture12},
      {"help\\index.htm", "<p>Help</p>\r\n"},
      {"help\\pictures\\clock.txt", "(a clock)\r\n"},
      {"data\\zones.dat", "UTC\r\n"},
      {"data\\europe\\paris.dat", "CET\r\n"},
      {"data\\europe\\notes.txt", "not a .dat file\r\n"}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckFile, "{App}\\readme.txt"},
      {ckLog, "{App}\\bin\\tinytool.dll\t1.02.0000.0000 04E40409 created\r\n"},
      {ckNoFile, "{App}\\bin\\old"},
      {ckFile, "{App}\\help\\index.htm"},
      {ckFile, "{App}\\help\\pictures\\clock.txt"},
      {ckFile, "{App}\\data\\zones.dat"},
      {ckFile, "{App}\\data\\europe\\paris.dat"},
      {ckNoFile, "{App}\\data\\europe\\notes.txt"}}},

    {"ex-conflict.inf",
     {{"bin\\tinytool.dll", Fixture12},
      {"bin\\clock.dll", "fixture:1_1_0_0"},
      {"readme.txt", "dated:2001:" + Readme}},
     {{"bin\\tinytool.dll", "fixture:1_3_0_0"}, {"readme.txt", "dated:2020:Edited.\r\n"}},
     {Continue, TypeApp, "check 104; click 4", "click 1", Close},
     "Installation successfully!",
     {{ckDialog, "2",
       "The file \"{App}\\bin\\tinytool.dll\" in your system has the version "
       "1.03.0000.0000 and you tried to install version 1.02.0000.0000, you "
       "should skip!"},
      {ckControl, "2", "102", "{App}\\old"},
      {ckLog, "{App}\\bin\\tinytool.dll\t1.02.0000.0000 04E40409 backed up to "
              "{App}\\old\r\n"
              "{App}\\bin\\tinytool.dll\t1.03.0000.0000 04E40409 replaced by "
              "1.02.0000.0000 "
              "04E40409\r\n"},
      {ckLog, "{App}\\bin\\clock.dll\t1.01.0000.0000 04E40409 created\r\n"},
      {ckFile, "{App}\\old\\tinytool.dll"},
      {ckDialog, "3",
       "The file \"{App}\\readme.txt\" in your system has the Date {June2020} and you tried to "
       "install a file dated {June2001}, you should skip!"},
      {ckLog, "{App}\\readme.txt\t{June2020}  not replaced by {June2001} \r\n"}}},

    {"ex-regwrite.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckString, "", "InstallDir", "{App}"},
      {ckNumber, "", "StartCount", "26"},
      {ckString, "Open", "", "\"{App}\\tinytool.exe\" \"%1\""},
      {ckString, "", "Greeting", "Hello, world"},
      {ckLog, "HKCU\\{Key}\tcreated\r\nHKCU\\{Key}\tInstallDir created\r\n"
              "HKCU\\{Key}\tStartCount created\r\nHKCU\\{Key}\\Open\tcreated\r\n"
              "HKCU\\{Key}\\Open\t<default> created\r\nHKCU\\{Key}\tGreeting "
              "created\r\n"}}},

    {"ex-links.inf",
     {{"tinytool.exe", Fixture12}, {"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLinkTo, "{Programs}\\Tiny Tool Example\\Tiny Tool.LNK", "{App}\\tinytool.exe", "/start",
       "{App}"},
      {ckLinkTo, "{Programs}\\Tiny Tool Example\\Read me.LNK", "{App}\\readme.txt"},
      {ckLog, "{Programs}\\Tiny Tool Example\\Tiny Tool.LNK\tcreated\r\n"},
      {ckProfile, "{Inf}\\ex-links.inf", "Strings", "MyStartMenu",
       "{Programs}\\Tiny Tool Example"}},
     "",
     {},
     {"{Programs}\\Tiny Tool Example"}},

    {"ex-menufolder.inf",
     {{"tinytool.exe", Fixture12}, {"tinytool.dll", Fixture12}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLog, "{Programs}\\Example Corp\t created\r\n{Programs}\\Example Corp\\Tiny Tool\t "
              "created\r\n"},
      {ckLinkTo, "{Programs}\\Example Corp\\Tiny Tool\\Tiny Tool.LNK", "{App}\\tinytool.exe"},
      {ckLinkTo, "{Programs}\\Example Corp\\Tiny Tool\\Tiny Tool settings.LNK",
       "{System}\\rundll32.exe", "tinytool.dll,ShowSettings", "{App}\\"},
      {ckProfile, "{App}\\tinytool.ini", "Settings", "MenuFolder",
       "{Programs}\\Example Corp\\Tiny Tool"}},
     "",
     {},
     {"{Programs}\\Example Corp"}},

    // The all-users menu, read from HKLM, as a run as SYSTEM wants it.
    {"ex-allusers.inf",
     {{"tinytool.exe", Fixture12}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLinkTo, "{AllPrograms}\\Tiny Tool All Users Example\\Tiny Tool.LNK",
       "{App}\\tinytool.exe"},
      {ckProfile, "{Inf}\\ex-allusers.inf", "Strings", "MyStartMenu",
       "{AllPrograms}\\Tiny Tool All Users Example"}},
     "",
     {},
     {"{AllPrograms}\\Tiny Tool All Users Example"}},

    {"ex-syntax.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckString, "", "Comment", "a ; b"},
      {ckString, "", "Blanks", "  kept inside"},
      {ckString, "", "Quoted", "the outer quotes go"},
      {ckString, "", "Twice", "first"},
      {ckLog, "HKCU\\{Key}\tTwice created\r\nHKCU\\{Key}\tTwice refreshed\r\n"},
      {ckNoValue, "", "Again"}}},

    {"ex-iniwrite.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckProfile, "{App}\\tinytool.ini", "Settings", "DataFolder", "{App}\\data"},
      {ckProfile, "{App}\\tinytool.ini", "Settings", "Language", "en"}}},

    // With nothing running, an ordinary installation; InUseRunTest holds files in use.
    {"ex-inuse.inf",
     {{"tinytool.exe", Fixture12}, {"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckLog, "{App}\\tinytool.exe\t1.02.0000.0000 04E40409 created\r\n"},
      {ckNoFile, "{App}\\~setupkv-tinytool.exe.tmp"}}},

    {"ex-mistakes.inf",
     {{"readme.txt", Readme}},
     {},
     {Continue, TypeApp, "click 1", Close},
     "Installation done with warnings!",
     {{ckDialog, "2", "Error in the Line \"HKCU\", too less parameters"},
      {ckString, "", "First", "written"},
      {ckNoValue, "", "Later"},
      {ckNoValue, "", "Lost"}}},

    {"ex-uninstall.inf",
     {{"tinytool.exe", Fixture12}, {"readme.txt", Readme}},
     {},
     {Continue, TypeApp, Close},
     "Installation successfully!",
     {{ckMachine, UninstallKey, "DisplayName", "Tiny Tool (example)"},
      {ckMachine, UninstallKey, "UninstallString",
       "rundll32 advpack.dll,LaunchINFSection {Inf}\\ex-uninstall.inf,DefaultUninstall"},
      {ckProfile, "{Inf}\\ex-uninstall.inf", "Strings", "MyProgramPath", "{App}"},
      {ckProfile, "{Inf}\\ex-uninstall.inf", "Strings", "MyStartMenu",
       "{Programs}\\Tiny Tool Uninstall Example"},
      {ckFile, "{App}\\tinytool.ini"}},
     UninstallKey,
     {{ckNoFile, "{App}\\tinytool.exe"},
      {ckNoFile, "{App}\\readme.txt"},
      {ckNoFile, "{App}\\tinytool.ini"},
      {ckNoFile, "{App}\\LOGFILKV.LOG"},
      {ckNoFile, "{Programs}\\Tiny Tool Uninstall Example\\Tiny Tool.LNK"},
      {ckNoFile, "{Inf}\\ex-uninstall.inf"},
      {ckMachine, UninstallKey, ""},
      {ckNoFile, "{App}"},
      {ckNoFile, "{Programs}\\Tiny Tool Uninstall Example"}},
     {"{Programs}\\Tiny Tool Uninstall Example", "HKLM\\" + UninstallKey},
     // Installed again before the uninstallation: the entry leads to the earlier folder.
     {Continue, "click 1", Close},
     "Installation successfully!",
     {{ckControl, "1", "102", "{App}"},
      {ckLog, "In Registry-Uninstall reference to previous INF found: {Inf}\\ex-uninstall.inf\r\n"},
      {ckLog, "{App}\\tinytool.exe\t1.02.0000.0000 04E40409 refreshed\r\n"}}},
};

std::string Fill(std::string Text, const std::map<std::string, std::string>& Values)
{
    for (const auto& Value : Values)
        for (size_t At = Text.find(Value.first); At != std::string::npos;
             At = Text.find(Value.first, At + Value.second.size()))
            Text.replace(At, Value.first.size(), Value.second);
    return Text;
}

std::optional<std::string> ReadFileText(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        return std::nullopt;
    std::ostringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

std::string WithoutIndent(const std::string& Line)
{
    size_t Start = Line.find_first_not_of(' ');
    return Start == std::string::npos ? "" : Line.substr(Start);
}

std::optional<std::string> MachineString(const std::string& SubKey, const std::string& Name)
{
    char Value[4096];
    DWORD Size = sizeof Value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SubKey.c_str(), Name.c_str(), RRF_RT_REG_SZ, nullptr,
                     Value, &Size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(Value);
}

// The all-users Programs menu, where the machine keeps it for every user.
std::string AllUsersPrograms()
{
    return MachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         "Common Programs")
        .value_or("(no Common Programs)");
}

bool MachineKeyExists(const std::string& SubKey)
{
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKey.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(Key);
    return true;
}

std::string UserShellFolder(const char* Name)
{
    char Value[MAX_PATH + 1] = "";
    DWORD Size = sizeof Value;
    RegGetValueA(HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", Name,
                 RRF_RT_REG_SZ, nullptr, Value, &Size);
    return Value;
}

std::string SystemFolder()
{
    char Dir[MAX_PATH + 1] = "";
    UINT Length = GetSystemDirectoryA(Dir, sizeof Dir);
    return Length > 0 && Length < sizeof Dir ? Dir : "";
}

// Content is the file's text, or "fixture:<version>" for a DLL of the fixtures with that product
// version, or "dated:<year>:<text>" for a text last written on 1 June of that year.
void Put(const TScenario& Medium, const std::string& Path, const std::string& Content)
{
    if (Content.rfind("dated:", 0) == 0) {
        Medium.WriteText(Path, Content.substr(11));
        SetLastWriteTime(Path, June1(std::stoi(Content.substr(6, 4))));
        return;
    }
    if (Content.rfind("fixture:", 0) != 0) {
        Medium.WriteText(Path, Content);
        return;
    }
    Medium.MakeDir(Path.substr(0, Path.rfind('\\')));
    std::string Source = FixturesDir() + "\\Version" + Content.substr(8) + ".dll";
    if (!CopyFileA(Source.c_str(), Path.c_str(), FALSE))
        ADD_FAILURE() << "can't copy " << Source << ": error " << GetLastError();
}

void Check(const TCheck& Raw, const TRunResult& Run, const std::string& Log, const TTestKey& Key,
           const std::string& Below, const std::map<std::string, std::string>& Values)
{
    TCheck C = {Raw.Kind, Fill(Raw.A, Values), Fill(Raw.B, Values), Fill(Raw.C, Values),
                Fill(Raw.D, Values)};
    SCOPED_TRACE(C.A + " | " + C.B + " | " + C.C);
    std::string SubKey = C.A.empty() ? Below : Below + "\\" + C.A;
    switch (C.Kind) {
    case ckDialog: {
        size_t Index = std::stoul(C.A);
        ASSERT_LT(Index, Run.Dialogs.size()) << DescribeRun(Run);
        EXPECT_EQ(C.B, Run.Dialogs[Index].Message()) << DescribeRun(Run);
        break;
    }
    case ckControl: {
        size_t Index = std::stoul(C.A);
        ASSERT_LT(Index, Run.Dialogs.size()) << DescribeRun(Run);
        EXPECT_EQ(C.C, Run.Dialogs[Index].TextOf(std::stoi(C.B))) << DescribeRun(Run);
        break;
    }
    case ckLog:
        EXPECT_TRUE(FileContains(Log, C.A));
        break;
    case ckNoLog:
        EXPECT_FALSE(FileContains(Log, C.A));
        break;
    case ckFile:
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(C.A.c_str())) << C.A;
        break;
    case ckNoFile:
        EXPECT_TRUE(NothingAt(C.A));
        break;
    case ckString:
        EXPECT_EQ(std::optional<std::string>(C.C), Key.ReadString(SubKey, C.B));
        break;
    case ckNumber:
        EXPECT_EQ(std::optional<uint32_t>(std::stoul(C.C)), Key.ReadDWord(SubKey, C.B));
        break;
    case ckNoValue:
        EXPECT_EQ(std::nullopt, Key.ReadString(SubKey, C.B));
        break;
    case ckMachine:
        if (C.B.empty())
            EXPECT_FALSE(MachineKeyExists(C.A));
        else
            EXPECT_EQ(std::optional<std::string>(C.C), MachineString(C.A, C.B));
        break;
    case ckProfile:
        EXPECT_EQ(C.D, ProfileValue(C.A, C.B, C.C));
        break;
    case ckLinkTo: {
        TLink Link = ReadLink(C.A);
        EXPECT_TRUE(Link.Loaded);
        EXPECT_EQ(C.B, Link.Target);
        EXPECT_EQ(C.C, Link.Arguments);
        EXPECT_EQ(C.D, Link.WorkDir);
        break;
    }
    case ckNotepad: {
        bool Shown = false;
        for (const TNotepad& Notepad : Run.Notepads)
            Shown = Shown || Notepad.Text == C.A;
        EXPECT_TRUE(Shown) << DescribeRun(Run);
        break;
    }
    }
}

void RemoveLeftovers(const TExample& Example, const std::map<std::string, std::string>& Values)
{
    DeleteFileA((WindowsInfDir() + "\\" + Example.Name).c_str());
    for (const std::string& Raw : Example.Remove) {
        std::string Path = Fill(Raw, Values);
        if (Path.rfind("HKLM\\", 0) == 0)
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, Path.substr(5).c_str());
        else
            RemoveTree(Path);
    }
}

// The ```ini and ```sh blocks of one Markdown page that follow a line naming their example file
// must hold exactly that file's text; on the reference's own pages (Reference*.md) every ```ini
// block must be such an example. Returns the files shown.
std::vector<std::string> CheckShownExamples(const std::string& Page)
{
    bool Strict = Page.rfind("Reference", 0) == 0;
    std::vector<std::string> Shown;
    std::optional<std::string> Text = ReadFileText(SourceDir + "/docs/" + Page);
    if (!Text) {
        ADD_FAILURE() << "can't read docs/" << Page;
        return Shown;
    }
    const std::string Marker = "<!-- example: docs/examples/";
    std::istringstream Lines(*Text);
    std::string Line, Named, Indent;   // a block in a list item is indented like its marker
    int Number = 0;
    while (std::getline(Lines, Line)) {
        ++Number;
        std::string Bare = WithoutIndent(Line);
        if (Bare.rfind(Marker, 0) == 0) {
            size_t End = Bare.find(" -->", Marker.size());
            Named = End == std::string::npos ? "" : Bare.substr(Marker.size(), End - Marker.size());
            Indent = Line.substr(0, Line.size() - Bare.size());
            continue;
        }
        if (Bare != "```ini" && Bare != "```sh") {
            Named.clear();
            continue;
        }
        if (Line != Indent + Bare)
            Named.clear();
        std::string Block;
        int First = Number;
        while (std::getline(Lines, Line) && WithoutIndent(Line) != "```") {
            ++Number;
            Block += (Line.rfind(Indent, 0) == 0 ? Line.substr(Indent.size()) : Line) + "\n";
        }
        ++Number;
        if (Named.empty()) {
            if (Strict && Bare == "```ini")
                ADD_FAILURE() << "docs/" << Page << ":" << First
                              << ": an ini block without its example file line";
            continue;
        }
        std::optional<std::string> File = ReadFileText(SourceDir + "/docs/examples/" + Named);
        EXPECT_EQ(File, std::optional<std::string>(Block))
            << "docs/" << Page << ":" << First << " shows docs/examples/" << Named
            << " otherwise than the file holds";
        Shown.push_back(Named);
        Named.clear();
    }
    return Shown;
}

TEST(DocsExamples, EveryExampleIsShownAsItsFileAndRunsAsTheReferenceSays)
{
    std::vector<std::string> Shown;
    std::vector<std::string> Pages = NamesIn(SourceDir + "\\docs\\*.md");
    Pages.push_back("../README.md");   // its five steps show an example too
    for (const std::string& Page : Pages)
        for (const std::string& Name : CheckShownExamples(Page))
            Shown.push_back(Name);
    // Every example file is in the table, and the reference shows it.
    for (const std::string& File : NamesIn(SourceDir + "\\docs\\examples\\*.inf")) {
        bool Listed = false;
        for (const TExample& Example : Examples)
            Listed = Listed || Example.Name == File;
        EXPECT_TRUE(Listed) << "docs/examples/" << File << " is run by no entry of the table";
        EXPECT_NE(std::find(Shown.begin(), Shown.end(), File), Shown.end())
            << "docs/examples/" << File << " is shown nowhere in docs/";
    }
    // The shell examples are run by ctest tests of their own; shown they must be all the same.
    for (const std::string& File : NamesIn(SourceDir + "\\docs\\examples\\*.sh"))
        EXPECT_NE(std::find(Shown.begin(), Shown.end(), File), Shown.end())
            << "docs/examples/" << File << " is shown nowhere in docs/";

    TScenario Medium;
    TTestKey Key;
    char WinVersion[64] = "";
    DWORD Size = sizeof WinVersion;
    RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                 "CurrentVersion", RRF_RT_REG_SZ, nullptr, WinVersion, &Size);
    for (const TExample& Example : Examples) {
        SCOPED_TRACE(Example.Name);
        std::string Stem = Example.Name.substr(0, Example.Name.find('.'));
        std::string Disk = Medium.Path(Stem + "\\disk");
        std::string Below = Stem;   // the example's own key below the test's
        std::map<std::string, std::string> Values = {{"{App}", Medium.Path(Stem + "\\Tiny Tool")},
                                                     {"{Other}", Medium.Path(Stem + "\\Elsewhere")},
                                                     {"{System}", SystemFolder()},
                                                     {"{June2001}", DateText(2001)},
                                                     {"{June2020}", DateText(2020)},
                                                     {"{Key}", Key.SubKey + "\\" + Below},
                                                     {"{Inf}", WindowsInfDir()},
                                                     {"{Programs}", ProgramsFolder()},
                                                     {"{AllPrograms}", AllUsersPrograms()},
                                                     {"{Desktop}", UserShellFolder("Desktop")},
                                                     {"{WinVersion}", WinVersion}};
        RemoveLeftovers(Example, Values);

        std::optional<std::string> Script =
            ReadFileText(SourceDir + "/docs/examples/" + Example.Name);
        ASSERT_TRUE(Script) << "can't read docs/examples/" << Example.Name;
        Medium.WriteText(Disk + "\\" + Example.Name, *Script);
        for (const auto& File : Example.Medium)
            Put(Medium, Disk + "\\" + File.first, File.second);
        for (const auto& File : Example.Before)
            Put(Medium, Fill("{App}\\" + File.first, Values), File.second);

        std::vector<std::string> Answers;
        for (const std::string& Answer : Example.Answers)
            Answers.push_back(Fill(Answer, Values));
        TRunResult Run = Medium.PlannedRun("\"" + Disk + "\\" + Example.Name + "\"", Answers,
                                           {{"ExampleKey", Values["{Key}"]}});
        EXPECT_TRUE(RanAsAnswered(Run));
        EXPECT_TRUE(
            ShowsTemplate(Run, Run.Dialogs.empty() ? 0 : Run.Dialogs.size() - 1, Example.Report));
        std::string Log = Values["{App}"] + "\\LOGFILKV.LOG";
        for (const TCheck& C : Example.After)
            Check(C, Run, Log, Key, Below, Values);

        if (!Example.Again.empty()) {
            Answers.clear();
            for (const std::string& Answer : Example.Again)
                Answers.push_back(Fill(Answer, Values));
            TRunResult Second = Medium.PlannedRun("\"" + Disk + "\\" + Example.Name + "\"", Answers,
                                                  {{"ExampleKey", Values["{Key}"]}});
            EXPECT_TRUE(RanAsAnswered(Second));
            EXPECT_TRUE(ShowsTemplate(Second,
                                      Second.Dialogs.empty() ? 0 : Second.Dialogs.size() - 1,
                                      Example.AgainReport));
            for (const TCheck& C : Example.AfterAgain)
                Check(C, Second, Log, Key, Below, Values);
        }
        if (!Example.Uninstall.empty()) {
            std::optional<std::string> Command =
                MachineString(Example.Uninstall, "UninstallString");
            EXPECT_TRUE(Command && RunThroughCmd(*Command, false))
                << "the uninstallation did not run";
            for (const TCheck& C : Example.AfterUninstall)
                Check(C, Run, Log, Key, Below, Values);
        }
        RemoveLeftovers(Example, Values);
    }
}

}   // namespace

// The page for administrators lists exactly the exit codes that the program gives, which /?
// names as well (its own unit test).
TEST(DocsExitCodes, ThePageListsEveryCodeOfTheProgram)
{
    std::optional<std::string> Page = ReadFileText(SourceDir + "/docs/Unattended.md");
    ASSERT_TRUE(Page);
    size_t Begin = Page->find("\n## Exit codes\n"), End = Page->find("\n### ", Begin);
    ASSERT_NE(std::string::npos, Begin);
    std::istringstream Table(Page->substr(Begin, End - Begin));
    std::vector<int> Listed;
    for (std::string Line; std::getline(Table, Line);)
        if (Line.size() > 2 && Line[0] == '|' && std::isdigit(uint8_t(Line[2])))
            Listed.push_back(std::atoi(Line.c_str() + 2));
    EXPECT_EQ((std::vector<int>{ecSuccess, ecWarnings, ecScriptNotFound, ecBadCommandLine,
                                ecCancelled, ecFailed, ecRestartNeeded}),
              Listed);
}

#include "Rules/InstallText.h"

#include <gtest/gtest.h>

TEST(UninstallInfPath, TakesTheLastQuotedPartOrTheLastWord)
{
    struct {
        const char* Command;
        const char* Path;
    } Cases[] = {
        {"rundll32 setupapi,InstallHinfSection DefaultUninstall 132 C:\\Windows\\INF\\APP.INF",
         "C:\\Windows\\INF\\APP.INF"},
        {"rundll32 setupapi,InstallHinfSection DefaultUninstall 132 \"C:\\Old App\\APP.INF\"",
         "C:\\Old App\\APP.INF"},
        {"\"C:\\Old App\\APP.INF\"", "C:\\Old App\\APP.INF"},   // quoted, alone
        {"C:\\Windows\\INF\\APP.INF", ""},                      // a lone path is no command
        {"C:\\Old App\\APP.INF", "App\\APP.INF"},               // unquoted blanks cut it
        {"APP.INF\"", ""},                                      // no opening quote: from the start
        {"x \"\"", ""},
        {"\"", ""},
        {"", ""},
        {"run C:\\APP.INF ", ""},                               // a trailing blank ends nothing
        {"run \"a b\" C:\\APP.INF", "C:\\APP.INF"},
        // the advanced INF engine names the INF first, then the section
        {"rundll32 advpack.dll,LaunchINFSection C:\\INF\\APP.INF,DefaultUninstall",
         "C:\\INF\\APP.INF"},
        {"rundll32 advpack,launchinfsectionex \"C:\\Old, App\\APP.INF\",Remove,,4", "C:\\Old, App\\APP.INF"},
        {"rundll32 advpack.dll,LaunchINFSection ", ""},
        {"\"C:\\Win dows\\rundll32.exe\" advpack.dll,LaunchINFSection C:\\A.INF,Remove",
         "C:\\A.INF"},
        // words of the entry point inside a quoted path are the path's
        {"rundll32 setupapi,InstallHinfSection x 132 \"C:\\x,LaunchINFSection y\\A.INF\"",
         "C:\\x,LaunchINFSection y\\A.INF"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Command);
        EXPECT_EQ(Case.Path, UninstallInfPath(Case.Command));
    }
}

TEST(LineSubKey, IsTheTextBetweenTheFirstTwoCommas)
{
    std::string SubKey = "garbage";
    EXPECT_FALSE(LineSubKey("HKLM", SubKey));
    EXPECT_FALSE(LineSubKey("HKLM,Software\\Uninstall\\App", SubKey));
    EXPECT_EQ("garbage", SubKey);
    EXPECT_TRUE(LineSubKey("HKLM,Software\\Uninstall\\App,UninstallString,Reg_SZ,a,b", SubKey));
    EXPECT_EQ("Software\\Uninstall\\App", SubKey);
    EXPECT_TRUE(LineSubKey("hkcu, Key With Blanks ,", SubKey));   // taken as written
    EXPECT_EQ(" Key With Blanks ", SubKey);
    EXPECT_TRUE(LineSubKey(",,", SubKey));
    EXPECT_EQ("", SubKey);
}

TEST(FirstDevicePath, IsTheFirstDirectoryOfTheList)
{
    struct {
        const char* List;
        const char* Dir;
    } Cases[] = {
        {"%SystemRoot%\\inf", "%SystemRoot%\\inf"},
        {"%SystemRoot%\\inf;D:\\Drivers;E:\\", "%SystemRoot%\\inf"},
        {";;D:\\Drivers;", "D:\\Drivers"},
        {";", ""},
        {"", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.List);
        EXPECT_EQ(Case.Dir, FirstDevicePath(Case.List));
    }
}

TEST(HasInfExtension, LooksAtTheFileNameOnly)
{
    struct {
        const char* Path;
        bool Inf;
    } Cases[] = {
        {"C:\\A\\APP.INF", true},   {"C:\\A\\app.inf", true},   {"C:\\A\\App.Inf", true},
        {"APP.INF", true},          {"C:\\A\\APP.EXE", false},  {"C:\\A\\APP.INF.EXE", false},
        {"C:\\A.INF\\APP", false},  {"C:\\A\\APP", false},      {"C:\\A\\APP.INFO", false},
        {"C:\\A\\APP.INF ", false}, {"", false},                {".inf", true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        EXPECT_EQ(Case.Inf, HasInfExtension(Case.Path));
    }
}

TEST(DirectoryPart, KeepsTheTrailingBackslash)
{
    EXPECT_EQ("C:\\windows\\inf\\", DirectoryPart("C:\\windows\\inf\\APP.INF"));
    EXPECT_EQ("C:\\", DirectoryPart("C:\\APP.INF"));
    EXPECT_EQ("", DirectoryPart("APP.INF"));
    EXPECT_EQ("", DirectoryPart(""));
}

TEST(JoinPath, PutsExactlyOneBackslashBetween)
{
    EXPECT_EQ("C:\\windows\\inf\\APP.INF", JoinPath("C:\\windows\\inf", "APP.INF"));
    EXPECT_EQ("C:\\Apps\\APP.INF", JoinPath("C:\\Apps\\", "APP.INF"));
    EXPECT_EQ("D:\\APP.INF", JoinPath("D:\\", "APP.INF"));
    EXPECT_EQ("\\APP.INF", JoinPath("", "APP.INF"));
}

TEST(OneLine, JoinsTheLinesOfASystemMessage)
{
    struct {
        const char* Message;
        const char* Line;
    } Cases[] = {
        {"Access is denied.\r\n", "Access is denied."},
        {"The system cannot find\r\nthe file specified. \r\n",
         "The system cannot find the file specified."},
        {"One\n\nTwo\rThree", "One Two Three"},
        {"\r\n", ""},
        {"", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Message);
        EXPECT_EQ(Case.Line, OneLine(Case.Message));
    }
}

TEST(BrokenLines, NoLineIsWiderThanAsked)
{
    std::string Words = "The process cannot access the file because it is being used by "
                        "another process.\r\n";
    EXPECT_EQ("The process cannot access the file because it is being used by another\r\n"
              "process.",
              BrokenLines(Words, 70));   // the first line is exactly 70 wide
    EXPECT_EQ("The process cannot access the file because it is being used by\r\n"
              "another process.",
              BrokenLines(Words, 69));
    EXPECT_EQ("The process cannot access the file because it is being used by another process.",
              BrokenLines(Words, 200));

    // A line of exactly the width stays whole; one more character breaks it.
    EXPECT_EQ("abc defg", BrokenLines("abc defg", 8));
    EXPECT_EQ("abc\r\ndefg", BrokenLines("abc defg", 7));
    // A word wider than a line is cut, what it leaves starts the next line.
    EXPECT_EQ("ab\r\ncdefgh\r\nijklmn\r\nop q", BrokenLines("ab cdefghijklmnop q", 6));
    EXPECT_EQ("a\r\nb", BrokenLines("ab", 0));
    EXPECT_EQ("a b", BrokenLines("a    b  ", 10));
    EXPECT_EQ("", BrokenLines("\r\n", 70));
}

TEST(UninstallSection, NamesTheSectionEachEngineCarriesOut)
{
    struct {
        const char* Command;
        const char* Section;
    } Cases[] = {
        {"rundll32 setupapi,InstallHinfSection DefaultUninstall 132 C:\\APP.INF", "DefaultUninstall"},
        {"rundll32 setupapi,InstallHinfSection", ""},
        {"rundll32 advpack.dll,LaunchINFSection C:\\APP.INF,Remove ,1", "Remove"},
        {"rundll32 advpack.dll,LaunchINFSection C:\\APP.INF", "DefaultInstall"},
        {"rundll32 advpack.dll,LaunchINFSection C:\\APP.INF,,1", "DefaultInstall"},
        {"notepad.exe C:\\APP.INF", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Command);
        EXPECT_EQ(Case.Section, UninstallSection(Case.Command));
    }
}

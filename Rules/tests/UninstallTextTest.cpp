#include "Rules/UninstallText.h"

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
        {"run C:\\APP.INF ", ""},   // a trailing blank ends nothing
        {"run \"a b\" C:\\APP.INF", "C:\\APP.INF"},
        // the advanced INF engine names the INF first, then the section
        {"rundll32 advpack.dll,LaunchINFSection C:\\INF\\APP.INF,DefaultUninstall",
         "C:\\INF\\APP.INF"},
        {"rundll32 advpack,launchinfsectionex \"C:\\Old, App\\APP.INF\",Remove,,4",
         "C:\\Old, App\\APP.INF"},
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

TEST(UninstallSection, NamesTheSectionEachEngineCarriesOut)
{
    struct {
        const char* Command;
        const char* Section;
    } Cases[] = {
        {"rundll32 setupapi,InstallHinfSection DefaultUninstall 132 C:\\APP.INF",
         "DefaultUninstall"},
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

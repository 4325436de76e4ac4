#include "Rules/PathParts.h"

#include <gtest/gtest.h>

TEST(DirectoryPart, KeepsTheTrailingBackslash)
{
    EXPECT_EQ("C:\\windows\\inf\\", DirectoryPart("C:\\windows\\inf\\APP.INF"));
    EXPECT_EQ("C:\\", DirectoryPart("C:\\APP.INF"));
    EXPECT_EQ("", DirectoryPart("APP.INF"));
    EXPECT_EQ("", DirectoryPart(""));
}

TEST(FileNamePart, TextAfterTheLastBackslash)
{
    EXPECT_EQ("Tool", FileNamePart("C:\\Program Files\\Tool"));
    EXPECT_EQ("", FileNamePart("C:\\Program Files\\"));
    EXPECT_EQ("Tool", FileNamePart("Tool"));
}

TEST(JoinPath, PutsExactlyOneBackslashBetween)
{
    EXPECT_EQ("C:\\windows\\inf\\APP.INF", JoinPath("C:\\windows\\inf", "APP.INF"));
    EXPECT_EQ("C:\\Apps\\APP.INF", JoinPath("C:\\Apps\\", "APP.INF"));
    EXPECT_EQ("D:\\APP.INF", JoinPath("D:\\", "APP.INF"));
    EXPECT_EQ("\\APP.INF", JoinPath("", "APP.INF"));
}

TEST(TrailingBackslash, OneOrAllAreRemovedAndNoneDoubled)
{
    std::string Path = "C:\\Dir\\\\";
    std::string All = Path;
    DropOneTrailingBackslash(Path);
    EXPECT_EQ("C:\\Dir\\", Path);
    DropAllTrailingBackslashes(All);
    EXPECT_EQ("C:\\Dir", All);
    All = "\\\\";
    DropAllTrailingBackslashes(All);   // must stop at the start of the text
    EXPECT_EQ("", All);
    Path.clear();
    DropOneTrailingBackslash(Path);   // must not look before the start of the text
    EXPECT_EQ("", Path);
    Path = "C:\\Dir";
    AddTrailingBackslash(Path);
    AddTrailingBackslash(Path);
    EXPECT_EQ("C:\\Dir\\", Path);
}

TEST(IsFullPath, OnlyDriveRootsAndSharesNameOnePlace)
{
    struct {
        const char* Path;
        bool Full;
    } Cases[] = {
        {"C:\\App", true},
        {"c:/App", true},
        {"C:\\", true},
        {"\\\\server\\share", true},
        {"//server/share", true},
        {"\\\\?\\C:\\x", true},
        {"C:App", false},
        {"C:", false},
        {"\\App", false},
        {"App", false},
        {"..\\App", false},
        {".", false},
        {"", false},
        {"1:\\App", false},
        {"CD:\\App", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        EXPECT_EQ(Case.Full, IsFullPath(Case.Path));
    }
}

TEST(IsAbsoluteFolder, AVariableADriveRootOrAShare)
{
    for (const char* Path : {"%MyProgramPath%\\bin", "C:\\", "d:\\Data", "\\\\server\\share"})
        EXPECT_TRUE(IsAbsoluteFolder(Path)) << Path;
    for (const char* Path : {"", "bin", "C:bin", "\\bin", "C:/bin", "1:\\x"})
        EXPECT_FALSE(IsAbsoluteFolder(Path)) << Path;
}

TEST(HasInfExtension, LooksAtTheFileNameOnly)
{
    struct {
        const char* Path;
        bool Inf;
    } Cases[] = {
        {"C:\\A\\APP.INF", true},
        {"C:\\A\\app.inf", true},
        {"C:\\A\\App.Inf", true},
        {"APP.INF", true},
        {"C:\\A\\APP.EXE", false},
        {"C:\\A\\APP.INF.EXE", false},
        {"C:\\A.INF\\APP", false},
        {"C:\\A\\APP", false},
        {"C:\\A\\APP.INFO", false},
        {"C:\\A\\APP.INF ", false},
        {"", false},
        {".inf", true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        EXPECT_EQ(Case.Inf, HasInfExtension(Case.Path));
    }
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

#include "Rules/DriverText.h"

#include <climits>
#include <gtest/gtest.h>

TEST(SignaturePosition, FindsTheWordInAnyCaseAnywhere)
{
    struct {
        const char* Value;
        int Position;
    } Cases[] = {
        {"KELVOR", 1},          {"kelvor", 1},          {"Setup by KeLvOr", 10},
        {"", 0},                {"KELVO", 0},           {"KELV OR", 0},
        {"x KELVORx", 3},       {"\xe4KELVOR", 2},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        EXPECT_EQ(Case.Position, SignaturePosition(Case.Value));
    }
}

TEST(FirstArgument, SkipsTheProgramAndRemovesQuotes)
{
    struct {
        const char* CommandLine;
        const char* Arg;
    } Cases[] = {
        {"SETUP.EXE", ""},
        {"SETUP.EXE   ", ""},
        {"SETUP.EXE APP.INF", "APP.INF"},
        {"\"C:\\My Setup\\SETUP.EXE\" APP.INF", "APP.INF"},
        {"\"C:\\My Setup\\SETUP.EXE\"APP.INF", "APP.INF"},
        {"SETUP.EXE \"C:\\My Files\\APP.INF\" more", "C:\\My Files\\APP.INF"},
        {"SETUP.EXE\tD:\\A.INF", "D:\\A.INF"},
        {"SETUP.EXE \"unclosed name.inf", "unclosed name.inf"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.CommandLine);
        EXPECT_EQ(Case.Arg, FirstArgument(Case.CommandLine));
    }
}

TEST(SplitInfArgument, CutsAtTheLastBackslashOrColon)
{
    std::string Dir = "unset", Name = "unset";
    EXPECT_FALSE(SplitInfArgument("APP.INF", Dir, Name));
    EXPECT_EQ("unset", Dir);
    EXPECT_TRUE(SplitInfArgument("C:\\Media\\Disk1\\APP.INF", Dir, Name));
    EXPECT_EQ("C:\\Media\\Disk1\\", Dir);
    EXPECT_EQ("APP.INF", Name);
    EXPECT_TRUE(SplitInfArgument("D:APP.INF", Dir, Name));
    EXPECT_EQ("D:", Dir);
    EXPECT_EQ("APP.INF", Name);
}

TEST(TrailingBackslash, OnlyOneIsRemovedAndNoneDoubled)
{
    std::string Path = "C:\\Dir\\\\";
    DropTrailingBackslash(Path);
    EXPECT_EQ("C:\\Dir\\", Path);
    Path.clear();
    DropTrailingBackslash(Path);   // must not look before the start of the text
    EXPECT_EQ("", Path);
    Path = "C:\\Dir";
    AddTrailingBackslash(Path);
    AddTrailingBackslash(Path);
    EXPECT_EQ("C:\\Dir\\", Path);
}

TEST(ReportText, FollowsTheFatalRuleOfTheErrorCount)
{
    EXPECT_EQ(101, FatalErrorCount(0));
    EXPECT_EQ(101, FatalErrorCount(99));
    EXPECT_EQ(101, FatalErrorCount(100));
    EXPECT_EQ(102, FatalErrorCount(101));
    EXPECT_EQ(INT_MAX, FatalErrorCount(INT_MAX));   // no overflow into a negative count
    EXPECT_STREQ("Installation successfully!", ReportText(0));
    EXPECT_STREQ("Installation done with warnings!", ReportText(1));
    EXPECT_STREQ("Installation done with warnings!", ReportText(99));
    EXPECT_STREQ("Installation done without success!", ReportText(100));
    EXPECT_STREQ("Installation done without success!", ReportText(301));
}

TEST(ContinueMessage, HeadlineOnItsOwnLine)
{
    EXPECT_EQ("Continue Installation?", ContinueMessage(""));
    EXPECT_EQ("Tool 2.0\rContinue Installation?", ContinueMessage("Tool 2.0"));
}

TEST(IsFullPath, OnlyDriveRootsAndSharesNameOnePlace)
{
    struct {
        const char* Path;
        bool Full;
    } Cases[] = {
        {"C:\\App", true},        {"c:/App", true},        {"C:\\", true},
        {"\\\\server\\share", true}, {"//server/share", true}, {"\\\\?\\C:\\x", true},
        {"C:App", false},         {"C:", false},           {"\\App", false},
        {"App", false},           {"..\\App", false},      {".", false},
        {"", false},              {"1:\\App", false},      {"CD:\\App", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        EXPECT_EQ(Case.Full, IsFullPath(Case.Path));
    }
}

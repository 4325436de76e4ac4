#include "Rules/CommandLineText.h"

#include <gtest/gtest.h>

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

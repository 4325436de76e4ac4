#include "Rules/ReportText.h"

#include <climits>
#include <gtest/gtest.h>

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

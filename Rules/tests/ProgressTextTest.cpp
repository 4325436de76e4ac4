#include "Rules/ProgressText.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressLookDue, EveryFewFilesOrEveryFewMegabytes)
{
    EXPECT_FALSE(ProgressLookDue(ProgressLookItems - 1, ProgressLookBytes - 1));
    EXPECT_TRUE(ProgressLookDue(ProgressLookItems, 0));
    EXPECT_TRUE(ProgressLookDue(1, ProgressLookBytes));
}

TEST(ProgressDue, ShowsAfterTheDelayThenPaintsAtMostTenTimesASecond)
{
    const uint32_t Wrap = 0xFFFFFF00;   // the tick count wraps in the middle of a step
    const struct {
        bool Shown;
        uint32_t Now, StepStart, LastPaint;
        TProgressDue Due;
    } Cases[] = {
        {false, 1499, 1000, 0, pdNothing},
        {false, 1500, 1000, 0, pdShow},
        {false, Wrap + 0x200, Wrap, 0, pdShow},
        {false, Wrap + 0x100, Wrap, 0, pdNothing},
        {true, 2099, 0, 2000, pdNothing},
        {true, 2100, 0, 2000, pdPaint},
        {true, Wrap + 0x100, 0, Wrap + 0xC0, pdNothing},
        {true, Wrap + 0x100, 0, Wrap + 0x80, pdPaint},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Now);
        EXPECT_EQ(Case.Due, ProgressDue(Case.Shown, Case.Now, Case.StepStart, Case.LastPaint,
                                        ProgressDelayMs));
    }
    EXPECT_EQ(pdShow, ProgressDue(false, 7, 7, 0, 0));   // no delay: the first look shows it
}

TEST(ProgressBarPos, ShareOfTheTotalWithoutOverflow)
{
    const uint64_t Huge = UINT64_MAX - 1;
    const struct {
        uint64_t Done, Total;
        int Pos;
    } Cases[] = {
        {5, 0, 0},    {0, 4, 0},    {1, 4, 250},           {3, 4, 750},
        {4, 4, 1000}, {9, 4, 1000}, {Huge / 2, Huge, 500}, {Huge, Huge, 1000},
        {1, 3, 333},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.Done) + "/" + std::to_string(Case.Total));
        EXPECT_EQ(Case.Pos, ProgressBarPos(Case.Done, Case.Total));
    }
}

}   // namespace

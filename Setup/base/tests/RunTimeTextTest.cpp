#include "Setup/base/RunTimeText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::string Format(const char* Text, ...)
{
    va_list Args;
    va_start(Args, Text);
    std::string Result = FormatRunTimeText(Text, Args);
    va_end(Args);
    return Result;
}

}   // namespace

// Every case takes the same arguments, "name" and 7, as far as its format asks for them.
TEST(FormatRunTimeText, FillsTextsAndSizesKeepsOtherPercentSigns)
{
    const struct {
        const char* Format;
        const char* Text;
    } Cases[] = {
        {"%s: %zu", "name: 7"},
        {"100%% of %s", "100% of name"},
        {"%q and %zd stay", "%q and %zd stay"},
        {"ends in %", "ends in %"},
        {"ends in %z", "ends in %z"},
        {"", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Format);
        EXPECT_EQ(Case.Text, Format(Case.Format, "name", size_t(7)));
    }
}

// The test program has the run-time's own throws: SETUP.EXE must show the text they give.
TEST(FormatRunTimeText, GivesTheRunTimesOwnText)
{
    std::string Own;
    try {
        (void)std::string("abc").substr(5);
    } catch (const std::out_of_range& Failure) {
        Own = Failure.what();
    }
    EXPECT_EQ(Own, Format("%s: __pos (which is %zu) > this->size() (which is %zu)",
                          "basic_string::substr", size_t(5), size_t(3)));
}

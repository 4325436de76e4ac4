#include "Rules/ProfileText.h"

#include <gtest/gtest.h>

TEST(ProfileText, BlanksTrimmedThenMatchingQuotesRemoved)
{
    struct {
        const char* Raw;
        const char* Trimmed;
        const char* Unquoted;
    } Cases[] = {
        {" \tC:\\App \t", "C:\\App", "C:\\App"},
        {"  \"a b\" ", "\"a b\"", "a b"},
        {"'x'", "'x'", "x"},
        {"\"x'", "\"x'", "\"x'"},   // the quotes must be the same
        {"\"", "\"", "\""},         // one quote alone is no pair
        {" \t ", "", ""},
        {"a\r", "a\r", "a\r"},   // only spaces and tabs are blanks
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Raw);
        EXPECT_EQ(Case.Trimmed, TrimmedBlanks(Case.Raw));
        EXPECT_EQ(Case.Unquoted, UnquotedValue(TrimmedBlanks(Case.Raw)));
    }
}

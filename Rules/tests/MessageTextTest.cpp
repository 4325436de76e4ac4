#include "Rules/MessageText.h"

#include <gtest/gtest.h>

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

#include "Rules/CaseText.h"

#include <gtest/gtest.h>

TEST(SameText, OnlyAsciiLettersFold)
{
    struct {
        const char* A;
        const char* B;
        bool Same;
    } Cases[] = {
        {"Strings", "STRINGS", true},
        {"MyProgramPath", "myprogrampath", true},
        {"", "", true},
        {"Files", "File", false},
        {"Files ", "Files", false},
        // Bytes next to the letters are no letters: a fold by bit 0x20 would take them for some.
        {"@[`{", "`{@[", false},
        {"a@", "A`", false},
        // Letters beyond ASCII fold differently in every code page: none fold here.
        {"\xe4", "\xc4", false},
        {"\xe4x", "\xe4X", true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.A) + " ~ " + Case.B);
        EXPECT_EQ(Case.Same, SameText(Case.A, Case.B));
        EXPECT_EQ(Case.Same, SameText(Case.B, Case.A));
    }
}

TEST(FoldedText, UpperCasesAsciiLettersAlone)
{
    EXPECT_EQ("ABCXYZ", FoldedText("abcXYZ"));
    EXPECT_EQ("@[`{09_\\%\xe4\xc4", FoldedText("@[`{09_\\%\xe4\xc4"));
    EXPECT_EQ(std::string("A\0B", 3), FoldedText(std::string("a\0b", 3)));   // NUL is a byte too
}

TEST(StartsWithText, TheHeadInAnyCaseAndNoLonger)
{
    EXPECT_TRUE(StartsWithText("RunDll32 x.dll", "rundll"));
    EXPECT_TRUE(StartsWithText("abc", ""));
    EXPECT_FALSE(StartsWithText("run", "rundll"));   // must not read past the text
    EXPECT_FALSE(StartsWithText("\xe4x", "\xc4"));
}

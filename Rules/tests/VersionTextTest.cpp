#include "Rules/VersionText.h"

#include <gtest/gtest.h>

namespace {

// Parts above 999 spill into the next higher part of the value; a major of 4 already needs more
// than 32 bits.
const struct {
    uint16_t Major, Minor, Release, Build;
    const char* Text;
    int64_t Value;
} VersionCases[] = {
    {1, 2, 0, 15, "1.02.0000.0015", 1002000015},
    {10, 12, 3456, 7, "10.12.3456.0007", 10015456007},
    {0, 0, 0, 0, "0.00.0000.0000", 0},
    {4, 0, 0, 0, "4.00.0000.0000", 4000000000},
    {65535, 65535, 65535, 65535, "65535.65535.65535.65535", 65600600600535},
};

}   // namespace

TEST(FormatVersionText, PadsEachPartToItsWidth)
{
    for (const auto& Case : VersionCases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Text, FormatVersionText(Case.Major, Case.Minor, Case.Release, Case.Build));
    }
}

TEST(VersionValue, CombinesPartsByThousands)
{
    for (const auto& Case : VersionCases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Value, VersionValue(Case.Major, Case.Minor, Case.Release, Case.Build));
    }
}

TEST(TranslationText, GivesEightUpperCaseHexDigits)
{
    EXPECT_EQ("04E40409", TranslationText(0x04E40409));
    EXPECT_EQ("00000000", TranslationText(0));
    EXPECT_EQ("ABCDEF01", TranslationText(0xABCDEF01));
}

TEST(StringTableName, PutsLanguageBeforeCodePage)
{
    const struct {
        const char* Translation;
        const char* Name;
    } Cases[] = {
        {"04E40409", "040904E4"},
        {"", ""},           // no translation read yet
        {"04E4", "04E4"},   // a short text must not be read past its end
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Translation);
        EXPECT_EQ(Case.Name, StringTableName(Case.Translation));
    }
}

TEST(MajorMinorText, CutsBeforeSecondDot)
{
    const struct {
        const char* VersionText;
        const char* Cut;
    } Cases[] = {
        {"2.05.0000.0012", "2.05"},
        {"10.12.3456.0007", "10.12"},
        {"", ""},   // a file without version information
        {"2", ""},
        {"2.05", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.VersionText);
        EXPECT_EQ(Case.Cut, MajorMinorText(Case.VersionText));
    }
}

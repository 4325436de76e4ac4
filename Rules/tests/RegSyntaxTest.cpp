#include "Rules/RegSyntax.h"

#include <gtest/gtest.h>

TEST(ScanRootKey, OnlyTheWholeShortNameInAnyCase)
{
    struct {
        const char* Text;
        TRootKey Root;
    } Cases[] = {
        {"HKLM", rkHKLM}, {"hklm", rkHKLM},       {"HkCu", rkHKCU},  {"HKCR", rkHKCR},
        {"hkcr", rkHKCR}, {" HKLM", rkNone},      {"HKLM ", rkNone}, {"HKLM\t", rkNone},
        {"HKL", rkNone},  {"HKLMX", rkNone},      {"", rkNone},      {"HKEY_LOCAL_MACHINE", rkNone},
        {"HKU", rkNone},  {"HKEY_USERS", rkNone},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Root, ScanRootKey(Case.Text));
    }
}

TEST(RootKeyText, ShortNamesAndQuestionMarksForOthers)
{
    EXPECT_STREQ("HKLM", RootKeyText(rkHKLM));
    EXPECT_STREQ("HKCU", RootKeyText(rkHKCU));
    EXPECT_STREQ("HKCR", RootKeyText(rkHKCR));
    EXPECT_STREQ("????", RootKeyText(rkNone));
}

TEST(ScanDWordText, HexDigitsWithBlanksTrimmed)
{
    struct {
        const char* Text;
        TDWordScan Result;
        uint32_t Value;   // checked for dsOk only
    } Cases[] = {
        {" 1f ", dsOk, 0x1f},
        {"", dsOk, 0},
        {"   ", dsOk, 0},
        {"00000001", dsOk, 1},
        {"a0", dsOk, 0xa0},
        {"10", dsOk, 16},   // always hexadecimal
        {"FFFFFFFF", dsOk, 4294967295u},
        {"  DeadBeef  ", dsOk, 0xdeadbeef},   // eight digits still fit when blanks surround them
        {"123456789", dsTooLong, 0},
        {"  123456789  ", dsTooLong, 0},
        {"000000001", dsTooLong, 0},     // leading zeros count too
        {"12 34 56 78", dsTooLong, 0},   // inner blanks count before the digits are looked at
        {"0x10", dsNotHex, 0},
        {"$10", dsNotHex, 0},
        {"12 34", dsNotHex, 0},
        {"1,5", dsNotHex, 0},
        {"\t1f", dsNotHex, 0},   // only 0x20 is a blank
        {"1f\t", dsNotHex, 0},
        {"-1", dsNotHex, 0},
        {"g", dsNotHex, 0},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        uint32_t Value = 0xA5A5A5A5;
        EXPECT_EQ(Case.Result, ScanDWordText(Case.Text, Value));
        if (Case.Result == dsOk) {
            EXPECT_EQ(Case.Value, Value);
        }
    }
}

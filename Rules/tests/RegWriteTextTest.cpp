#include "Rules/RegWriteText.h"

#include <gtest/gtest.h>

TEST(SplitRegWriteLine, FirstFourFieldsAsWrittenValueToTheEnd)
{
    struct {
        const char* Line;
        const char* Root;
        const char* SubKey;
        const char* ValueName;
        const char* Type;
        const char* Value;
    } Cases[] = {
        {"HKCU,Software\\X,Name,Reg_SZ,Text", "HKCU", "Software\\X", "Name", "Reg_SZ", "Text"},
        {"HKCU,K,N,Reg_SZ,a,b,,c", "HKCU", "K", "N", "Reg_SZ", "a,b,,c"},
        {"HKCU,K,N,Reg_SZ,\"a,b \"\"c\"\" d\" after", "HKCU", "K", "N", "Reg_SZ", "a,b \"c\" d"},
        {"HKCU,K,N,Reg_SZ, \"kept\"", "HKCU", "K", "N", "Reg_SZ", " \"kept\""},
        {"HKCU,K,N,Reg_SZ,\"open", "HKCU", "K", "N", "Reg_SZ", "open"},
        {"HKCU,K,N,Reg_SZ,\"\"", "HKCU", "K", "N", "Reg_SZ", ""},
        {"HKCU,K,N,Reg_SZ,", "HKCU", "K", "N", "Reg_SZ", ""},
        {"HKCU,K,,Reg_SZ,v", "HKCU", "K", "", "Reg_SZ", "v"},
        {"HKCU , K ,N ,Reg_SZ ,v", "HKCU ", " K ", "N ", "Reg_SZ ", "v"},
        {"HKCU,\"Soft,ware\",\"A,B\",Reg_SZ,v", "HKCU", "\"Soft,ware\"", "\"A,B\"", "Reg_SZ", "v"},
        {",,,,", "", "", "", "", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        TRegWriteLine Fields;
        ASSERT_TRUE(SplitRegWriteLine(Case.Line, Fields));
        EXPECT_EQ(Case.Root, Fields.Root);
        EXPECT_EQ(Case.SubKey, Fields.SubKey);
        EXPECT_EQ(Case.ValueName, Fields.ValueName);
        EXPECT_EQ(Case.Type, Fields.Type);
        EXPECT_EQ(Case.Value, Fields.Value);
    }
}

TEST(SplitRegWriteLine, FieldNotEndedByACommaRefusesTheLine)
{
    for (const char* Line : {"", "HKCU", "HKCU,K,N,Reg_SZ", "HKCU,K,N", "HKCU,\"K\"x,N,Reg_SZ,v",
                             "HKCU,\"K,N,Reg_SZ,v", "HKCU,K,\"N,Reg_SZ,v"}) {
        SCOPED_TRACE(Line);
        TRegWriteLine Fields;
        EXPECT_FALSE(SplitRegWriteLine(Line, Fields));
    }
}

TEST(TooFewParametersText, QuotesTheLineUpToItsFirstComma)
{
    EXPECT_EQ("Error in the Line \"HKCU\", too less parameters",
              TooFewParametersText("HKCU,K,N,Reg_SZ"));
    EXPECT_EQ("Error in the Line \"no comma at all\", too less parameters",
              TooFewParametersText("no comma at all"));
    EXPECT_EQ("Error in the Line \"\", too less parameters", TooFewParametersText(",x"));
}

TEST(ScanValueType, ThreeNamesInAnyCase)
{
    struct {
        const char* Type;
        TValueType Result;
    } Cases[] = {
        {"Reg_SZ", vtString},      {"reg_sz", vtString},         {"????", vtString},
        {"Reg_DWORD", vtDWord},    {"reg_dword", vtDWord},       {"REG_DWORD", vtDWord},
        {"Reg_BINARY", vtUnknown}, {"Reg_EXPAND_SZ", vtUnknown}, {"Reg_SZ ", vtUnknown},
        {" Reg_SZ", vtUnknown},    {"???", vtUnknown},           {"", vtUnknown},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Type);
        EXPECT_EQ(Case.Result, ScanValueType(Case.Type));
    }
}

TEST(SameStoredValue, StringsUpToTheirNulNumbersWhole)
{
    std::string Abc("abc", 4);   // with its NUL, as written
    std::string Seven("\x07\0\0\0", 4), Other("\x07\x01\0\0", 4);
    EXPECT_TRUE(SameStoredValue(false, Abc, Abc));
    EXPECT_TRUE(SameStoredValue(false, "abc", Abc));                        // stored without NUL
    EXPECT_TRUE(SameStoredValue(false, std::string("abc\0old", 7), Abc));   // stuff after it
    EXPECT_FALSE(SameStoredValue(false, std::string("Abc", 4), Abc));       // case counts
    EXPECT_FALSE(SameStoredValue(false, std::string("abcd", 5), Abc));
    EXPECT_FALSE(SameStoredValue(false, std::string("ab", 3), Abc));
    EXPECT_TRUE(SameStoredValue(false, "", std::string(1, '\0')));
    EXPECT_TRUE(SameStoredValue(true, Seven, Seven));
    EXPECT_FALSE(SameStoredValue(true, Seven, Other));
    EXPECT_FALSE(SameStoredValue(true, std::string(3, '\0'), std::string(4, '\0')));
}

TEST(FallbackText, OnlyUninstallLinksThatAllStandInSaveTheRun)
{
    struct {
        int Mode, Failures, Result;
        const char* Text;
    } Cases[] = {
        {wmUninstall, 0, 1, "Alternate Uninstall via Link sucessfully set\r\n"},
        {wmUninstall, 1, 101, "Alternate Uninstall via Link also failed\r\n"},
        {wmUninstall, 3, 101, "Alternate Uninstall via Link also failed\r\n"},
        {wmRegistry, 0, 101, "Alternate RegistryWrite also failed\r\n"},
        {wmRegistry, 1, 101, "Alternate RegistryWrite also failed\r\n"},
        {0, 0, 101, "Alternate RegistryWrite also failed\r\n"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.Mode) + " " + std::to_string(Case.Failures));
        std::string Text = "garbage";
        EXPECT_EQ(Case.Result, FallbackEndText(Case.Mode, Case.Failures, Text));
        EXPECT_EQ(Case.Text, Text);
    }
}

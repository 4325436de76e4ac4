#include "Rules/RegReadText.h"

#include <gtest/gtest.h>

TEST(SplitRegReadLine, FieldsAsTheyStandWithTheDefaultTakingTheRest)
{
    struct {
        const char* Line;
        const char* Root;
        const char* SubKey;
        bool HasValueName;
        const char* ValueName;
        bool HasDefault;
        const char* Default;
    } Cases[] = {
        {"HKLM,Software\\App", "HKLM", "Software\\App", false, "", false, ""},
        {"HKLM,", "HKLM", "", false, "", false, ""},
        {",Key", "", "Key", false, "", false, ""},
        {"HKLM,Software\\App,Path", "HKLM", "Software\\App", true, "Path", false, ""},
        {"HKLM,Software\\App,", "HKLM", "Software\\App", true, "", false, ""},
        {"HKCU,Key,Name,C:\\App", "HKCU", "Key", true, "Name", true, "C:\\App"},
        {"HKCU,Key,,C:\\App", "HKCU", "Key", true, "", true, "C:\\App"},
        {"HKCU,Key,Name,", "HKCU", "Key", true, "Name", true, ""},
        {"HKCU,Key,Name,a,b,,c", "HKCU", "Key", true, "Name", true, "a,b,,c"},
        {",,,", "", "", true, "", true, ""},
        {",,,,", "", "", true, "", true, ","},
        {" HKLM , Key , \"Name\" , \"x,y\" ", " HKLM ", " Key ", true, " \"Name\" ", true,
         " \"x,y\" "},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        TRegReadLine Fields = {"garbage", "garbage", "garbage", true, "garbage", true};
        ASSERT_TRUE(SplitRegReadLine(Case.Line, Fields));
        EXPECT_EQ(Case.Root, Fields.Root);
        EXPECT_EQ(Case.SubKey, Fields.SubKey);
        EXPECT_EQ(Case.HasValueName, Fields.HasValueName);
        EXPECT_EQ(Case.ValueName, Fields.ValueName);
        EXPECT_EQ(Case.HasDefault, Fields.HasDefault);
        EXPECT_EQ(Case.Default, Fields.Default);
    }
}

TEST(SplitRegReadLine, NoCommaIsASyntaxError)
{
    for (const char* Line : {"", "HKLM", "HKLM;Software\\App", "HKLM Software"}) {
        SCOPED_TRACE(Line);
        TRegReadLine Fields;
        EXPECT_FALSE(SplitRegReadLine(Line, Fields));
    }
}

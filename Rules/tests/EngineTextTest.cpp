#include "Rules/EngineText.h"

#include <gtest/gtest.h>

namespace {

TEST(DestinationFolder, AFolderTheInfFolderOrANumberOfTheSystem)
{
    // -1 and a folder give the folder as the engine compares it: folded, blanks and comment gone.
    EXPECT_EQ("%MYPROGRAMPATH%\\BIN", DestinationFolder("-1,%MyProgramPath%\\Bin"));
    EXPECT_EQ("C:\\APP", DestinationFolder(" -1 , C:\\App ; the folder"));
    EXPECT_EQ("%INFPATH%", DestinationFolder("17"));
    // Any other number names a folder of the system, and so does -1 without a folder.
    for (const char* Number : {"11", "-1"})
        EXPECT_EQ(std::string("#") + Number, DestinationFolder(Number));
    for (const char* Empty : {"", "; only a comment"})
        EXPECT_EQ("", DestinationFolder(Empty));
}

TEST(SplitDelRegLine, RootSubKeyAndValueNameAtEveryComma)
{
    const struct {
        const char* Line;
        bool Split;
        const char* Root;
        const char* SubKey;
        const char* ValueName;
    } Cases[] = {
        {"HKCU,Software\\App", true, "HKCU", "Software\\App", ""},
        {"HKLM,Software\\App, Colour ,x", true, "HKLM", "Software\\App", "Colour"},
        {"HKCU,\"Soft,ware\"", true, "HKCU", "\"Soft", "ware\""},   // quotes protect nothing
        {"HKCU,Software\\App ; comment, more", true, "HKCU", "Software\\App", ""},
        {"HKCU", false, "", "", ""},
        {"; HKCU,Software", false, "", "", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        TDelRegLine Fields;
        ASSERT_EQ(Case.Split, SplitDelRegLine(Case.Line, Fields));
        if (!Case.Split)
            continue;
        EXPECT_EQ(Case.Root, Fields.Root);
        EXPECT_EQ(Case.SubKey, Fields.SubKey);
        EXPECT_EQ(Case.ValueName, Fields.ValueName);
    }
}

TEST(RegistryItem, SameKeyOrValueWhateverTheSpelling)
{
    EXPECT_EQ("HKLM\\SOFTWARE\\APP", RegistryItem(" hklm ", " Software\\App\\\\ ", ""));
    EXPECT_EQ("HKCU\\SOFTWARE\\APP\\\\COLOUR", RegistryItem("HKCU", "Software\\App", "Colour"));
    EXPECT_EQ("????\\SOFTWARE", RegistryItem("HKEY_USERS", "Software", ""));
}

TEST(EngineTakesSignature, TheThreeSignaturesQuotedOrNot)
{
    for (const char* Value : {"$CHICAGO$", "\"$Windows NT$\"", "$windows 95$ ; old"})
        EXPECT_TRUE(EngineTakesSignature(Value)) << Value;
    for (const char* Value : {"", "\"\"", "$CHICAGO", "\"$CHICAGO$", "KELVOR"})
        EXPECT_FALSE(EngineTakesSignature(Value)) << Value;
}

}   // namespace

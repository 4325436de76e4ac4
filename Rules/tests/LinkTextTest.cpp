#include "Rules/LinkText.h"

#include <gtest/gtest.h>

TEST(SplitLinkLine, FieldsAsFarAsTheyExist)
{
    struct {
        const char* Line;
        TLinkLine Fields;   // Name, RawTarget, RawArguments, Target, Arguments, IconFile,
                            // IconIndex, WorkDir
    } Cases[] = {
        {"Tool,C:\\App\\tool.exe",
         {"Tool", "C:\\App\\tool.exe", "", "C:\\App\\tool.exe", "", "", "", ""}},
        {"Tool,C:\\App\\tool.exe,/x,C:\\App\\tool.ico,2,C:\\Work",
         {"Tool", "C:\\App\\tool.exe", "/x", "C:\\App\\tool.exe", "/x", "C:\\App\\tool.ico", "2",
          "C:\\Work"}},
        // Blanks are skipped before fields 2 to 4 only; the name keeps its own.
        {"Tool ,  a.exe,  b, c, 3, d", {"Tool ", "a.exe", "b", "a.exe", "b", "c", " 3", " d"}},
        // Quoted fields may hold commas and doubled quotes; fields 2, 3, 4 and 6 lose the quotes.
        {"My Tool,\"C:\\Program Files\\A\\a.exe\",\"/x,\"\"y\"\"\",\"i,co\",0,\"C:\\W,1\"",
         {"My Tool", "\"C:\\Program Files\\A\\a.exe\"", "\"/x,\"\"y\"\"\"",
          "C:\\Program Files\\A\\a.exe", "/x,\"y\"", "i,co", "0", "C:\\W,1"}},
        // The name is never dequoted.
        {"\"A,B\",t.exe", {"\"A,B\"", "t.exe", "", "t.exe", "", "", "", ""}},
        // Empty fields, and a seventh field, which nothing reads.
        {"N,,,,,,seven", {"N", "", "", "", "", "", "", ""}},
        {"N,", {"N", "", "", "", "", "", "", ""}},
        // A character after a closing quote ends the field as a comma would; what follows it
        // starts the next field.
        {"N,\"t.exe\"x,args", {"N", "\"t.exe\"", "", "t.exe", "", "args", "", ""}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        TLinkLine Fields;
        Fields.Name = "garbage";
        ASSERT_TRUE(SplitLinkLine(Case.Line, Fields));
        EXPECT_EQ(Case.Fields.Name, Fields.Name);
        EXPECT_EQ(Case.Fields.RawTarget, Fields.RawTarget);
        EXPECT_EQ(Case.Fields.RawArguments, Fields.RawArguments);
        EXPECT_EQ(Case.Fields.Target, Fields.Target);
        EXPECT_EQ(Case.Fields.Arguments, Fields.Arguments);
        EXPECT_EQ(Case.Fields.IconFile, Fields.IconFile);
        EXPECT_EQ(Case.Fields.IconIndex, Fields.IconIndex);
        EXPECT_EQ(Case.Fields.WorkDir, Fields.WorkDir);
    }
}

TEST(SplitLinkLine, NameWithoutACommaAfterItHasNoTarget)
{
    for (const char* Line :
         {"", "Tool", "\"Tool,with comma\"", "\"Tool\"x,t.exe", "\"open,t.exe"}) {
        SCOPED_TRACE(Line);
        TLinkLine Fields;
        EXPECT_FALSE(SplitLinkLine(Line, Fields));
    }
}

TEST(LinkFilePath, InLinkDirOrTheNamesOwnDirectoryAlwaysWithLnk)
{
    struct {
        const char* Name;
        const char* LinkDir;
        const char* Path;
    } Cases[] = {
        {"Tool", "C:\\Menu\\App", "C:\\Menu\\App\\Tool.LNK"},
        {"Tool", "C:\\Menu\\App\\", "C:\\Menu\\App\\Tool.LNK"},
        {"Tool.lnk", "C:\\Menu", "C:\\Menu\\Tool.lnk.LNK"},
        {"Tool ", "C:\\Menu", "C:\\Menu\\Tool .LNK"},
        {"C:\\Desk\\Tool", "C:\\Menu", "C:\\Desk\\Tool.LNK"},
        {"D:Tool", "C:\\Menu", "D:\\Tool.LNK"},
        {"Sub\\Tool", "", "Sub\\Tool.LNK"},
        {"%Desk%\\Tool", "", "%Desk%\\Tool.LNK"},
        {"Tool", "", "\\Tool.LNK"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(Case.Path, LinkFilePath(Case.Name, Case.LinkDir));
    }
}

TEST(IconIndexOf, DecimalIntegersElseZero)
{
    struct {
        const char* Text;
        int32_t Index;
    } Cases[] = {
        {"", 0},
        {"3", 3},
        {" 12 ", 12},
        {"-2", -2},
        {"+4", 4},
        {"x", 0},
        {"3x", 0},
        {"0x10", 0},
        {"-", 0},
        {"1 2", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Index, IconIndexOf(Case.Text));
    }
}

namespace {

TLinkLine Split(const std::string& Line)
{
    TLinkLine Fields;
    EXPECT_TRUE(SplitLinkLine(Line, Fields)) << Line;
    return Fields;
}

}   // namespace

TEST(IsRundllCase, RundllTargetWithAQuotedDllPathHoldingABlank)
{
    struct {
        const char* Line;
        bool Rundll;
    } Cases[] = {
        {"U,rundll32.exe,\"C:\\Program Files\\Tool\\tool.dll,Remove\"", true},
        {"U,RunDLL,\"C:\\Program Files\\Tool\\tool.dll,Remove\"", true},
        {"U,  \"rundll32.exe\",\"C:\\A B\\t.dll,E\"", false},   // quoted target: '"' comes first
        {"U,C:\\Windows\\rundll32.exe,\"C:\\A B\\t.dll,E\"", false},
        {"U,rundll32.exe,C:\\Tool\\tool.dll", false},      // no blank, no comma
        {"U,rundll32.exe,\"C:\\A B\\tool.dll\"", false},   // a blank but no comma
        // A library without blanks, then a comma, then arguments with blanks: the general case.
        {"U,rundll32,\"setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\\W\\x.inf\"", false},
        {"U,rundll", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        EXPECT_EQ(Case.Rundll, IsRundllCase(Split(Case.Line)));
    }
}

TEST(RundllLink, DllDirectoryBecomesTheWorkingDirectory)
{
    TRundllLink Link =
        RundllLink(Split("U,rundll32.exe,\"C:\\Program Files\\Tool\\tool.dll,Remove\""));
    EXPECT_FALSE(Link.ShortDll);
    EXPECT_EQ("C:\\Program Files\\Tool\\", Link.WorkDir);
    EXPECT_EQ("tool.dll,Remove", Link.Arguments);

    // Blanks and control characters around the arguments go.
    Link = RundllLink(Split("U,rundll32.exe,\" \tD:tool.dll,Remove\t \""));
    EXPECT_FALSE(Link.ShortDll);
    EXPECT_EQ("D:", Link.WorkDir);
    EXPECT_EQ("tool.dll,Remove", Link.Arguments);
}

TEST(RundllLink, BlankInTheFileNameOrAWorkingDirectoryAsksForTheShortDll)
{
    TRundllLink Link =
        RundllLink(Split("U,rundll32.exe,\"C:\\Program Files\\Tool\\tool kit.dll,Remove\""));
    EXPECT_TRUE(Link.ShortDll);
    EXPECT_EQ("C:\\Program Files\\Tool\\tool kit.dll", Link.DllPath);
    EXPECT_EQ(",Remove", Link.Arguments);
    EXPECT_EQ("", Link.WorkDir);

    // The file name part runs from the last backslash to the end, arguments included.
    Link = RundllLink(Split("U,rundll32.exe,\"C:\\Program Files\\T\\t.dll,Remove now\""));
    EXPECT_TRUE(Link.ShortDll);
    EXPECT_EQ("C:\\Program Files\\T\\t.dll", Link.DllPath);
    EXPECT_EQ(",Remove now", Link.Arguments);

    Link = RundllLink(Split("U,rundll32.exe,\"C:\\Program Files\\T\\t.dll,Remove\",,,C:\\Work"));
    EXPECT_TRUE(Link.ShortDll);
    EXPECT_EQ("C:\\Program Files\\T\\t.dll", Link.DllPath);
    EXPECT_EQ(",Remove", Link.Arguments);
    EXPECT_EQ("C:\\Work", Link.WorkDir);
}

#include "Rules/InfReader.h"

#include <gtest/gtest.h>

// The file as one line of text: "[Name]@line" for each section, then
// "Key=Value@line" for a key and "Key@line" for a line without '='.
static std::string Dump(const TInfFile& File)
{
    std::string Out;
    for (const TInfSection& Section : File.Sections) {
        Out += "[" + Section.Name + "]@" + std::to_string(Section.Line);
        for (const TInfLine& Line : Section.Lines)
            Out += " " + Line.Key + (Line.HasEquals ? "=" + Line.Value : "") + "@" +
                   std::to_string(Line.Line);
        Out += ";";
    }
    return Out;
}

TEST(ReadInfText, ReadsAsTheProfileFunctions)
{
    struct {
        const char* Text;
        const char* Dump;
    } Cases[] = {
        {"", ""},
        {"Key=before any section\n[A]\nk=v", "[A]@2 k=v@3;"},
        {"[A]\r\n\r\n; comment=no key\r\n  ;also a comment\r\nk=v\r\n", "[A]@1 k=v@5;"},
        {"[ A b ]\n  Key  =  a value  \n", "[A b]@1 Key=a value@2;"},
        {"[A]\nk=\"quoted\"\nq='single'\nm=\"mixed'\nn=\"\nin\"side\"x",
         "[A]@1 k=quoted@2 q=single@3 m=\"mixed'@4 n=\"@5 in\"side\"x@6;"},
        {"[A]\nk=a ; b\nk=second", "[A]@1 k=a ; b@2 k=second@3;"},
        {"[A]\nHKCU,Software\\X,Name\n=no name\nk=a=b",
         "[A]@1 HKCU,Software\\X,Name@2 =no name@3 k=a=b@4;"},
        {"[A]\rk=cr only\r[B\nx=unclosed", "[A]@1 k=cr only@2;[B]@3 x=unclosed@4;"},
        {"\xEF\xBB\xBF[A]\nk=v", "[A]@1 k=v@2;"},
        {"[A]\nk=\t\"\t\"\t", "[A]@1 k=\t@2;"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Dump, Dump(ReadInfText(Case.Text)));
    }
}

TEST(ReadInfText, ConvertsUtf16WithByteOrderMark)
{
    std::string Little("\xFF\xFE", 2), Big("\xFE\xFF", 2);
    for (char C : std::string("[A]\r\nk=v\xE4")) {   // the last one is U+00E4
        Little += C;
        Little += '\0';
        Big += '\0';
        Big += C;
    }
    EXPECT_EQ("[A]@1 k=v\xC3\xA4@2;", Dump(ReadInfText(Little)));
    EXPECT_EQ("[A]@1 k=v\xC3\xA4@2;", Dump(ReadInfText(Big)));
    // An odd last byte and a lone surrogate become U+FFFD.
    EXPECT_EQ(
        "[A]@1 k=v\xEF\xBF\xBD\xEF\xBF\xBD@2;",
        Dump(ReadInfText(Little.substr(0, Little.size() - 2) + std::string("\x00\xD8\x01", 3))));
}

TEST(FindSection, FirstOfTheNameLetterCaseIgnored)
{
    TInfFile File = ReadInfText("[Files]\na=1\n[files]\nb=2\n[Other]\nA=x\na=y\nline");
    ASSERT_NE(nullptr, FindSection(File, "FILES"));
    EXPECT_EQ(1, FindSection(File, "FILES")->Line);
    EXPECT_EQ(nullptr, FindSection(File, "Strings"));
    const TInfSection& Other = *FindSection(File, "other");
    EXPECT_EQ("x", FindKey(Other, "a")->Value);
    EXPECT_EQ(nullptr, FindKey(Other, "line"));   // a line without '=' is no key
}

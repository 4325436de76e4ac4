#include "Rules/InfFields.h"

#include <gtest/gtest.h>
#include <vector>

TEST(FieldEnd, EndsAtCommaOrAfterTheClosingQuote)
{
    struct {
        const char* Text;
        size_t End;   // offset of the returned position
    } Cases[] = {
        {"", 0},
        {",", 0},
        {"abc,def", 3},
        {"abc", 3},
        {" abc ,x", 5},
        {"a\"b,c", 3},      // a quote inside an unquoted field means nothing
        {"\"a,b\",c", 5},   // the comma inside the quotes does not end the field
        {"\"a,b\"", 5},
        {"\"\",x", 2},
        {"\"say \"\"hi\"\"\",x", 12},   // doubled quotes are text; the real closing quote ends it
        {"\"\"\"\",x", 4},              // a field holding one quote
        {"\"ab\"cd,x", 4},              // anything after the closing quote is the caller's
        {"\"never closed, at all", 21},
        {"\"a\"\"", 4},   // a doubled quote right before the end does not close
        {"\"", 1},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Text + Case.End, FieldEnd(Case.Text));
    }
}

TEST(FieldEnd, StopsAtTheNulEvenWhenMoreTextFollowsIt)
{
    const char Text[] = "\"ab\0\"cd\",x";   // the quote after the NUL must stay unseen
    EXPECT_EQ(Text + 3, FieldEnd(Text));
    const char Plain[] = "ab\0,cd";
    EXPECT_EQ(Plain + 2, FieldEnd(Plain));
}

TEST(Dequote, QuotedFieldsLoseTheirQuotesAndPairsBecomeOne)
{
    struct {
        const char* Text;
        char Quote;
        const char* Field;
    } Cases[] = {
        {"", '"', ""},
        {"\"\"", '"', ""},
        {"\"\",rest", '"', ""},
        {"\"abc\"", '"', "abc"},
        {"\"say \"\"hi\"\"\"", '"', "say \"hi\""},
        {"\"\"\"\"", '"', "\""},
        {"\"  2A \"", '"', "  2A "},
        {"\"a,b\",c", '"', "a,b"},
        {"\"abc\"def", '"', "abc"},   // text after the closing quote is dropped
        {"\"unclosed, text", '"', "unclosed, text"},
        {"\"ends in a pair\"\"", '"', "ends in a pair\""},
        {"abc,def,\"g\"", '"', "abc,def,\"g\""},   // unquoted: the whole rest, commas included
        {" \"abc\"", '"', " \"abc\""},             // a blank before the quote makes it unquoted
        {"'it''s'", '\'', "it's"},
        {"'it''s'", '"', "'it''s'"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        std::string Field = "garbage";
        Dequote(Case.Text, Case.Quote, Field);
        EXPECT_EQ(Case.Field, Field);
    }
}

TEST(Dequote, NoPositionGivesAnEmptyField)
{
    std::string Field = "garbage";
    Dequote(nullptr, '"', Field);
    EXPECT_EQ("", Field);
}

TEST(Dequote, TakesTheFieldsOfALineCutWhereFieldEndSays)
{
    // The callers' way: end each field at FieldEnd, skip blanks at its start, then dequote.
    char Line[] = "HKCU, \"Soft,ware\",\"Na\"\"me\",  plain,\"x";
    const std::vector<std::string> Expected = {"HKCU", "Soft,ware", "Na\"me", "plain", "x"};
    std::vector<std::string> Fields;
    for (char* P = Line;;) {
        while (*P == ' ')
            ++P;
        char* End = P + (FieldEnd(P) - P);
        bool Last = *End == '\0';
        *End = '\0';
        Fields.emplace_back();
        Dequote(P, '"', Fields.back());
        if (Last)
            break;
        P = End + 1;
    }
    EXPECT_EQ(Expected, Fields);
}

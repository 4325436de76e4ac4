#include "Rules/DlgText.h"

#include <gtest/gtest.h>

TEST(WithNamePart, AppendsTheProposedNameUnlessContained)
{
    struct {
        const char* Picked;
        const char* NamePart;
        const char* Result;
    } Cases[] = {
        {"D:\\Apps", "Tool", "D:\\Apps\\Tool"},
        {"D:\\Tool", "Tool", "D:\\Tool"},
        {"D:\\Toolbox", "Tool", "D:\\Toolbox"},     // contained anywhere counts
        {"D:\\", "Tool", "D:\\Tool"},
        {"D:\\tool", "Tool", "D:\\tool\\Tool"},     // the search heeds letter case
        {"D:\\Apps", "", "D:\\Apps\\"},             // an empty name is never contained
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Picked);
        EXPECT_EQ(Case.Result, WithNamePart(Case.Picked, Case.NamePart));
    }
}

TEST(LastComponent, TextAfterTheLastBackslash)
{
    EXPECT_EQ("Tool", LastComponent("C:\\Program Files\\Tool"));
    EXPECT_EQ("", LastComponent("C:\\Program Files\\"));
    EXPECT_EQ("Tool", LastComponent("Tool"));
}

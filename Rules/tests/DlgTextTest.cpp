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
        {"D:\\Toolbox", "Tool", "D:\\Toolbox"},   // contained anywhere counts
        {"D:\\", "Tool", "D:\\Tool"},
        {"D:\\tool", "Tool", "D:\\tool\\Tool"},   // the search heeds letter case
        {"D:\\Apps", "", "D:\\Apps\\"},           // an empty name is never contained
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Picked);
        EXPECT_EQ(Case.Result, WithNamePart(Case.Picked, Case.NamePart));
    }
}

TEST(IsWebAddress, OnlyHttpAndHttpsAddressesCount)
{
    struct {
        const char* Text;
        bool Web;
    } Cases[] = {
        {"https://example.com/tool", true},
        {"http://example.com", true},
        {"HTTPS://Example.com", true},   // letter case doesn't matter
        {"hTtP://x", true},
        {"https://", false},   // nothing after the scheme
        {"http:/example.com", false},
        {"C:\\Program Files\\Tool", false},   // a folder typed in the path dialog
        {"\\\\server\\share\\setup.exe", false},
        {"file:///C:/Windows/System32/calc.exe", false},
        {"ftp://example.com", false},
        {" https://example.com", false},   // the script's value comes trimmed
        {"https", false},
        {"", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Web, IsWebAddress(Case.Text));
    }
    EXPECT_FALSE(IsWebAddress(nullptr));
}

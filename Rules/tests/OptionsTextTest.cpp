#include "Rules/OptionsText.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseFilesInUse, KnownValuesInAnyLetterCaseAndNothingElse)
{
    const struct {
        const char* Text;
        bool Known;
        TFilesInUse Value;   // for an unknown text: the value before the call, untouched
    } Cases[] = {
        {"Fail", true, fuFail},       {"ask", true, fuAsk},      {"RESTART", true, fuRestart},
        {"rEsTaRt", true, fuRestart}, {"Retsart", false, fuAsk}, {"Restart ", false, fuAsk},
        {"", false, fuAsk},           {"Ask,", false, fuAsk},    {"Failed", false, fuAsk},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        TFilesInUse Value = fuAsk;
        EXPECT_EQ(Case.Known, ParseFilesInUse(Case.Text, Value));
        EXPECT_EQ(Case.Value, Value);
    }
    // Every value that the list names is one that the parser takes, so the checker never
    // proposes a value that the installer refuses.
    for (const std::string& Known : FilesInUseValues()) {
        TFilesInUse Value;
        EXPECT_TRUE(ParseFilesInUse(Known, Value)) << Known;
    }
}

TEST(ParseRollback, YesOrNoInAnyLetterCaseAndNothingElse)
{
    const struct {
        const char* Text;
        bool Known;
        bool Value;   // for an unknown text: the value before the call, untouched
    } Cases[] = {
        {"Yes", true, true},   {"no", true, false}, {"YES", true, true},   {"nO", true, false},
        {"", false, true},     {"Ys", false, true}, {"Yes ", false, true}, {"1", false, true},
        {"True", false, true}, {"Y", false, true},  {"No,", false, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        bool Value = true;
        EXPECT_EQ(Case.Known, ParseRollback(Case.Text, Value));
        EXPECT_EQ(Case.Value, Value);
    }
}

}   // namespace

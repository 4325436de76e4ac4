#include "Rules/OptionsText.h"

#include <gtest/gtest.h>

namespace {

// One case of a value's parser: the text, whether it is known, and the value after the call
// (for an unknown text: the value before the call, untouched).
template <class TValue> struct TParseCase {
    const char* Text;
    bool Known;
    TValue Value;
};

template <class TValue, size_t N> void ExpectParses(bool (*Parse)(const std::string&, TValue&),
                                                    const TParseCase<TValue> (&Cases)[N],
                                                    TValue Before)
{
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        TValue Value = Before;
        EXPECT_EQ(Case.Known, Parse(Case.Text, Value));
        EXPECT_EQ(Case.Value, Value);
    }
}

TEST(ParseFilesInUse, KnownValuesInAnyLetterCaseAndNothingElse)
{
    const TParseCase<TFilesInUse> Cases[] = {
        {"Fail", true, fuFail},       {"ask", true, fuAsk},      {"RESTART", true, fuRestart},
        {"rEsTaRt", true, fuRestart}, {"Retsart", false, fuAsk}, {"Restart ", false, fuAsk},
        {"", false, fuAsk},           {"Ask,", false, fuAsk},    {"Failed", false, fuAsk},
    };
    ExpectParses(ParseFilesInUse, Cases, fuAsk);
    // Every value that the list names is one that the parser takes, so the checker never
    // proposes a value that the installer refuses.
    for (const std::string& Known : FilesInUseValues()) {
        TFilesInUse Value;
        EXPECT_TRUE(ParseFilesInUse(Known, Value)) << Known;
    }
}

TEST(ParseRollback, YesOrNoInAnyLetterCaseAndNothingElse)
{
    const TParseCase<bool> Cases[] = {
        {"Yes", true, true},   {"no", true, false}, {"YES", true, true},   {"nO", true, false},
        {"", false, true},     {"Ys", false, true}, {"Yes ", false, true}, {"1", false, true},
        {"True", false, true}, {"Y", false, true},  {"No,", false, true},
    };
    ExpectParses(ParseRollback, Cases, true);
}

}   // namespace

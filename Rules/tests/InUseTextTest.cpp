#include "Rules/InUseText.h"

#include <gtest/gtest.h>

#include "Rules/CaseText.h"
#include "Rules/SwitchText.h"

TEST(IsScheduledSource, FindsOnlySourcesOfTheList)
{
    using namespace std::string_literals;
    const std::string List = "\\??\\C:\\App\\~setupkv-a.dll.tmp\0!\\??\\C:\\App\\a.dll\0"
                             "\\??\\C:\\Old\\gone.txt\0\0"
                             "\\??\\C:\\App\\b.tmp\0!\\??\\C:\\App\\b.dll\0\0"s;
    const struct {
        const char* Path;
        bool Scheduled;
    } Cases[] = {
        {"C:\\App\\~setupkv-a.dll.tmp", true},
        {"c:\\app\\~SETUPKV-A.DLL.TMP", true},   // letter case ignored
        {"C:\\App\\b.tmp", true},                // after a deletion, whose target is empty
        {"C:\\App\\a.dll", false},               // a target
        {"!\\??\\C:\\App\\a.dll", false},
        {"C:\\App\\~setupkv-a.dll", false},   // a part of a name
        {"C:\\App", false},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Case.Scheduled, IsScheduledSource(List, Case.Path)) << Case.Path;
    EXPECT_FALSE(IsScheduledSource("", "C:\\a"));
    // A list cut short, without its last NUL, is still read to its end.
    EXPECT_TRUE(IsScheduledSource("\\??\\C:\\x\0!\\??\\C:\\y\0\\??\\C:\\a"s, "C:\\a"));
}

// The list in two bytes a character, from a text of ASCII letters.
std::string Wide(const std::string& Text)
{
    std::string List;
    for (char C : Text)
        List += std::string{C, '\0'};
    return List;
}

// Only the source's pairs go, compared folded; the others stay as they were, targets (empty ones
// too) with them; a list cut short is left alone.
TEST(DropPendingPairs, TakesOutThePairsOfTheSourceOnly)
{
    using namespace std::string_literals;
    const std::string Ours = "\\??\\C:\\~setupkv-a.tmp\0!\\??\\C:\\a\0"s,
                      Other = "\\??\\C:\\x\0\0"s;
    const struct {
        std::string List;
        int Dropped;
        std::string Kept;
    } Cases[] = {
        {Other + Ours + Other + "\0\0"s, 1, Other + Other + "\0"s},
        {Ours + Ours + "\0"s, 2, ""},
        {Other + Ours, 1, Other + "\0"s},   // no empty name at the end
        {Other + "\0"s, 0, Other + "\0"s},
        {Other + "\\??\\C:\\cut"s, -1, ""},
        {Ours.substr(0, Ours.find('!')), -1, ""},   // a source without its target
    };
    for (const auto& Case : Cases) {
        std::string Kept = "garbage", List = Wide(Case.List);
        EXPECT_EQ(Case.Dropped,
                  DropPendingPairs(List, FoldedText(List), Wide("\\??\\C:\\~SETUPKV-A.TMP"), Kept));
        EXPECT_EQ(Wide(Case.Kept), Kept) << Case.List;
    }
}

TEST(RestartExitCode, OnlyASuccessWaitsForTheRestart)
{
    const struct {
        int Code;
        bool Scheduled;
        int Exit;
        bool SaysRestart;
    } Cases[] = {
        {ecSuccess, true, ecRestartNeeded, true}, {ecWarnings, true, ecWarnings, true},
        {ecFailed, true, ecFailed, false},        {ecCancelled, true, ecCancelled, false},
        {ecSuccess, false, ecSuccess, false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Code);
        EXPECT_EQ(Case.Exit, RestartExitCode(Case.Code, Case.Scheduled));
        std::string Report = RestartReport("Installed!", Case.Code, Case.Scheduled);
        EXPECT_EQ(Case.SaysRestart ? "Installed! Restart Windows to finish the installation."
                                   : "Installed!",
                  Report);
    }
}

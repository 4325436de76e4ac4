#include "Rules/InUseText.h"

#include <gtest/gtest.h>

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

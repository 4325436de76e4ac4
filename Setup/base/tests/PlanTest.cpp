#include "Setup/base/Plan.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

namespace {

// The SID that Text spells, as the system reads it; its memory is the system's.
struct TSidText {
    PSID Sid = nullptr;
    explicit TSidText(const char* Text) { ConvertStringSidToSidA(Text, &Sid); }
    ~TSidText() { LocalFree(Sid); }
    TSidText(const TSidText&) = delete;
    TSidText& operator=(const TSidText&) = delete;
};

}   // namespace

// Only the local system account counts: not the two other service accounts, nor the groups an
// elevated installer runs in, nor a SID that merely starts like it. Under Wine no process runs as
// SYSTEM (each has the prefix's one user), so the rule is tried on SIDs, and no whole run shows
// the plan's line about SYSTEM's profile.
TEST(IsLocalSystem, OnlyTheLocalSystemAccount)
{
    const struct {
        const char* Sid;
        bool System;
    } Cases[] = {
        {"S-1-5-18", true},      {"SY", true},          // the account, and its short form
        {"S-1-5-19", false},     {"S-1-5-20", false},   // local and network service
        {"S-1-5-32-544", false},                        // Administrators
        {"S-1-5-180", false},    {"S-1-5-18-1", false}, {"S-1-5-21-1-2-3-500", false},
        {"S-1-1-0", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Sid);
        TSidText Sid(Case.Sid);
        ASSERT_NE(Sid.Sid, nullptr);
        EXPECT_EQ(IsLocalSystem(Sid.Sid), Case.System);
    }
}

#include "Setup/run/InfDiscovery.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string TempFile(const char* Name, const std::string& Content)
{
    char Dir[MAX_PATH];
    GetTempPathA(sizeof Dir, Dir);
    std::string Path = std::string(Dir) + std::to_string(GetCurrentProcessId()) + Name;
    FILE* F = fopen(Path.c_str(), "wb");
    fwrite(Content.data(), 1, Content.size(), F);
    fclose(F);
    return Path;
}

TEST(CheckInfSignature, OnlyTheFirstThirtyCharactersCount)
{
    struct {
        const char* Name;
        const char* Content;
        bool Valid;
    } Cases[] = {
        {"plain.inf", "[Version]\r\nFormKv=KELVOR\r\n", true},
        {"lower.inf", "[version]\r\nformkv=kelvor\r\n", true},
        {"at25.inf", "[Version]\r\nFormKv=123456789012345678901234KELVOR\r\n", true},
        {"at26.inf", "[Version]\r\nFormKv=1234567890123456789012345KELVOR\r\n", false},
        {"empty.inf", "[Version]\r\nFormKv=\r\n", false},
        {"driver.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n", false},
        {"other.inf", "[Strings]\r\nFormKv=KELVOR\r\n", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::string Path = TempFile(Case.Name, Case.Content);
        EXPECT_EQ(Case.Valid, CheckInfSignature(Path) > 0);
        DeleteFileA(Path.c_str());
    }
    EXPECT_EQ(0, CheckInfSignature("C:\\no\\such\\file.inf"));
}

}   // namespace

#include "Rules/BackupText.h"

#include <gtest/gtest.h>

TEST(BackupName, NumberGoesBeforeTheLastExtension)
{
    struct {
        const char* Name;
        int Number;
        const char* Numbered;
    } Cases[] = {
        {"lib.dll", 2, "lib (2).dll"},
        {"a.tar.gz", 3, "a.tar (3).gz"},
        {"README", 2, "README (2)"},
        {".profile", 2, ".profile (2)"},
        {"name.", 2, "name (2)."},
        {"My File.txt", 10, "My File (10).txt"},
        {"", 2, " (2)"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(Case.Numbered, BackupName(Case.Name, Case.Number));
    }
}

TEST(BackupKeptLine, NamesTheFileFirstAsOutcomeLinesDo)
{
    EXPECT_EQ("C:\\App\\a.txt\tkept: its backup failed, and a quiet run "
              "overwrites nothing without it",
              BackupKeptLine("C:\\App\\a.txt"));
}

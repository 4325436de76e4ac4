#include "Rules/PathMatch.h"

#include <gtest/gtest.h>

namespace {

TEST(WildcardMatch, AsADirectorySearchMatches)
{
    const struct {
        const char* Pattern;
        const char* Name;
        bool Match;
    } Cases[] = {
        {"*.*", "README", true},   // "*.*" takes names without a dot too
        {"*.dll", "Core.DLL", true},
        {"*.dll", "core.dll.bak", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*a*b*", "xxaxxbxx", true},
        {"*a*b*", "xxbxxaxx", false},
        {"readme.txt", "README.TXT", true},
        {"", "", true},
        {"*", "", true},
        {"?", "", false},
        {"**********x", "aaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Pattern) + " " + Case.Name);
        EXPECT_EQ(Case.Match, WildcardMatch(Case.Pattern, Case.Name));
    }
}

TEST(PatternCovers, EveryPartBelowTheDestinationMatchesUnlessRecursive)
{
    EXPECT_TRUE(PatternCovers(SplitFilesKey("*.txt"), "a.txt"));
    EXPECT_FALSE(PatternCovers(SplitFilesKey("*.txt"), "sub\\a.txt"));   // "sub" is no *.txt
    EXPECT_TRUE(PatternCovers(SplitFilesKey("*"), "sub\\a.txt"));
    EXPECT_TRUE(PatternCovers(SplitFilesKey("*.txt/s"), "sub\\deeper\\a.exe"));
}

TEST(IsAtOrBelow, TheFolderItselfOrBelowABackslash)
{
    EXPECT_TRUE(IsAtOrBelow("C:\\APP", "C:\\APP"));
    EXPECT_TRUE(IsAtOrBelow("C:\\APP\\BIN", "C:\\APP"));
    EXPECT_FALSE(IsAtOrBelow("C:\\APPS", "C:\\APP"));
    EXPECT_FALSE(IsAtOrBelow("C:\\", "C:\\APP"));
}

}   // namespace

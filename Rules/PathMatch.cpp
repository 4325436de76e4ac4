#include "Rules/PathMatch.h"

#include <algorithm>

#include "Rules/CaseText.h"

bool WildcardMatch(const std::string& Pattern, const std::string& Name)
{
    if (Pattern == "*.*")
        return true;
    // After a mismatch the last * takes one more character: no backtracking beyond it, so a
    // pattern of many stars costs no more than one.
    size_t P = 0, N = 0, Star = std::string::npos, Resume = 0;
    while (N < Name.size()) {
        if (P < Pattern.size() && Pattern[P] == '*') {
            Star = P++;
            Resume = N;
        } else if (P < Pattern.size() &&
                   (Pattern[P] == '?' || SameText(Pattern.substr(P, 1), Name.substr(N, 1)))) {
            ++P;
            ++N;
        } else if (Star != std::string::npos) {
            P = Star + 1;
            N = ++Resume;
        } else {
            return false;
        }
    }
    while (P < Pattern.size() && Pattern[P] == '*')
        ++P;
    return P == Pattern.size();
}

bool PatternCovers(const TFilesKey& Key, const std::string& Below)
{
    if (Key.Recursive)
        return true;
    size_t Begin = 0;
    while (Begin <= Below.size()) {
        size_t End = std::min(Below.find('\\', Begin), Below.size());
        if (!WildcardMatch(Key.Pattern, Below.substr(Begin, End - Begin)))
            return false;
        Begin = End + 1;
    }
    return true;
}

bool IsAtOrBelow(const std::string& Path, const std::string& Dir)
{
    return Path.compare(0, Dir.size(), Dir) == 0 &&
           (Path.size() == Dir.size() || Path[Dir.size()] == '\\');
}

// Names compared as an author mistypes them: the known name that a slip most likely meant, for
// the "did you mean" of a finding.
#pragma once
#include <algorithm>
#include <cstddef>
#include <string>

#include "Rules/CaseText.h"

// Levenshtein distance, letter case ignored, giving up beyond Limit: names are short.
size_t Distance(const std::string& A, const std::string& B, size_t Limit);

// The letters of a name, sorted and upper-cased: [ReadReg] has those of [RegRead].
std::string Letters(const std::string& Name);

inline const char* NameText(const char* Name)
{
    return Name;
}
inline const char* NameText(const std::string& Name)
{
    return Name.c_str();
}

// A known name that Name misses only by a slip: its letters in another order, or a few letters
// wrong (a third of the name, at least 2); null when there is none. Known is a list of names.
template <class TNames> const char* LikelyName(const std::string& Name, const TNames& Known)
{
    for (const auto& Candidate : Known)
        if (Letters(Name) == Letters(Candidate))
            return NameText(Candidate);
    const char* Best = nullptr;
    size_t BestDistance = std::max<size_t>(2, Name.size() / 3) + 1;
    for (const auto& Candidate : Known) {
        size_t D = Distance(Name, Candidate, BestDistance);
        if (D < BestDistance) {
            Best = NameText(Candidate);
            BestDistance = D;
        }
    }
    return Best;
}

// Whether Name is one of Known, letter case ignored.
template <class TNames> bool IsOneOf(const std::string& Name, const TNames& Known)
{
    for (const auto& Candidate : Known)
        if (SameText(Name, Candidate))
            return true;
    return false;
}

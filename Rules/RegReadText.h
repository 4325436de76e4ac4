// The fields of a [RegRead] line: Root,SubKey[,ValueName[,Default]], taken as they stand.
#pragma once
#include <string>

struct TRegReadLine {
    std::string Root;
    std::string SubKey;
    std::string ValueName;   // empty: the key's unnamed value
    bool HasValueName;       // a third field exists (possibly empty)
    std::string Default;     // everything after the third comma, commas included
    bool HasDefault;
};

// Splits an expanded [RegRead] line; false when it has no comma at all.
bool SplitRegReadLine(const std::string& Line, TRegReadLine& Fields);

// A line as long as this, or one that expands to more, is beyond what a [RegRead] line may hold:
// the run ends.
const size_t RegReadLineLimit = 520;

// Whether a line as written (Raw) and expanded fits the line buffer of [RegRead].
inline bool RegReadLineFits(size_t RawSize, size_t ExpandedSize)
{
    return RawSize < RegReadLineLimit && ExpandedSize <= RegReadLineLimit;
}

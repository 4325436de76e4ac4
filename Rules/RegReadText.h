// The fields of a [RegRead] line: Root,SubKey[,ValueName[,Default]], taken as they stand.
#pragma once
#include <string>

#include "Rules/Capacities.h"

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

// The longest [RegRead] line once expanded; as written it must fit LineBufSize, one less. A longer
// line is beyond what [RegRead] may hold: the run ends.
const size_t RegReadLineLimit = PasStringSize - 1;

// Whether a line as written (Raw) and expanded fits the line buffers of [RegRead].
inline bool RegReadLineFits(size_t RawSize, size_t ExpandedSize)
{
    return RawSize < LineBufSize && ExpandedSize <= RegReadLineLimit;
}

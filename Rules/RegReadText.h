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

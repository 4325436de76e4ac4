// A script read as the system's profile functions read it, with the line of
// every section and key kept, so that a checker can point at the line that the
// installer will see.
#pragma once
#include <string>
#include <vector>

struct TInfLine {
    int Line;            // 1-based
    bool HasEquals;      // false: the profile functions never show this line as a key
    std::string Key;     // blanks trimmed; the whole trimmed line when HasEquals is false
    std::string Value;   // blanks trimmed, one pair of surrounding quotes dropped
};

struct TInfSection {
    std::string Name;   // as written between the brackets, blanks trimmed
    int Line;
    std::vector<TInfLine> Lines;   // in file order, comment and empty lines left out
};

struct TInfFile {
    std::vector<TInfSection> Sections;   // every section, repeated ones too, in file order
};

// Reads the bytes of a script: a UTF-16 text with its byte-order mark becomes
// UTF-8, a UTF-8 byte-order mark is dropped; lines end in LF, CR LF or CR.
TInfFile ReadInfText(const std::string& Bytes);

// The first section of that name, letter case ignored (the profile functions
// never see a repeated one); null when there is none.
const TInfSection* FindSection(const TInfFile& File, const std::string& Name);

// The first key of that name in Section, letter case ignored, as the profile
// functions give it for every repetition; null when there is none.
const TInfLine* FindKey(const TInfSection& Section, const std::string& Key);

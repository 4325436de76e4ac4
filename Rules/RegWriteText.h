// Text rules of [RegWrite] and [RegWriteUninstall] lines that need no system call: the fields of
// a line, the value type, the comparison with a stored value and the wording of the fallback.
#pragma once
#include <cstdint>
#include <string>

// The five fields of a registry-write line. The first four are taken exactly as they stand,
// quotes and blanks included; only Value is dequoted, and it runs to the end of the line.
struct TRegWriteLine {
    std::string Root;
    std::string SubKey;
    std::string ValueName;   // empty for the key's default value
    std::string Type;
    std::string Value;
};

// Splits an expanded line at the ends of its first four fields (a field that begins with a
// double quote runs to its closing quote, so it may hold commas). False, Fields undefined, when
// one of the four is not ended by a comma.
bool SplitRegWriteLine(const std::string& Line, TRegWriteLine& Fields);

// The message for a line with fewer than five fields: it quotes the line up to its first comma.
std::string TooFewParametersText(const std::string& Line);

enum TValueType { vtString, vtDWord, vtUnknown };

// "Reg_SZ" and "????" are strings, "Reg_DWORD" a number, letter case ignored; anything else is
// unknown.
TValueType ScanValueType(const std::string& Type);

// The bytes written for a number: 4, least significant first.
std::string DWordData(uint32_t Value);

// Whether Stored, the data a value holds now, already is Data, the data about to be written
// with the same type. A string compares up to the first NUL of each side, letter case counting;
// a number compares all four bytes.
bool SameStoredValue(bool IsDWord, const std::string& Stored, const std::string& Data);

// The sections that write the registry, as a fallback words a key that can't be written: the
// uninstall entry, for which the links of ErrSection may stand in, or plain registry values.
const int wmUninstall = 1;   // [RegWriteUninstall]
const int wmRegistry = 2;    // [RegWrite]

// The lines that open the fallback when a key can be neither opened nor created: a warning when
// an ErrSection will stand in, else an error; the uninstall wording for wmUninstall.
std::string FallbackHeadText(bool HasErrSection, int Mode);

// The line that closes a fallback without ErrSection.
std::string NoErrSectionText(const std::string& Section);

// The line that closes a fallback through the links of ErrSection, which ended with
// LinkFailures, and the result of the section: 1 when the uninstall links all stand in, 101
// otherwise.
int FallbackEndText(int Mode, int LinkFailures, std::string& Text);

// Text rules of [IniWrite] lines that need no system call.
#pragma once
#include <string>

// The fields of Section,Key,Value,File: the first three commas end section, key
// and value; the file path is the rest and may hold commas. Nothing is trimmed
// or dequoted.
struct TIniWriteLine {
    std::string Section;
    std::string Key;
    std::string Value;
    std::string File;
};

// Splits a line; false, Fields undefined, when it has fewer than three commas.
bool SplitIniWriteLine(const std::string& Line, TIniWriteLine& Fields);

// The message for a line with fewer than three commas: the line as far as it
// was split, whole without a comma, else its first field.
std::string IniWriteSyntaxText(const std::string& Line);

// Small text rules that every reader of a script shares: blanks trimmed as the profile functions
// trim them, and a head compared as names compare.
#pragma once
#include <string>

// Text without the blanks (spaces and tabs) at either end.
std::string TrimmedBlanks(const std::string& Text);

// Whether Text begins with Head, ASCII letter case ignored.
bool StartsWithText(const std::string& Text, const std::string& Head);

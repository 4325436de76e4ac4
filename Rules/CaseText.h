// ASCII letter case, as the script's names compare: sections, keys, variables, roots, switches
// and the words of a value. Only A-Z and a-z fold; every other byte stands for itself, so that a
// name never depends on the user's code page.
#pragma once
#include <string>

// C in upper case when it is an ASCII letter; any other byte as it is.
inline char FoldedChar(char C)
{
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

// Text with its ASCII letters in upper case: the form in which names are searched for.
std::string FoldedText(std::string Text);

// Equal when ASCII letter case is ignored, as INF section, key and variable names compare.
bool SameText(const std::string& A, const std::string& B);

// Whether Text begins with Head, ASCII letter case ignored.
bool StartsWithText(const std::string& Text, const std::string& Head);

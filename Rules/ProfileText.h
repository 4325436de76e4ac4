// A key and a value as the profile functions hand them out: blanks (spaces and tabs) trimmed at
// either end, and a value's enclosing quotes removed. The native INF reader, the installer's own
// reads and the checker tidy them alike.
#pragma once
#include <string>

// Whether C is a blank as the profile functions trim them: a space or a tab.
inline bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

// Text without the blanks at either end.
std::string TrimmedBlanks(const std::string& Text);

// The value without the quotes around it: a value that starts with a quote (" or ') and ends with
// the same one loses both; any other value is returned as it is.
std::string UnquotedValue(const std::string& Value);

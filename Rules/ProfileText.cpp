#include "Rules/ProfileText.h"

std::string TrimmedBlanks(const std::string& Text)
{
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return std::string();
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

std::string UnquotedValue(const std::string& Value)
{
    size_t N = Value.size();
    if (N >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value[N - 1] == Value[0])
        return Value.substr(1, N - 2);
    return Value;
}

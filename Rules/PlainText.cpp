#include "Rules/PlainText.h"

#include "Rules/CaseText.h"

std::string TrimmedBlanks(const std::string& Text)
{
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return std::string();
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

bool StartsWithText(const std::string& Text, const std::string& Head)
{
    return Text.size() >= Head.size() && SameText(Text.substr(0, Head.size()), Head);
}

#include "Rules/CaseText.h"

std::string FoldedText(std::string Text)
{
    for (char& C : Text)
        C = FoldedChar(C);
    return Text;
}

bool SameText(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (FoldedChar(A[I]) != FoldedChar(B[I]))
            return false;
    return true;
}

bool StartsWithText(const std::string& Text, const std::string& Head)
{
    return Text.size() >= Head.size() && SameText(Text.substr(0, Head.size()), Head);
}

#include "Tools/infcheck/LikelyName.h"

#include <vector>

#include "Rules/CaseText.h"

size_t Distance(const std::string& A, const std::string& B, size_t Limit)
{
    if ((A.size() > B.size() ? A.size() - B.size() : B.size() - A.size()) > Limit)
        return Limit + 1;
    std::string FA = FoldedText(A), FB = FoldedText(B);
    std::vector<size_t> Row(FB.size() + 1);
    for (size_t J = 0; J <= FB.size(); ++J)
        Row[J] = J;
    for (size_t I = 1; I <= FA.size(); ++I) {
        size_t Diagonal = Row[0];
        Row[0] = I;
        for (size_t J = 1; J <= FB.size(); ++J) {
            size_t Above = Row[J];
            Row[J] = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (FA[I - 1] != FB[J - 1])});
            Diagonal = Above;
        }
    }
    return Row[FB.size()];
}

std::string Letters(const std::string& Name)
{
    std::string Sorted = FoldedText(Name);
    std::sort(Sorted.begin(), Sorted.end());
    return Sorted;
}

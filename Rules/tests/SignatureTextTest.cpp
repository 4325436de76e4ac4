#include "Rules/SignatureText.h"

#include <gtest/gtest.h>

TEST(SignaturePosition, FindsTheWordInAnyCaseAnywhere)
{
    struct {
        const char* Value;
        int Position;
    } Cases[] = {
        {"KELVOR", 1}, {"kelvor", 1},  {"Setup by KeLvOr", 10}, {"", 0},
        {"KELVO", 0},  {"KELV OR", 0}, {"x KELVORx", 3},        {"\xe4KELVOR", 2},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        EXPECT_EQ(Case.Position, SignaturePosition(Case.Value));
    }
}

#include "Rules/ProductText.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseProductVersion, OneToFourNumbersOfSixteenBits)
{
    const struct {
        const char* Text;
        bool Valid;
        uint16_t Parts[4];
    } Cases[] = {
        {"1", true, {1, 0, 0, 0}},
        {"1.0", true, {1, 0, 0, 0}},
        {"2.5.0.12", true, {2, 5, 0, 12}},
        {"65535.65535.65535.65535", true, {65535, 65535, 65535, 65535}},
        {"65536", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1..2", false, {}},
        {"1.", false, {}},
        {".1", false, {}},
        {"", false, {}},
        {"1.0 beta", false, {}},
        {"v1", false, {}},
        {"000001", false, {}},   // six digits: no part of a version resource is written so
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        uint16_t Parts[4] = {9, 9, 9, 9};
        EXPECT_EQ(Case.Valid, ParseProductVersion(Case.Text, Parts));
        for (int I = 0; Case.Valid && I < 4; ++I)
            EXPECT_EQ(Case.Parts[I], Parts[I]);
    }
}

TEST(ProductValueFault, NamesTheKeyThatTheResourceCannotTake)
{
    std::string Longest(ProductTextSize - 1, 'x'), Longer(ProductTextSize, 'x');
    EXPECT_EQ("", ProductValueFault(ProductKey, Longest));
    EXPECT_EQ("", ProductValueFault(PublisherKey, ""));
    EXPECT_EQ("", ProductValueFault(ProductVersionKey, "1.0"));
    EXPECT_EQ("", ProductValueFault(ProductVersionKey, ""));
    EXPECT_EQ("Product is longer than 40 characters", ProductValueFault(ProductKey, Longer));
    EXPECT_EQ("Publisher is longer than 40 characters", ProductValueFault(PublisherKey, Longer));
    EXPECT_EQ(0u, ProductValueFault(ProductVersionKey, "1,0").find("ProductVersion '1,0' is no"));
}

}   // namespace

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

// The resource laid out as the system's readers walk it: each block's length covers its
// children, which begin on 4 bytes; a text's value length counts its characters with the NUL.
TEST(ProductVersionResource, BlocksAsTheSystemReadsThem)
{
    std::string Resource = ProductVersionResource(std::string("P\0N\0", 4), "1.2", "");
    auto Word = [&](size_t At) { return uint8_t(Resource[At]) | uint8_t(Resource[At + 1]) << 8; };
    EXPECT_EQ(Resource.size(), size_t(Word(0)));
    EXPECT_EQ(52, Word(2));        // the fixed part
    EXPECT_EQ(0x04BD, Word(40));   // its signature, after the key and its padding
    EXPECT_EQ(0x0002, Word(48));   // FileVersionMS: 1.2
    EXPECT_EQ(0x0001, Word(50));
    std::string Product = std::string("P\0N\0\0\0", 6);
    size_t At = Resource.find(std::string("P\0r\0o\0d\0u\0c\0t\0N\0", 16));
    ASSERT_NE(std::string::npos, At);
    EXPECT_EQ(0u, (At - 6) % 4);
    EXPECT_EQ(3, Word(At - 4));                        // "PN" and the NUL
    EXPECT_EQ(Product, Resource.substr(At + 26, 6));   // after the key and its padding
    EXPECT_EQ(std::string::npos, Resource.find(std::string("C\0o\0m\0p\0a\0n\0y\0", 14)));
}

TEST(FindVersionResource, RefusesWhatIsNoImage)
{
    TResourceSpot Spot;
    std::string Head = "MZ" + std::string(200, '\0');
    EXPECT_FALSE(FindVersionResource(Head.data(), Head.size(), Spot));
    EXPECT_FALSE(FindVersionResource("not a program", 13, Spot));
}

}   // namespace

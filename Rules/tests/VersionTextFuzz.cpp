// Fuzz target: the text forms of a version resource: version texts and translation texts read
// back into their numbers, the version value orders versions whose parts stay below 1000, the
// string-table name swaps back, and the major-minor text is a prefix.
#include "Rules/VersionText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzInput.h"

static const size_t MinDigits[4] = {1, 2, 4, 4};

static void CheckVersion(const uint16_t (&Parts)[4])
{
    std::string Text = FormatVersionText(Parts[0], Parts[1], Parts[2], Parts[3]);
    Check(Text.size() <= 23, "fits the version text buffer");
    size_t Start = 0;
    for (int I = 0; I < 4; ++I) {
        size_t Dot = I < 3 ? Text.find('.', Start) : Text.size();
        Check(Dot != std::string::npos, "four parts");
        std::string Digits = Text.substr(Start, Dot - Start);
        Check(Digits.size() >= MinDigits[I] &&
                  Digits.find_first_not_of("0123456789") == std::string::npos,
              "each part decimal and wide enough");
        Check(std::strtoul(Digits.c_str(), nullptr, 10) == Parts[I], "each part reads back");
        Start = Dot + 1;
    }
    std::string MajorMinor = MajorMinorText(Text);
    Check(MajorMinor == Text.substr(0, Text.find('.', Text.find('.') + 1)), "up to the second dot");
}

// Versions whose lower parts stay below 1000 order by their value as by their parts.
static void CheckValue(const uint16_t (&A)[4], const uint16_t (&B)[4])
{
    uint16_t Low[2][4];
    for (int I = 0; I < 4; ++I) {
        Low[0][I] = I == 0 ? A[I] : uint16_t(A[I] % 1000);
        Low[1][I] = I == 0 ? B[I] : uint16_t(B[I] % 1000);
    }
    int64_t ValueA = VersionValue(Low[0][0], Low[0][1], Low[0][2], Low[0][3]);
    int64_t ValueB = VersionValue(Low[1][0], Low[1][1], Low[1][2], Low[1][3]);
    Check(ValueA >= 0, "never negative");
    int Order = 0;
    for (int I = 0; I < 4 && Order == 0; ++I)
        Order = Low[0][I] < Low[1][I] ? -1 : Low[0][I] > Low[1][I] ? 1 : 0;
    Check(Order == (ValueA < ValueB ? -1 : ValueA > ValueB ? 1 : 0), "the value orders versions");
}

static void CheckTranslation(uint32_t Translation, const std::string& Text)
{
    std::string Hex = TranslationText(Translation);
    Check(Hex.size() == 8 && Hex.find_first_not_of("0123456789ABCDEF") == std::string::npos,
          "eight upper-case hex digits");
    Check(std::strtoul(Hex.c_str(), nullptr, 16) == Translation, "the number reads back");
    Check(StringTableName(Hex) == Hex.substr(4) + Hex.substr(0, 4), "language first");
    Check(StringTableName(StringTableName(Hex)) == Hex, "swapping twice gives the text back");

    std::string Name = StringTableName(Text);
    Check(Name.size() == (Text.size() > 8 ? 8 : Text.size()), "at most the eight characters");
    std::string MajorMinor = MajorMinorText(Text);
    size_t First = Text.find('.');
    bool TwoDots = First != std::string::npos && Text.find('.', First + 1) != std::string::npos;
    Check(MajorMinor.empty() || TwoDots, "empty without two dots");
    if (TwoDots)
        Check(Text.compare(0, MajorMinor.size() + 1, MajorMinor + ".") == 0 &&
                  MajorMinor.find('.', First + 1) == std::string::npos,
              "the text before its second dot");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    uint16_t A[4], B[4];
    for (uint16_t& Part : A)
        Part = uint16_t(TakeNumber(In, 2));
    for (uint16_t& Part : B)
        Part = uint16_t(TakeNumber(In, 2));
    uint32_t Translation = TakeNumber(In, 4);
    std::string Text(reinterpret_cast<const char*>(In.Data), In.Size);

    CheckVersion(A);
    CheckValue(A, B);
    CheckTranslation(Translation, Text);
    return 0;
}

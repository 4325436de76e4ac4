#include "Rules/VersionText.h"

namespace {

// Value in decimal with at least MinDigits digits, zeros in front. Written out rather than
// printed: SETUP.EXE would otherwise carry a whole printf, floating point included, for it.
std::string PaddedDecimal(unsigned Value, size_t MinDigits)
{
    std::string Digits;
    do {
        Digits.insert(Digits.begin(), char('0' + Value % 10));
        Value /= 10;
    } while (Value);
    if (Digits.size() < MinDigits)
        Digits.insert(0, MinDigits - Digits.size(), '0');
    return Digits;
}

}   // namespace

std::string FormatVersionText(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build)
{
    return PaddedDecimal(Major, 1) + "." + PaddedDecimal(Minor, 2) + "." +
           PaddedDecimal(Release, 4) + "." + PaddedDecimal(Build, 4);
}

int64_t VersionValue(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build)
{
    return ((int64_t(Major) * 1000 + Minor) * 1000 + Release) * 1000 + Build;
}

std::string TranslationText(uint32_t Translation)
{
    std::string Text(8, '0');
    for (int Digit = 7; Digit >= 0; --Digit, Translation >>= 4)
        Text[Digit] = "0123456789ABCDEF"[Translation & 0xF];
    return Text;
}

std::string StringTableName(const std::string& Translation)
{
    // substr throws when it starts past the end, so the second half is taken only when it exists.
    std::string Language = Translation.size() > 4 ? Translation.substr(4, 4) : std::string();
    return Language + Translation.substr(0, 4);
}

std::string MajorMinorText(const std::string& VersionText)
{
    std::string::size_type FirstDot = VersionText.find('.');
    if (FirstDot == std::string::npos)
        return std::string();
    std::string::size_type SecondDot = VersionText.find('.', FirstDot + 1);
    if (SecondDot == std::string::npos)
        return std::string();
    return VersionText.substr(0, SecondDot);
}

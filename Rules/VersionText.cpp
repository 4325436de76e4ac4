#include "Rules/VersionText.h"

#include <cstdio>

namespace {

// "65535.65535.65535.65535" and its NUL.
const int VersionTextSize = 24;

// "FFFFFFFF" and its NUL.
const int TranslationTextSize = 9;

} // namespace

std::string FormatVersionText(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build)
{
    char Text[VersionTextSize];
    // Every part is at most 5 digits, so the text always fits.
    snprintf(Text, sizeof Text, "%d.%.2d.%.4d.%.4d", Major, Minor, Release, Build);
    return Text;
}

int64_t VersionValue(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build)
{
    return ((int64_t(Major) * 1000 + Minor) * 1000 + Release) * 1000 + Build;
}

std::string TranslationText(uint32_t Translation)
{
    char Text[TranslationTextSize];
    snprintf(Text, sizeof Text, "%08lX", static_cast<unsigned long>(Translation));
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

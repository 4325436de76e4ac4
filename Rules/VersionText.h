#pragma once

#include <cstdint>
#include <string>

// The text forms of a version resource, kept free of system calls so that they can be tested and
// fuzzed on their own.

// "1.02.0000.0015" for 1, 2, 0, 15: Major plain, Minor with at least 2 digits, Release and Build
// with at least 4.
std::string FormatVersionText(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build);

// ((Major * 1000 + Minor) * 1000 + Release) * 1000 + Build. A part above 999 spills into the next
// higher one, so the value orders versions only while Minor, Release and Build stay below 1000.
int64_t VersionValue(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build);

// The first translation entry as 8 upper-case hex digits, code page first: 0x04E40409 gives
// "04E40409".
std::string TranslationText(uint32_t Translation);

// The string-table name for a translation text: its two halves swapped, language first
// ("04E40409" gives "040904E4"). A text shorter than 8 characters swaps what is there.
std::string StringTableName(const std::string& Translation);

// The version text up to its second dot, without the dot: "2.05.0000.0012" gives "2.05". A text
// with fewer than two dots (an empty one included) gives "".
std::string MajorMinorText(const std::string& VersionText);

// The product that a bundle installs, as its version resource names it for Explorer's properties
// and for the tools that read them: [Version] Product, ProductVersion and Publisher of the script,
// taken as written (no variables). SETUP.EXE itself keeps its own version resource; a bundle gets
// one of the product's in its place, written over the copied one, in the room that one takes.
#pragma once
#include <cstdint>
#include <string>

const char* const ProductKey = "Product";
const char* const ProductVersionKey = "ProductVersion";
const char* const PublisherKey = "Publisher";

// Product and Publisher, with the NUL: the longest of both, and the longest version, fit in the
// room of SETUP.EXE's own version resource.
const size_t ProductTextSize = 41;
const size_t ProductVersionSize = 24;   // "65535.65535.65535.65535" and the NUL

// A version as the resource holds it: 1 to 4 numbers from 0 to 65535, separated by dots ("1.0",
// "2.5.0.12"); the parts not written are 0. False for any other text.
bool ParseProductVersion(const std::string& Text, uint16_t (&Parts)[4]);

// What the version resource can't take of the value of Key (one of the three): "" when it takes
// it (an empty value too: it is left out), else the message, which begins with Key.
std::string ProductValueFault(const std::string& Key, const std::string& Value);

// The version resource of the product: Name and Publisher as the resource holds text (UTF-16,
// two bytes a character, little-endian, no NUL; empty: left out), Version as ParseProductVersion
// takes it (else left out, numbers 0). ProductName and FileDescription ("<Name> Setup") name the
// product, CompanyName the publisher, ProductVersion the version, which the fixed part holds as
// the file's and the product's numbers (the room has no place for a FileVersion text as well);
// language U.S. English, code page 1252, as SETUP.EXE's own.
std::string ProductVersionResource(const std::string& Name, const std::string& Version,
                                   const std::string& Publisher);

// Where the version resource's data lies in a PE32 file whose first Size bytes are Image: its
// offset and length, and the offset of the 4-byte length in its resource entry. False when the
// image has no version resource that lies whole inside it.
struct TResourceSpot {
    uint64_t DataAt = 0;
    uint64_t Length = 0;
    uint64_t LengthAt = 0;
};
bool FindVersionResource(const char* Image, size_t Size, TResourceSpot& Spot);

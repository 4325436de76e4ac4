// What the fuzz targets share: the check of an invariant, and the ways they read the fuzzer's
// bytes. Header only, so that the native fuzz build and the corpus replay under Wine compile it
// alike.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A broken invariant ends the run like a crash, so that libFuzzer keeps the input.
inline void Check(bool Ok, const char* What)
{
    if (!Ok) {
        std::fprintf(stderr, "invariant broken: %s\n", What);
        std::abort();
    }
}

// The input as a NUL-ended text, exactly Size bytes and the NUL on the heap, so that a read
// beyond the end is reported. A NUL inside ends the text early, as it would in a profile value.
inline std::vector<char> NulEnded(const uint8_t* Data, size_t Size)
{
    std::vector<char> Text(Size + 1);
    if (Size > 0)
        std::memcpy(Text.data(), Data, Size);
    Text[Size] = '\0';
    return Text;
}

// The bytes not yet taken, read from the front.
struct TFuzzBytes {
    const uint8_t* Data;
    size_t Size;
};

// The next Bytes bytes (at most 4) as a little-endian number; missing bytes count as 0.
inline uint32_t TakeNumber(TFuzzBytes& In, size_t Bytes)
{
    uint32_t Number = 0;
    for (size_t I = 0; I < Bytes && I < 4; ++I) {
        if (In.Size > 0) {
            Number |= uint32_t(*In.Data) << (8 * I);
            ++In.Data;
            --In.Size;
        }
    }
    return Number;
}

// The rest as Count text fields separated by '|', a character no rule gives a meaning, so the
// corpus files stay readable. The last field takes everything left, '|' included; missing
// fields are empty.
inline std::vector<std::string> TakeFields(TFuzzBytes& In, size_t Count)
{
    std::vector<std::string> Fields(Count);
    const char* P = reinterpret_cast<const char*>(In.Data);
    const char* End = P + In.Size;
    for (size_t I = 0; I < Count && P != End; ++I) {
        const void* Bar = I + 1 == Count ? nullptr : std::memchr(P, '|', size_t(End - P));
        const char* Stop = Bar != nullptr ? static_cast<const char*>(Bar) : End;
        Fields[I].assign(P, Stop);
        P = Stop == End ? End : Stop + 1;
    }
    In.Data += In.Size;
    In.Size = 0;
    return Fields;
}

// The text as a quoted INF field: in double quotes, each quote doubled.
inline std::string Quoted(const std::string& Text)
{
    std::string Result = "\"";
    for (char C : Text) {
        Result += C;
        if (C == '"')
            Result += C;
    }
    return Result + "\"";
}

// ASCII letters upper-cased, as the script's names compare. The oracles fold on their own rather
// than with Rules/CaseText.h, so that a fault there shows up against them.
inline std::string UpperAscii(std::string Text)
{
    for (char& C : Text)
        if (C >= 'a' && C <= 'z')
            C = char(C - 'a' + 'A');
    return Text;
}

// ASCII letters lower-cased: the other spelling that must compare the same.
inline std::string LowerAscii(std::string Text)
{
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z')
            C = char(C - 'A' + 'a');
    return Text;
}

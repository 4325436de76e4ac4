#include "Rules/RegSyntax.h"

#include <cstring>

// Letter case is ignored for ASCII letters only: the names are ASCII, and the answer must not
// depend on the user's code page.
static bool SameTextAscii(const char* A, const char* B)
{
    for (;; ++A, ++B) {
        char CA = (*A >= 'a' && *A <= 'z') ? char(*A - 'a' + 'A') : *A;
        char CB = (*B >= 'a' && *B <= 'z') ? char(*B - 'a' + 'A') : *B;
        if (CA != CB)
            return false;
        if (CA == '\0')
            return true;
    }
}

TRootKey ScanRootKey(const char* Text)
{
    // The whole field, nothing trimmed: " HKLM" and HKEY_LOCAL_MACHINE are syntax errors that
    // the caller reports with the field text as written.
    if (SameTextAscii(Text, "HKLM"))
        return rkHKLM;
    if (SameTextAscii(Text, "HKCU"))
        return rkHKCU;
    if (SameTextAscii(Text, "HKCR"))
        return rkHKCR;
    return rkNone;
}

const char* RootKeyText(TRootKey Root)
{
    switch (Root) {
    case rkHKLM: return "HKLM";
    case rkHKCU: return "HKCU";
    case rkHKCR: return "HKCR";
    default:     return "????";
    }
}

static int HexDigit(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

TDWordScan ScanDWordText(const char* Text, uint32_t& Value)
{
    // Only 0x20 counts as a blank: a tab in a value is reported, not silently dropped.
    size_t End = std::strlen(Text);
    while (End > 0 && Text[End - 1] == ' ')
        --End;
    size_t Start = 0;
    while (Start < End && Text[Start] == ' ')
        ++Start;
    // Eight hex digits fill 32 bits exactly, so the length check alone rules out overflow.
    if (End - Start > 8)
        return dsTooLong;
    uint32_t Number = 0;
    for (size_t I = Start; I < End; ++I) {
        int Digit = HexDigit(Text[I]);
        if (Digit < 0)
            return dsNotHex;
        Number = Number * 16 + uint32_t(Digit);
    }
    Value = Number;
    return dsOk;
}

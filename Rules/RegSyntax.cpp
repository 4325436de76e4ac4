#include "Rules/RegSyntax.h"

#include <cstring>

#include "Rules/CaseText.h"

TRootKey ScanRootKey(const char* Text)
{
    // The whole field, nothing trimmed: " HKLM" and HKEY_LOCAL_MACHINE are syntax errors that
    // the caller reports with the field text as written.
    if (SameText(Text, "HKLM"))
        return rkHKLM;
    if (SameText(Text, "HKCU"))
        return rkHKCU;
    if (SameText(Text, "HKCR"))
        return rkHKCR;
    return rkNone;
}

const char* RootKeyText(TRootKey Root)
{
    switch (Root) {
    case rkHKLM:
        return "HKLM";
    case rkHKCU:
        return "HKCU";
    case rkHKCR:
        return "HKCR";
    default:
        return "????";
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

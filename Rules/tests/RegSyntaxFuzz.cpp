// Fuzz target: root-key names and DWORD texts, checked against a plain reading of the rules.
#include "Rules/RegSyntax.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool IsHex(char C)
{
    return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f');
}

// Upper-case hex without leading zeros; "0" for zero.
static std::string HexText(uint32_t Value)
{
    const char Digits[] = "0123456789ABCDEF";
    std::string Text;
    do {
        Text.insert(Text.begin(), Digits[Value % 16]);
        Value /= 16;
    } while (Value != 0);
    return Text;
}

static void CheckRootKey(const char* Text)
{
    TRootKey Root = ScanRootKey(Text);
    if (Root == rkNone)
        return;
    const char* Name = RootKeyText(Root);
    Check(std::strlen(Text) == 4, "a root name is four characters");
    Check(UpperAscii(Text) == Name, "a root is its name in any case");
}

static void CheckDWord(const char* Text)
{
    std::string Trimmed = Text;
    while (!Trimmed.empty() && Trimmed.back() == ' ')
        Trimmed.pop_back();
    size_t First = Trimmed.find_first_not_of(' ');
    Trimmed = First == std::string::npos ? "" : Trimmed.substr(First);
    bool AllHex = true;
    for (char C : Trimmed)
        AllHex = AllHex && IsHex(C);

    uint32_t Value = 0;
    switch (ScanDWordText(Text, Value)) {
    case dsOk: {
        Check(Trimmed.size() <= 8 && AllHex, "accepted text is at most 8 hex digits");
        std::string Digits = UpperAscii(Trimmed);
        size_t Significant = Digits.find_first_not_of('0');
        Digits = Significant == std::string::npos ? "0" : Digits.substr(Significant);
        Check(HexText(Value) == Digits, "value round-trips to the text");
        break;
    }
    case dsTooLong:
        Check(Trimmed.size() > 8, "too long means more than 8 characters");
        break;
    case dsNotHex:
        Check(Trimmed.size() <= 8 && !AllHex, "not hex means a non-hex character");
        break;
    default:
        Check(false, "a known result");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Text = NulEnded(Data, Size);

    CheckRootKey(Text.data());
    CheckDWord(Text.data());
    for (TRootKey Root : {rkHKLM, rkHKCU, rkHKCR})
        Check(ScanRootKey(RootKeyText(Root)) == Root, "each root reads back from its name");
    Check(ScanRootKey(RootKeyText(rkNone)) == rkNone, "\"????\" is no root");
    return 0;
}

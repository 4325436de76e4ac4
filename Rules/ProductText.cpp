#include "Rules/ProductText.h"

namespace {

const uint32_t RtVersion = 16;   // the resource type of a version resource
const uint32_t SubdirectoryBit = 0x80000000u;

// Ascii as the resource holds text: two bytes a character, little-endian, without a NUL.
std::string Widened(const char* Ascii)
{
    std::string Out;
    for (; *Ascii; ++Ascii)
        Out += std::string(1, *Ascii) + '\0';
    return Out;
}

void PutWord(std::string& Out, uint32_t Value)
{
    Out += char(Value & 0xFF);
    Out += char((Value >> 8) & 0xFF);
}

void PutDWord(std::string& Out, uint32_t Value)
{
    PutWord(Out, Value & 0xFFFF);
    PutWord(Out, Value >> 16);
}

// Child appended to Out, beginning on 4 bytes, as every part of a block does.
void Append(std::string& Out, const std::string& Child)
{
    Out.resize((Out.size() + 3) / 4 * 4, '\0');
    Out += Child;
}

// One block of a version resource: its length, its value's length (in characters for a text),
// its type (1: text), its key with a NUL, its value, then its children (each appended on 4
// bytes already).
std::string Block(const char* Key, const std::string& Value, uint32_t ValueLength, bool Text,
                  const std::string& Children)
{
    std::string Out(6, '\0');
    Out += Widened(Key) + std::string(2, '\0');
    Append(Out, Value);
    if (!Children.empty())   // a block's length leaves out the padding after its last part
        Append(Out, Children);
    Out[0] = char(Out.size() & 0xFF);
    Out[1] = char(Out.size() >> 8);
    Out[2] = char(ValueLength & 0xFF);
    Out[3] = char(ValueLength >> 8);
    Out[4] = char(Text ? 1 : 0);
    return Out;
}

// A text of the string table, Value as the resource holds text; nothing when Value is empty.
void AppendText(std::string& Table, const char* Key, const std::string& Value)
{
    if (!Value.empty())
        Append(Table,
               Block(Key, Value + std::string(2, '\0'), uint32_t(Value.size() / 2 + 1), true, ""));
}

uint32_t Number(const char* Image, size_t Size, uint64_t At, int Bytes)
{
    uint32_t Value = 0;
    for (int I = Bytes - 1; I >= 0; --I)
        Value = (Value << 8) | (At + I < Size ? uint8_t(Image[At + I]) : 0u);
    return Value;
}

// The file offset of an address of the loaded image; 0 when no section's data holds it.
uint64_t OffsetOf(const char* Image, size_t Size, uint64_t Table, uint32_t Sections, uint32_t Rva)
{
    for (uint32_t S = 0; S < Sections; ++S) {
        uint64_t Section = Table + S * 40;
        uint32_t Address = Number(Image, Size, Section + 12, 4);
        uint32_t Raw = Number(Image, Size, Section + 16, 4);
        if (Rva >= Address && Rva - Address < Raw)
            return Number(Image, Size, Section + 20, 4) + uint64_t(Rva - Address);
    }
    return 0;
}

// The entry of the resource directory at Base + Dir whose id is Id (any id: the first entry);
// the entry's data offset, or 0 when there is none.
uint32_t EntryOf(const char* Image, size_t Size, uint64_t Base, uint64_t Dir, int64_t Id)
{
    uint32_t Count =
        Number(Image, Size, Base + Dir + 12, 2) + Number(Image, Size, Base + Dir + 14, 2);
    for (uint32_t E = 0; E < Count; ++E) {
        uint64_t Entry = Base + Dir + 16 + E * 8;
        if (Entry + 8 > Size)
            return 0;
        if (Id < 0 || Number(Image, Size, Entry, 4) == uint32_t(Id))
            return Number(Image, Size, Entry + 4, 4);
    }
    return 0;
}

}   // namespace

bool ParseProductVersion(const std::string& Text, uint16_t (&Parts)[4])
{
    uint32_t Values[4] = {};
    int Count = 0;
    size_t Digits = 0;
    for (char C : Text + ".") {
        if (C >= '0' && C <= '9' && Digits < 5 && Count < 4) {
            Values[Count] = Values[Count] * 10 + uint32_t(C - '0');
            ++Digits;
        } else if (C == '.' && Digits > 0 && Values[Count] <= 0xFFFF && Count < 4) {
            ++Count;
            Digits = 0;
        } else {
            return false;
        }
    }
    for (int I = 0; I < 4; ++I)
        Parts[I] = uint16_t(I < Count ? Values[I] : 0);
    return true;
}

std::string ProductValueFault(const std::string& Key, const std::string& Value)
{
    uint16_t Parts[4];
    if (Key == ProductVersionKey)
        return Value.empty() || ParseProductVersion(Value, Parts)
                   ? ""
                   : Key + " '" + Value +
                         "' is no version of 1 to 4 numbers from 0 to 65535 with dots between "
                         "(1.0, 2.5.0.12)";
    return Value.size() < ProductTextSize
               ? ""
               : Key + " is longer than " + std::to_string(ProductTextSize - 1) + " characters";
}

std::string ProductVersionResource(const std::string& Name, const std::string& Version,
                                   const std::string& Publisher)
{
    uint16_t Parts[4] = {};
    bool Versioned = ParseProductVersion(Version, Parts);
    std::string Fixed;
    PutDWord(Fixed, 0xFEEF04BD);   // the signature of the fixed part
    PutDWord(Fixed, 0x00010000);
    for (int Twice = 0; Twice < 2; ++Twice) {   // the file's version, then the product's
        PutDWord(Fixed, uint32_t(Parts[0]) << 16 | Parts[1]);
        PutDWord(Fixed, uint32_t(Parts[2]) << 16 | Parts[3]);
    }
    for (uint32_t Value : {0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u})   // flags, NT, an application
        PutDWord(Fixed, Value);
    std::string Shown = Versioned ? Widened(Version.c_str()) : "", Texts;
    AppendText(Texts, "CompanyName", Publisher);
    AppendText(Texts, "FileDescription", Name.empty() ? "" : Name + Widened(" Setup"));
    AppendText(Texts, "ProductName", Name);
    AppendText(Texts, "ProductVersion", Shown);
    std::string Translation;
    PutDWord(Translation, 0x04E40409);   // U.S. English, code page 1252
    std::string Strings =
        Block("StringFileInfo", "", 0, true, Block("040904E4", "", 0, true, Texts));
    std::string Vars =
        Block("VarFileInfo", "", 0, true, Block("Translation", Translation, 4, false, ""));
    std::string Children = Strings;
    Append(Children, Vars);
    return Block("VS_VERSION_INFO", Fixed, uint32_t(Fixed.size()), false, Children);
}

bool FindVersionResource(const char* Image, size_t Size, TResourceSpot& Spot)
{
    if (Size < 0x40 || Image[0] != 'M' || Image[1] != 'Z')
        return false;
    uint64_t Pe = Number(Image, Size, 0x3C, 4);
    uint64_t Optional = Pe + 24;
    if (Optional + 96 + 3 * 8 > Size || Number(Image, Size, Pe, 4) != 0x4550 ||
        Number(Image, Size, Optional, 2) != 0x10B || Number(Image, Size, Optional + 92, 4) < 3)
        return false;
    uint32_t Sections = Number(Image, Size, Pe + 6, 2);
    uint64_t Table = Optional + Number(Image, Size, Pe + 20, 2);
    uint64_t Base = OffsetOf(Image, Size, Table, Sections, Number(Image, Size, Optional + 112, 4));
    if (Base == 0)
        return false;
    // Type, name, language: the first two lead to directories, the last to the data's entry.
    uint32_t Type = EntryOf(Image, Size, Base, 0, RtVersion);
    uint32_t Name =
        Type & SubdirectoryBit ? EntryOf(Image, Size, Base, Type & ~SubdirectoryBit, -1) : 0;
    uint32_t Language =
        Name & SubdirectoryBit ? EntryOf(Image, Size, Base, Name & ~SubdirectoryBit, -1) : 0;
    if (Language == 0 || (Language & SubdirectoryBit) || Base + Language + 8 > Size)
        return false;
    Spot.LengthAt = Base + Language + 4;
    Spot.Length = Number(Image, Size, Spot.LengthAt, 4);
    Spot.DataAt = OffsetOf(Image, Size, Table, Sections, Number(Image, Size, Base + Language, 4));
    return Spot.DataAt != 0 && Spot.DataAt + Spot.Length <= Size;
}

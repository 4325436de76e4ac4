#include "Rules/BundleText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Rules/CaseText.h"
#include "Rules/FilesText.h"

namespace {

const char Magic[8] = {'S', 'E', 'T', 'U', 'P', 'K', 'V', 'B'};

void PutNumber(std::string& Out, uint64_t Value, int Bytes)
{
    for (int I = 0; I < Bytes; ++I)
        Out += char((Value >> (8 * I)) & 0xFF);
}

uint64_t GetNumber(const char* In, int Bytes)
{
    uint64_t Value = 0;
    for (int I = Bytes - 1; I >= 0; --I)
        Value = (Value << 8) | uint8_t(In[I]);
    return Value;
}

}   // namespace

std::string EncodeBundleTrailer(const TBundleTrailer& Trailer)
{
    std::string Out(Magic, sizeof Magic);
    PutNumber(Out, Trailer.PayloadSize, 8);
    PutNumber(Out, Trailer.UnpackedBytes, 8);
    PutNumber(Out, Trailer.FileCount, 4);
    PutNumber(Out, Trailer.Crc, 4);
    return Out;
}

bool DecodeBundleTrailer(const char* Bytes, TBundleTrailer& Trailer)
{
    if (std::memcmp(Bytes, Magic, sizeof Magic) != 0)
        return false;
    Trailer.PayloadSize = GetNumber(Bytes + 8, 8);
    Trailer.UnpackedBytes = GetNumber(Bytes + 16, 8);
    Trailer.FileCount = uint32_t(GetNumber(Bytes + 24, 4));
    Trailer.Crc = uint32_t(GetNumber(Bytes + 28, 4));
    return true;
}

uint32_t SealedCrc(uint32_t PayloadCrc, const TBundleTrailer& Trailer)
{
    const size_t SizesAt = sizeof Magic, SizesEnd = BundleTrailerSize - 4;
    std::string Bytes = EncodeBundleTrailer(Trailer);
    return Crc32(PayloadCrc, Bytes.data() + SizesAt, SizesEnd - SizesAt);
}

uint64_t UnpackRoom(const TBundleTrailer& Trailer, uint64_t SlackPerFile)
{
    const uint64_t Most = ~uint64_t(0);
    uint64_t Slack = Trailer.FileCount == 0 || SlackPerFile <= Most / Trailer.FileCount
                         ? Trailer.FileCount * SlackPerFile
                         : Most;
    return Slack > Most - Trailer.UnpackedBytes ? Most : Slack + Trailer.UnpackedBytes;
}

std::string MediumFolderSddl(bool Elevated, const std::string& UserSid)
{
    const std::string Admitted = "(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (Elevated)
        return "O:BAD:P" + Admitted;
    return "D:P(A;OICI;FA;;;" + UserSid + ")" + Admitted;
}

uint32_t Crc32(uint32_t Crc, const void* Data, size_t Size)
{
    // Eight bytes a step through eight tables (slicing by 8): the whole payload is checked before
    // a bundle installs anything, so this runs over every byte of a medium.
    static uint32_t Table[8][256];
    if (Table[0][1] == 0) {
        for (uint32_t N = 0; N < 256; ++N) {
            uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = C & 1 ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            Table[0][N] = C;
        }
        for (uint32_t N = 0; N < 256; ++N)
            for (int T = 1; T < 8; ++T)
                Table[T][N] = (Table[T - 1][N] >> 8) ^ Table[0][Table[T - 1][N] & 0xFF];
    }
    const uint8_t* Byte = static_cast<const uint8_t*>(Data);
    Crc = ~Crc;
    for (; Size >= 8; Size -= 8, Byte += 8) {
        uint32_t Low = Crc ^ (Byte[0] | Byte[1] << 8 | Byte[2] << 16 | uint32_t(Byte[3]) << 24);
        uint32_t High = Byte[4] | Byte[5] << 8 | Byte[6] << 16 | uint32_t(Byte[7]) << 24;
        Crc = Table[7][Low & 0xFF] ^ Table[6][(Low >> 8) & 0xFF] ^ Table[5][(Low >> 16) & 0xFF] ^
              Table[4][Low >> 24] ^ Table[3][High & 0xFF] ^ Table[2][(High >> 8) & 0xFF] ^
              Table[1][(High >> 16) & 0xFF] ^ Table[0][High >> 24];
    }
    while (Size-- > 0)
        Crc = Table[0][(Crc ^ *Byte++) & 0xFF] ^ (Crc >> 8);
    return ~Crc;
}

TPeLayout ReadPeLayout(const char* Head, size_t HeadSize, uint64_t FileSize)
{
    TPeLayout Layout;
    Layout.ImageEnd = Layout.DataEnd = FileSize;
    if (HeadSize < 0x40 || Head[0] != 'M' || Head[1] != 'Z')
        return Layout;
    uint64_t Pe = GetNumber(Head + 0x3C, 4);
    // PE signature, file header (20 bytes), optional header: magic 0x10B for PE32, whose data
    // directories begin 96 bytes in; the security directory is the fifth.
    uint64_t Optional = Pe + 4 + 20;
    if (Optional + 96 + 5 * 8 > HeadSize || std::memcmp(Head + Pe, "PE\0\0", 4) != 0 ||
        GetNumber(Head + Optional, 2) != 0x10B)
        return Layout;
    uint64_t Sections = GetNumber(Head + Pe + 6, 2);
    uint64_t Table = Optional + GetNumber(Head + Pe + 20, 2);   // SizeOfOptionalHeader
    if (Table + Sections * 40 > HeadSize)
        return Layout;
    uint64_t End = 0;
    for (uint64_t S = 0; S < Sections; ++S) {
        const char* Section = Head + Table + S * 40;
        uint64_t Raw = GetNumber(Section + 16, 4), At = GetNumber(Section + 20, 4);
        if (Raw != 0 && At + Raw > End)
            End = At + Raw;
    }
    Layout.ImageEnd = std::min(End, FileSize);
    uint64_t Symbols = GetNumber(Head + Pe + 12, 4);   // PointerToSymbolTable
    if (Symbols != 0) {
        Layout.StringTableAt = Symbols + 18 * GetNumber(Head + Pe + 16, 4);
        if (Layout.StringTableAt + 4 > FileSize)
            Layout.StringTableAt = 0;
    }
    if (GetNumber(Head + Optional + 92, 4) > 4) {   // NumberOfRvaAndSizes
        Layout.DirectoryAt = size_t(Optional + 96 + 4 * 8);
        uint64_t Offset = GetNumber(Head + Layout.DirectoryAt, 4);
        uint64_t Size = GetNumber(Head + Layout.DirectoryAt + 4, 4);
        if (Offset != 0 && Size != 0 && Offset >= Layout.ImageEnd && Offset <= FileSize)
            Layout.DataEnd = Offset;
    }
    return Layout;
}

bool IsSafeMediumPath(const char* Name)
{
    if (*Name == '\0')
        return false;
    for (const char* Part = Name;; ++Part) {
        const char* End = Part;
        while (*End != '\0' && *End != '\\') {
            if (uint8_t(*End) < 32 || std::strchr(":/*?\"<>|", *End))
                return false;
            ++End;
        }
        std::string Text(Part, End);
        if (Text.empty() || Text == "." || Text == ".." || IsDeviceName(Text))
            return false;
        if (*End == '\0')
            return true;
        Part = End;
    }
}

bool IsSafeMediumRecord(const TMediumRecord& Record)
{
    return std::memchr(Record.Path, '\0', sizeof Record.Path) && IsSafeMediumPath(Record.Path);
}

void BundleDirName(uint64_t Random, char (&Name)[BundleDirNameSize])
{
    static const char Digit[] = "0123456789abcdef";
    const size_t Prefix = std::strlen(BundleDirPrefix);
    std::memcpy(Name, BundleDirPrefix, Prefix);
    for (size_t I = BundleDirNameSize - 1; I-- > Prefix; Random >>= 4)
        Name[I] = Digit[Random & 15];
    Name[BundleDirNameSize - 1] = '\0';
}

bool IsBundleDirName(const char* Name)
{
    const size_t Prefix = std::strlen(BundleDirPrefix);
    if (std::strlen(Name) != BundleDirNameSize - 1 ||
        !SameText(std::string(Name, Prefix), BundleDirPrefix))
        return false;
    // Hexadecimal digits in either case: the file system ignores letter case, and so does this.
    for (const char* Digit = Name + Prefix; *Digit; ++Digit)
        if (!std::isxdigit(uint8_t(*Digit)))
            return false;
    return true;
}

bool ParseBundleArgs(const std::vector<std::string>& Args, std::string& Out, bool& Quiet,
                     std::string& Bad)
{
    const std::string Switch = "/bundle";
    bool Found = false;
    Out.clear();
    Bad.clear();
    Quiet = false;
    for (const std::string& Arg : Args)
        if (SameText(Arg.substr(0, Switch.size()), Switch)) {
            Found = true;
            if (Arg.size() > Switch.size() + 1 && Arg[Switch.size()] == '=' && Out.empty())
                Out = Arg.substr(Switch.size() + 1);
            else if (Bad.empty())
                Bad = Arg;   // no file, or given twice
        }
    if (!Found)
        return false;
    for (const std::string& Arg : Args) {
        if (SameText(Arg, "/quiet") && !Quiet)
            Quiet = true;
        else if (!SameText(Arg.substr(0, Switch.size()), Switch) && Bad.empty())
            Bad = Arg;
    }
    return true;
}

#include "Rules/BundleText.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(BundleTrailer, ComesBackAndIsKnownByItsMagic)
{
    TBundleTrailer Out = {0x123456789AULL, 5ULL << 32, 70000, 0xCBF43926u}, In;
    std::string Bytes = EncodeBundleTrailer(Out);
    ASSERT_EQ(BundleTrailerSize, Bytes.size());
    ASSERT_TRUE(DecodeBundleTrailer(Bytes.data(), In));
    EXPECT_EQ(Out.PayloadSize, In.PayloadSize);
    EXPECT_EQ(Out.UnpackedBytes, In.UnpackedBytes);
    EXPECT_EQ(Out.FileCount, In.FileCount);
    EXPECT_EQ(Out.Crc, In.Crc);
    Bytes[0] = 'X';
    EXPECT_FALSE(DecodeBundleTrailer(Bytes.data(), In));
    // The check value of CRC-32, and the same in two parts.
    EXPECT_EQ(0xCBF43926u, Crc32(0, "123456789", 9));
    EXPECT_EQ(0xCBF43926u, Crc32(Crc32(0, "1234", 4), "56789", 5));
}

// The sizes are under the checksum: a trailer changed in any of them no longer has its seal.
TEST(SealedCrc, CoversEverySizeOfTheTrailer)
{
    const TBundleTrailer Packed = {4096, 70000, 3, 0};
    const uint32_t Seal = SealedCrc(0x1234u, Packed);
    for (TBundleTrailer Changed :
         {TBundleTrailer{4104, 70000, 3, 0}, {4096, 70001, 3, 0}, {4096, 70000, 0, 0}})
        EXPECT_NE(Seal, SealedCrc(0x1234u, Changed)) << Changed.PayloadSize;
    EXPECT_EQ(Seal, SealedCrc(0x1234u, {4096, 70000, 3, Seal}));   // not the checksum itself
}

// The room for the unpacked medium never wraps round to a small number, whatever a trailer says.
TEST(UnpackRoom, SaturatesInsteadOfWrapping)
{
    const uint64_t Most = ~uint64_t(0);
    const struct {
        uint64_t Bytes;
        uint32_t Files;
        uint64_t Room;
    } Cases[] = {{70000, 3, 70000 + 3 * 4096},
                 {Most - 4096, 1, Most},
                 {Most - 4095, 1, Most},
                 {Most - 100, 0xFFFFFFFFu, Most}};
    for (const auto& Case : Cases)
        EXPECT_EQ(Case.Room, UnpackRoom({0, Case.Bytes, Case.Files, 0}, 4096)) << Case.Bytes;
    EXPECT_EQ(Most, UnpackRoom({0, 0, 0xFFFFFFFFu, 0}, Most / 2));
}

// The table-driven checksum against the polynomial's bitwise definition: every length around the
// eight-byte steps, taken whole and split at every place.
TEST(Crc32, IsTheBitwiseChecksumForEveryLengthAndSplit)
{
    std::string Data;
    for (int I = 0; I < 40; ++I)
        Data += char(I * 167 + 13);
    for (size_t Size = 0; Size <= Data.size(); ++Size) {
        uint32_t Want = ~0u;
        for (size_t I = 0; I < Size; ++I) {
            Want ^= uint8_t(Data[I]);
            for (int K = 0; K < 8; ++K)
                Want = Want & 1 ? 0xEDB88320u ^ (Want >> 1) : Want >> 1;
        }
        Want = ~Want;
        for (size_t Split = 0; Split <= Size; ++Split) {
            SCOPED_TRACE(std::to_string(Size) + " split at " + std::to_string(Split));
            EXPECT_EQ(Want, Crc32(Crc32(0, Data.data(), Split), Data.data() + Split, Size - Split));
        }
    }
}

TEST(ReadPeLayout, FindsTheImageEndAndTheSignature)
{
    // A PE32 header at 0x40 with two sections (raw data 0x200+0x400 and 0x600+0x200) and a
    // security directory naming 0x1000.
    std::string Head(0x200, '\0');
    Head.replace(0, 2, "MZ");
    Head[0x3C] = 0x40;
    Head.replace(0x40, 4, std::string("PE\0\0", 4));
    Head[0x46] = 2;                         // NumberOfSections
    Head[0x54] = char(0xE0);                // SizeOfOptionalHeader
    Head[0x58] = 0x0B, Head[0x59] = 0x01;   // PE32
    Head[0x58 + 92] = 16;                   // NumberOfRvaAndSizes
    size_t Security = 0x58 + 96 + 32;
    Head[Security + 1] = 0x10, Head[Security + 4] = 0x10;   // at 0x1000, 16 bytes
    size_t Table = 0x58 + 0xE0;
    Head[Table + 17] = 0x04, Head[Table + 21] = 0x02;             // 0x400 bytes at 0x200
    Head[Table + 40 + 17] = 0x02, Head[Table + 40 + 21] = 0x06;   // 0x200 bytes at 0x600
    TPeLayout Layout = ReadPeLayout(Head.data(), Head.size(), 0x1010);
    EXPECT_EQ(0x800u, Layout.ImageEnd);
    EXPECT_EQ(0x1000u, Layout.DataEnd);
    EXPECT_EQ(Security, Layout.DirectoryAt);
    EXPECT_EQ(0u, Layout.StringTableAt);
    Head[0x40 + 13] = 0x08;   // PointerToSymbolTable 0x800, no symbols: the string table
    EXPECT_EQ(0x800u, ReadPeLayout(Head.data(), Head.size(), 0x1010).StringTableAt);
    Head[Security + 1] = 0;   // no signature
    Head[Security + 4] = 0;
    EXPECT_EQ(0x1010u, ReadPeLayout(Head.data(), Head.size(), 0x1010).DataEnd);
    EXPECT_EQ(5u, ReadPeLayout("not a program", 13, 5).ImageEnd);
}

TEST(BundleNames, OnlySafePathsAndOurOwnFolders)
{
    struct {
        const char* Path;
        bool Safe;
    } Paths[] = {{"SETUP.INF", true},
                 {"bin\\a.dll", true},
                 {"..\\x", false},
                 {"a\\..\\b", false},
                 {"\\x", false},
                 {"C:x", false},
                 {"a\\\\b", false},
                 {"a/b", false},
                 {"nul.txt", false},
                 {"", false},
                 {"a\\", false},
                 {"<medium>", false},
                 {"docs\\COM\xB9.txt", false},
                 {"LPT\xC2\xB3", false}};
    for (const auto& Case : Paths)
        EXPECT_EQ(Case.Safe, IsSafeMediumPath(Case.Path)) << Case.Path;
    char Name[BundleDirNameSize];
    BundleDirName(0xDEADBEEF, Name);
    EXPECT_STREQ("~setupkvb00000000deadbeef", Name);
    EXPECT_TRUE(IsBundleDirName("~SETUPKVB00000000DEADBEEF"));
    for (const char* Name : {"~setupkvb", "~setupkvb00000000deadbeef0", "~setupkvb my notes",
                             "~setupkvb00000000deadbeeg", "x~setupkvb00000000deadbeef"})
        EXPECT_FALSE(IsBundleDirName(Name)) << Name;
}

TEST(MediumIndex, HoldsOnlyEndedSafePaths)
{
    TMediumRecord Record = {FolderAttribute, 1, 2, 3, 4, "bin\\My File.dll"};
    EXPECT_TRUE(IsSafeMediumRecord(Record));
    Record.Path[0] = '.', Record.Path[1] = '.', Record.Path[2] = '\\';
    EXPECT_FALSE(IsSafeMediumRecord(Record));
    std::fill(Record.Path, Record.Path + sizeof Record.Path, 'a');   // no NUL
    EXPECT_FALSE(IsSafeMediumRecord(Record));
}

TEST(ParseBundleArgs, TakesTheFileAndOnlyQuietBeside)
{
    struct {
        std::vector<std::string> Args;
        bool Found;
        const char* Out;
        bool Quiet;
        const char* Bad;
    } Cases[] = {
        {{"/BUNDLE=out.exe"}, true, "out.exe", false, ""},
        {{"/quiet", "/bundle=C:\\a b\\x.exe"}, true, "C:\\a b\\x.exe", true, ""},
        {{"/bundle"}, true, "", false, "/bundle"},
        {{"/bundle="}, true, "", false, "/bundle="},
        {{"/bundle=a", "/bundle=b"}, true, "a", false, "/bundle=b"},
        {{"/bundle=a", "SETUP.INF"}, true, "a", false, "SETUP.INF"},
        {{"/bundle=a", "/quiet", "/quiet"}, true, "a", true, "/quiet"},
        {{"/quiet", "SETUP.INF"}, false, "", false, ""},
    };
    for (const auto& Case : Cases) {
        std::string Out, Bad;
        bool Quiet;
        EXPECT_EQ(Case.Found, ParseBundleArgs(Case.Args, Out, Quiet, Bad)) << Case.Args[0];
        if (!Case.Found)
            continue;
        EXPECT_EQ(Case.Out, Out);
        EXPECT_EQ(Case.Quiet, Quiet);
        EXPECT_EQ(Case.Bad, Bad);
    }
}

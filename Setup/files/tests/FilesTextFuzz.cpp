// Fuzz target: [Files] keys, file heads and versions, checked against plain readings of the rules.
#include "Setup/files/FilesText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

// The key is rebuilt from its parts: nothing but one "/s" may get lost.
static void CheckKey(const std::string& Key)
{
    TFilesKey Parts = SplitFilesKey(Key);
    std::string Stem = Key;
    if (Parts.Recursive) {
        Check(Key.size() >= 2 && Key[Key.size() - 2] == '/' &&
                  (Key.back() == 's' || Key.back() == 'S'),
              "recursive only with /s");
        Stem.resize(Key.size() - 2);
    }
    Check(Parts.Pattern.find('\\') == std::string::npos, "pattern without backslash");
    bool Split = Stem.find('\\') != std::string::npos;
    Check(Stem == (Split ? Parts.SubDir + "\\" + Parts.Pattern : Parts.Pattern), "parts rebuild key");
}

static uint64_t Packed(const TVersionNumbers& V)
{
    return uint64_t(V.Major) << 48 | uint64_t(V.Minor) << 32 | uint64_t(V.Release) << 16 | V.Build;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string Text(reinterpret_cast<const char*>(Data), Size);
    CheckKey(Text);

    // Exactly Size bytes on the heap, so that a read beyond them is reported.
    std::vector<char> Head(Data, Data + Size);
    bool May = MayHoldVersion(Size ? Head.data() : nullptr, Size);
    Check(!May || (Size >= 2 && Head[1] == 'Z'), "version only after MZ or SZ");

    if (Size >= 16) {
        auto Word = [&](size_t At) { return uint16_t(Data[At] | Data[At + 1] << 8); };
        TVersionNumbers A = {Word(0), Word(2), Word(4), Word(6)};
        TVersionNumbers B = {Word(8), Word(10), Word(12), Word(14)};
        int Order = CompareVersions(A, B);
        Check(Order == -CompareVersions(B, A), "antisymmetric");
        Check(Order == (Packed(A) < Packed(B) ? -1 : Packed(A) > Packed(B) ? 1 : 0),
              "orders like the packed number");
    }
    return 0;
}

// Fuzz target: the [Strings] pass's text rules: the kind of a key, the first %NAME% reference and
// the drive root of the Windows directory.
#include "Rules/StringsText.h"

#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"

static void CheckKey(const std::string& Key)
{
    TStringsKey Kind = ClassifyStringsKey(Key);
    std::string Lower = LowerAscii(Key);
    Check(ClassifyStringsKey(UpperAscii(Key)) == Kind && ClassifyStringsKey(Lower) == Kind,
          "letter case does not count");
    Check((Kind == skProgramFiles) == (Lower == "programfiles"), "ProgramFiles alone");
    if (Kind == skPlain)
        Check(Lower == "rundll" || Lower == "setupx" || Lower == "infpath" ||
                  Lower == "projectversion" || Lower == "myprogrampath" || Lower == "mystartmenu",
              "the installer's own names are plain");
}

static void CheckReference(const std::string& Raw)
{
    std::string Reference = FirstReference(Raw);
    size_t Open = Raw.find('%');
    bool Two = Open != std::string::npos && Raw.find('%', Open + 1) != std::string::npos;
    Check(Reference.empty() != Two, "a reference needs two percent signs");
    if (Two) {
        Check(Reference.size() >= 2 && Reference.front() == '%' && Reference.back() == '%',
              "both percent signs included");
        Check(Reference.find('%', 1) == Reference.size() - 1, "no percent sign inside");
        Check(Raw.compare(Open, Reference.size(), Reference) == 0, "at the first percent sign");
    }
}

static void CheckDriveRoot(const std::string& WinDir)
{
    std::string Root = WindowsDriveRoot(WinDir);
    Check(Root.size() == 3 && Root[1] == ':', "a drive and a colon");
    Check(Root == "C:\\" || WinDir.compare(0, 3, Root) == 0, "from windir or C:\\");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string Text(reinterpret_cast<const char*>(Data), Size);
    CheckKey(Text);
    CheckReference(Text);
    CheckDriveRoot(Text);
    return 0;
}

// Fuzz target: the uninstall entry's rules, checked by finding again the path that an uninstall
// command was built with, and by what each result may hold.
#include "Rules/UninstallText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

// The uninstall command finds the path that the INF copy wrote at its end, quoted or not.
static void CheckUninstall(const std::string& Command, const std::string& Path)
{
    std::string Found = UninstallInfPath(Command);
    Check(Found.empty() || Command.find(Found) != std::string::npos, "path from the command");

    const std::string Head = "RunDll setupx.dll,InstallHinfSection DefaultUninstall 132 ";
    if (Path.find('"') == std::string::npos)
        Check(UninstallInfPath(Head + Quoted(Path)) == Path, "quoted path comes back");
    if (!Path.empty() && Path.find_first_of(" \"") == std::string::npos)
        Check(UninstallInfPath(Head + Path) == Path, "bare path comes back");
}

static void CheckLine(const std::string& Line)
{
    std::string SubKey = "garbage";
    bool Found = LineSubKey(Line, SubKey);
    size_t First = Line.find(',');
    bool TwoCommas = First != std::string::npos && Line.find(',', First + 1) != std::string::npos;
    Check(Found == TwoCommas, "a subkey between two commas");
    if (Found)
        Check(Line.compare(First, SubKey.size() + 2, "," + SubKey + ",") == 0,
              "the second field as written");
    else
        Check(SubKey == "garbage", "untouched without a second comma");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    for (const std::string& Text : Fields) {
        CheckUninstall(Text, Fields[0]);
        CheckLine(Text);
    }
    return 0;
}

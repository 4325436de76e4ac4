// Fuzz target: any [RegRead] line splits into fields that join back into the same line.
#include "Rules/RegReadText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static void CheckLine(const std::string& Line)
{
    TRegReadLine Fields = {"garbage", "garbage", "garbage", true, "garbage", true};
    bool Split = SplitRegReadLine(Line, Fields);
    Check(Split == (Line.find(',') != std::string::npos), "false exactly when there is no comma");
    if (!Split)
        return;

    Check(Fields.Root.find(',') == std::string::npos, "no comma in Root");
    Check(Fields.SubKey.find(',') == std::string::npos, "no comma in SubKey");
    Check(Fields.ValueName.find(',') == std::string::npos, "no comma in ValueName");
    Check(!Fields.HasDefault || Fields.HasValueName, "a default needs a value name field");
    Check(Fields.HasValueName || Fields.ValueName.empty(), "no value name field, no value name");
    Check(Fields.HasDefault || Fields.Default.empty(), "no default field, no default");

    size_t Commas = 0;
    for (char C : Line)
        Commas += C == ',';
    Check(Fields.HasValueName == (Commas >= 2), "a value name field after a second comma");
    Check(Fields.HasDefault == (Commas >= 3), "a default after a third comma");

    std::string Joined = Fields.Root + "," + Fields.SubKey;
    if (Fields.HasValueName)
        Joined += "," + Fields.ValueName;
    if (Fields.HasDefault)
        Joined += "," + Fields.Default;
    Check(Joined == Line, "the fields join back into the line");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Text = NulEnded(Data, Size);

    // The line as the section reader delivers it, ended by its NUL, and the whole input, in
    // which a NUL is just another character of the string.
    CheckLine(std::string(Text.data()));
    CheckLine(std::string(Text.data(), Size));
    return 0;
}

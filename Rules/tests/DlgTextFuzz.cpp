// Fuzz target: the install-path browser's path rules, checked by idempotence and by a round trip
// through FileNamePart; the link rule on the same texts.
#include "Rules/DlgText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "Rules/PathParts.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    const std::string& Picked = Fields[0];
    const char* NamePart = Fields[1].c_str();   // as the dialog has it: up to the first NUL
    std::string Name = NamePart;

    std::string Path = WithNamePart(Picked, NamePart);
    Check(Path.compare(0, Picked.size(), Picked) == 0, "the picked folder comes first");
    Check(WithNamePart(Path, NamePart) == Path, "appending the name part is idempotent");
    if (Name.empty() || Picked.find(Name) == std::string::npos) {
        Check(Path.size() - Picked.size() <= Name.size() + 1, "at most a backslash and the name");
        Check(Path.size() > Name.size() && Path[Path.size() - Name.size() - 1] == '\\' &&
                  Path.compare(Path.size() - Name.size(), Name.size(), Name) == 0,
              "the name after a backslash");
        if (Name.find('\\') == std::string::npos)
            Check(FileNamePart(Path) == Name, "the name is the last component");
    } else {
        Check(Path == Picked, "a contained name is not appended");
    }
    Check(WithNamePart(Picked, nullptr) == WithNamePart(Picked, ""), "null is no name");
    Check(!IsWebAddress(NamePart) || Name.size() > 7, "a web address has more than its scheme");

    std::string Last = FileNamePart(Picked);
    Check(Last.find('\\') == std::string::npos, "no backslash in the last component");
    Check(Picked.size() >= Last.size() &&
              Picked.compare(Picked.size() - Last.size(), Last.size(), Last) == 0,
          "the last component ends the path");
    Check(Last.size() == Picked.size() || Picked[Picked.size() - Last.size() - 1] == '\\',
          "it starts after a backslash");
    return 0;
}

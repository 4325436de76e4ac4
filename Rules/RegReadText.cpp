#include "Rules/RegReadText.h"

bool SplitRegReadLine(const std::string& Line, TRegReadLine& Fields)
{
    // The line is already expanded, so a variable may have supplied any of its commas; quotes
    // and blanks are kept because a registry path or value name may legitimately hold them.
    size_t Comma1 = Line.find(',');
    if (Comma1 == std::string::npos)
        return false;
    Fields.Root = Line.substr(0, Comma1);
    Fields.ValueName.clear();
    Fields.Default.clear();
    Fields.HasValueName = false;
    Fields.HasDefault = false;

    size_t Comma2 = Line.find(',', Comma1 + 1);
    Fields.SubKey = Line.substr(Comma1 + 1, Comma2 == std::string::npos ? std::string::npos
                                                                        : Comma2 - Comma1 - 1);
    if (Comma2 == std::string::npos)
        return true;
    Fields.HasValueName = true;

    size_t Comma3 = Line.find(',', Comma2 + 1);
    Fields.ValueName = Line.substr(Comma2 + 1, Comma3 == std::string::npos ? std::string::npos
                                                                           : Comma3 - Comma2 - 1);
    if (Comma3 == std::string::npos)
        return true;
    // The default runs to the end of the line: further commas are part of it.
    Fields.HasDefault = true;
    Fields.Default = Line.substr(Comma3 + 1);
    return true;
}

#include "Rules/IniWriteText.h"

bool SplitIniWriteLine(const std::string& Line, TIniWriteLine& Fields)
{
    const size_t None = std::string::npos;
    size_t First = Line.find(',');
    size_t Second = First == None ? None : Line.find(',', First + 1);
    size_t Third = Second == None ? None : Line.find(',', Second + 1);
    if (Third == None)
        return false;
    Fields.Section = Line.substr(0, First);
    Fields.Key = Line.substr(First + 1, Second - First - 1);
    Fields.Value = Line.substr(Second + 1, Third - Second - 1);
    Fields.File = Line.substr(Third + 1);
    return true;
}

std::string IniWriteSyntaxText(const std::string& Line)
{
    // No blank after the bracket: the program's own wording.
    return "Syntax-Error at [IniWrite]" + Line.substr(0, Line.find(','));
}

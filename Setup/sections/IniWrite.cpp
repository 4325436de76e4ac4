#include "Setup/sections/IniWrite.h"

#include <windows.h>

#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/base/VarExpand.h"

namespace {

const size_t None = std::string::npos;

// The system's text for an error code on one line, without the full stop at its end.
std::string SystemMessage(DWORD Code)
{
    std::string Text;
    SystemErrorText(Code, 0, Text);
    while (!Text.empty() && (Text.back() == '.' || Text.back() == ' '))
        Text.pop_back();
    return Text;
}

// These boxes carry no icon, unlike the error boxes elsewhere.
void PlainBox(const std::string& Text)
{
    MessageOrDefault(Text, Caption.c_str(), MB_OK);
}

// Writes one line: the first three commas end section, key and value; the file path is the rest
// and may hold commas. Only value and path are expanded.
void WriteEntry(const std::string& Line)
{
    size_t First = Line.find(',');
    size_t Second = First == None ? None : Line.find(',', First + 1);
    size_t Third = Second == None ? None : Line.find(',', Second + 1);
    if (Third == None) {
        // The line as far as it was split: whole without a comma, else its first field.
        PlainBox("Syntax-Error at [IniWrite]" + Line.substr(0, First));
        MarkFatal();
        return;
    }
    std::string Section = Line.substr(0, First);
    std::string Key = Line.substr(First + 1, Second - First - 1);
    // Expanded whole: a cut value or path would write the wrong entry or the wrong file.
    std::string Value = ExpandVars(Line.substr(Second + 1, Third - Second - 1));
    std::string File = ExpandVars(Line.substr(Third + 1));
    if (!WriteProfile(Section.c_str(), Key, Value, File)) {
        DWORD Code = GetLastError();
        // No blank between "IniWrite" and the section name: the program's own wording.
        PlainBox("Error " + std::to_string(Code) + "(" + SystemMessage(Code) + ") at IniWrite" +
                 Section);
        MarkFatal();
    }
}

} // namespace

void IniWriteSection(const std::string& InfPath)
{
    // Read whole: a cut line would write a wrong value or into a wrong file.
    for (const std::string& Key : ReadKeyList("IniWrite", InfPath))
        WriteEntry(ReadProfile("IniWrite", Key.c_str(), InfPath));
}

#include "Setup/sections/IniWrite.h"

#include <windows.h>

#include "Rules/IniWriteText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

namespace {

// The system's text for an error code on one line, without the full stop at its end.
std::string SystemMessage(DWORD Code)
{
    std::string Text;
    SystemErrorText(Code, 0, Text);
    while (!Text.empty() && (Text.back() == '.' || Text.back() == ' '))
        Text.pop_back();
    return Text;
}

// Writes one line (Rules/IniWriteText: the file path may hold commas). Only value and path are
// expanded.
void WriteEntry(const std::string& Line)
{
    TIniWriteLine Fields;
    if (!SplitIniWriteLine(Line, Fields)) {
        ReportFailure(IniWriteSyntaxText(Line), afFatal, "", true);   // these boxes carry no icon
        return;
    }
    const std::string& Section = Fields.Section;
    // Expanded whole: a cut value or path would write the wrong entry or the wrong file.
    std::string Value = ExpandVars(Fields.Value);
    std::string File = ExpandVars(Fields.File);
    if (!Settings().WriteEntry({Section, Fields.Key, Value, File, true})) {
        DWORD Code = GetLastError();
        // No blank between "IniWrite" and the section name: the program's own wording.
        ReportFailure("Error " + std::to_string(Code) + "(" + SystemMessage(Code) +
                          ") at IniWrite" + Section,
                      afFatal, "", true);
    }
}

}   // namespace

void IniWriteSection(const std::string& InfPath)
{
    // Read whole: a cut line would write a wrong value or into a wrong file.
    for (const std::string& Key : ReadKeyList("IniWrite", InfPath))
        WriteEntry(ReadProfile("IniWrite", Key.c_str(), InfPath));
}

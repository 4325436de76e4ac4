#include "Setup/sections/RegWrite.h"

#include <windows.h>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/RegWriteText.h"
#include "Setup/base/Log.h"
#include "Setup/base/RegKeys.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"
#include "Setup/sections/StartMenu.h"

namespace {

// A stored value this long or longer is not read back, as the comparison only picks the log's
// word: its status is " set" whatever it holds. The value itself is written whole.
const DWORD CompareLimit = TextBufSize;

// One line's value, as the registry will get it.
struct TValue {
    DWORD Type;
    std::string Data;   // the bytes to write: a string with its NUL, or a number's 4 bytes
};

// How setting Value over what the key holds changes it: " created", " refreshed", " changed"
// or " set".
const char* ValueStatus(const TStoredValue& Stored, const TValue& Value)
{
    if (!Stored.Found)
        return " created";
    if (Stored.Type != Value.Type || !Stored.Whole)
        return " set";
    return SameStoredValue(Value.Type == REG_DWORD, Stored.Data, Value.Data) ? " refreshed"
                                                                             : " changed";
}

// Writes the line's value into the open key; 0, or 1 when the write failed.
int WriteValue(HKEY Root, const TRegWriteLine& Line, const TValue& Value)
{
    std::string Where = Line.Root + "\\" + Line.SubKey + "\t" +
                        (Line.ValueName.empty() ? "<default>" : Line.ValueName);
    const char* Status = ValueStatus(Settings().ReadValue(Line.ValueName, CompareLimit), Value);
    LONG Code = Settings().SetValue(Line.ValueName, Value.Type, Value.Data);
    if (Code == ERROR_SUCCESS) {
        LogLine(Where + Status);
        if (Root == HKEY_CURRENT_USER)
            User().IntoProfile(Line.Root + "\\" + Line.SubKey, "");
        return 0;
    }
    // Without the right to write, a value that already is as wanted is no failure worth a box;
    // the line still counts as not written.
    if (Code == ERROR_ACCESS_DENIED && std::string(Status) == " refreshed") {
        LogLine(Where + " already ok");
        return 1;
    }
    std::string Reason;
    SystemErrorText(DWORD(Code), 0, Reason);
    ReportFailure("Error " + std::to_string(Code) + " at SetValue of " + RootKeyName(Root) + "\\" +
                      Line.SubKey + "\r\n" + Reason,
                  afGoOn, Where + Status + ": failed!");
    return 1;
}

// A key that can be neither opened nor created: as a rule the user lacks administrator rights.
// The links of ErrSection, if the section names one, stand in.
int FallBack(const char* Section, const std::string& ErrSection, const std::string& InfPath,
             int Mode)
{
    LogPart(FallbackHeadText(!ErrSection.empty(), Mode));
    if (ErrSection.empty()) {
        LogPart(NoErrSectionText(Section));
        return 101;
    }
    int Failures = CreateSectionLinks(ErrSection, "", InfPath);
    std::string Text;
    int Result = FallbackEndText(Mode, Failures, Text);
    LogPart(Text);
    return Result;
}

// Lets go of the open key when the section ends, on every way out.
struct TKeyRelease {
    TKeyRelease() = default;
    TKeyRelease(const TKeyRelease&) = delete;
    TKeyRelease& operator=(const TKeyRelease&) = delete;
    ~TKeyRelease() { Settings().CloseKey(); }
};

// Carries out one expanded line; 0 to go on with the next, else the section's result.
int WriteLine(const char* Section, const std::string& Line, const std::string& ErrSection,
              const std::string& InfPath, int Mode)
{
    TRegWriteLine Fields;
    if (!SplitRegWriteLine(Line, Fields)) {
        ReportFailure(TooFewParametersText(Line), afGoOn);
        return 1;
    }
    TValueType Type = ScanValueType(Fields.Type);
    if (Type == vtUnknown) {
        // The run fails, but the value is still written, as a string.
        ReportFailure("Error RegWrite: Type not implemented: " + Fields.Type, afFatal);
    }
    TValue Value;
    if (Type == vtDWord) {
        uint32_t Number;
        if (!ParseDWordText(Fields.Value.c_str(), Number))
            return 101;
        Value = {REG_DWORD, DWordData(Number)};
    } else {
        Value = {REG_SZ, Fields.Value + '\0'};
    }
    HKEY Root = ParseRootKey(Fields.Root.c_str());

    // The door keeps the key open for the lines after that write into it.
    if (!Settings().OpenKey(Root, Fields.SubKey)) {
        if (!Settings().CreateKey(Root, Fields.SubKey))
            return FallBack(Section, ErrSection, InfPath, Mode);
        LogLine(Fields.Root + "\\" + Fields.SubKey + "\tcreated");
    }
    return WriteValue(Root, Fields, Value);
}

}   // namespace

int RegWriteSection(const char* Section, const std::string& InfPath, int Mode)
{
    std::string ErrSection;   // the link section that stands in for the lines after it
    TKeyRelease Release;
    for (const TProfileLine& Line : ReadSection(Section, InfPath)) {
        const std::string& Key = Line.Key;
        const std::string& Raw = Line.Value;
        if (Raw.empty())
            continue;
        if (SameText(Key, "ErrSection")) {
            ErrSection = Raw;   // a section name, not expanded
            continue;
        }
        // Read and expanded whole, so a long value is written as the script says.
        int Result = WriteLine(Section, ExpandVars(Raw), ErrSection, InfPath, Mode);
        if (Result != 0)
            return Result;
    }
    return 0;
}

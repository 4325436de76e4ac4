#include "Setup/sections/RegWrite.h"

#include <windows.h>

#include <vector>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/RegWriteText.h"
#include "Setup/base/Log.h"
#include "Setup/base/Plan.h"
#include "Setup/base/RegKeys.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
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

// How the write will change the value: " created", " refreshed", " changed" or " set". A plan
// asks its own books first, for a value that an earlier line would have written.
const char* ValueStatus(HKEY Root, HKEY Key, const TRegWriteLine& Line, const TValue& Value)
{
    const std::string& Name = Line.ValueName;
    std::string Planned;
    DWORD PlannedType;
    if (Planning && PlanValue(Root, Line.SubKey, Name, PlannedType, Planned))
        return PlannedType != Value.Type || Planned.size() >= CompareLimit      ? " set"
               : SameStoredValue(PlannedType == REG_DWORD, Planned, Value.Data) ? " refreshed"
                                                                                : " changed";
    if (!Key)
        return " created";   // in a key that the plan makes
    DWORD Type = REG_NONE, Size = 0;
    if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
        return " created";
    if (Type != Value.Type || Size >= CompareLimit)
        return " set";
    std::vector<char> Stored(Size + 1);
    if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Stored.data()),
                         &Size) != ERROR_SUCCESS ||
        Type != Value.Type)
        return " set";   // changed under our feet: no comparison to make
    return SameStoredValue(Type == REG_DWORD, std::string(Stored.data(), Size), Value.Data)
               ? " refreshed"
               : " changed";
}

// Writes the line's value into the open Key; 0, or 1 when the write failed.
int WriteValue(HKEY Root, HKEY Key, const TRegWriteLine& Line, const TValue& Value)
{
    std::string Where = Line.Root + "\\" + Line.SubKey + "\t" +
                        (Line.ValueName.empty() ? "<default>" : Line.ValueName);
    const char* Status = ValueStatus(Root, Key, Line, Value);
    // A plan only asks whether the value could be set; the words are the same.
    LONG Code = Planning ? MaySetValue(Root, Line.SubKey)
                         : RegSetValueExA(Key, Line.ValueName.c_str(), 0, Value.Type,
                                          reinterpret_cast<const BYTE*>(Value.Data.data()),
                                          DWORD(Value.Data.size()));
    if (Code == ERROR_SUCCESS) {
        if (Planning)
            PlanSetValue(Root, Line.SubKey, Line.ValueName, Value.Type, Value.Data);
        LogLine(Where + Status);
        if (Planning && Root == HKEY_CURRENT_USER)
            PlanSystemProfile(Line.Root + "\\" + Line.SubKey);
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
    LogText += FallbackHeadText(!ErrSection.empty(), Mode);
    if (ErrSection.empty()) {
        LogText += NoErrSectionText(Section);
        return 101;
    }
    int Failures = CreateSectionLinks(ErrSection, "", InfPath);
    std::string Text;
    int Result = FallbackEndText(Mode, Failures, Text);
    LogText += Text;
    return Result;
}

// The key that the last line wrote into, kept open for the next line: scripts write many
// values into one key, and opening and closing it for each is two requests to the registry.
struct TOpenKey {
    HKEY Root = nullptr;
    std::string SubKey;
    HKEY Key = nullptr;   // null in a plan, for a key that the run would create
    bool Held = false;    // a key (or, in a plan, a key to be made) for the lines to come
    TOpenKey() = default;
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    ~TOpenKey() { Close(); }
    void Close()
    {
        if (Key)
            RegCloseKey(Key);
        Key = nullptr;
        Held = false;
    }
};

// Carries out one expanded line; 0 to go on with the next, else the section's result.
int WriteLine(const char* Section, const std::string& Line, const std::string& ErrSection,
              const std::string& InfPath, int Mode, TOpenKey& Open)
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

    if (!Open.Held || Open.Root != Root || Open.SubKey != Fields.SubKey) {
        Open.Close();
        HKEY Key = nullptr;
        // A key that the plan has made is there for the lines after it, without a handle.
        if (RegOpenKeyA(Root, Fields.SubKey.c_str(), &Key) != ERROR_SUCCESS &&
            !(Planning && PlanHasKey(Root, Fields.SubKey))) {
            Key = nullptr;
            if (Planning ? !MayCreateKey(Root, Fields.SubKey)
                         : RegCreateKeyA(Root, Fields.SubKey.c_str(), &Key) != ERROR_SUCCESS)
                return FallBack(Section, ErrSection, InfPath, Mode);
            if (Planning)
                PlanAddKey(Root, Fields.SubKey);
            LogLine(Fields.Root + "\\" + Fields.SubKey + "\tcreated");
        }
        Open.Root = Root;
        Open.SubKey = Fields.SubKey;
        Open.Key = Key;
        Open.Held = true;
    }
    return WriteValue(Root, Open.Key, Fields, Value);
}

}   // namespace

int RegWriteSection(const char* Section, const std::string& InfPath, int Mode)
{
    std::string ErrSection;   // the link section that stands in for the lines after it
    TOpenKey Open;
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
        int Result = WriteLine(Section, ExpandVars(Raw), ErrSection, InfPath, Mode, Open);
        if (Result != 0)
            return Result;
    }
    return 0;
}

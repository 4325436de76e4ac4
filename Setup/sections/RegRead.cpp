#include "Setup/sections/RegRead.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/RegReadText.h"
#include "Setup/base/Log.h"
#include "Setup/base/RegKeys.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

namespace {

// The system's text for an error code, without the full stop it comes with.
std::string SystemMessage(DWORD Code)
{
    std::string Message;
    SystemErrorText(Code, 0, Message);
    while (!Message.empty() && (Message.back() == '.' || Message.back() == ' '))
        Message.pop_back();
    return Message;
}

// The code to report: the thread's last error, or the call's own status when there is none.
DWORD FailureCode(LONG Status)
{
    DWORD Last = GetLastError();
    return Last != 0 ? Last : DWORD(Status);
}

bool IsReserved(const std::string& Name)
{
    for (const char* Reserved : {"rundll", "setupx", "InfPath", "ProjectVersion"})
        if (SameText(Name, Reserved))
            return true;
    return false;
}

[[noreturn]] void EndWith(const std::string& Line)
{
    LogLine(Line);
    EndRun();
}

[[noreturn]] void EndAborted(const std::string& Line)
{
    MarkFatal();
    EndWith(Line);
}

// The key names of the section, each NUL-ended, then one more NUL. A longer list ends the run with
// the internal error, as a line that does not fit does: each name costs a registry read and a
// write into the INF, so a list without a limit would let a script keep the run busy for hours.
const int KeyListSize = int(TextBufSize);

// The registry value of one line; false when it could not be read (reported into LogText).
bool ReadValue(const std::string& Name, const TRegReadLine& Fields, HKEY Key, std::string& Value)
{
    const char* ValueName = Fields.ValueName.empty() ? nullptr : Fields.ValueName.c_str();
    DWORD Type = REG_NONE, Size = 0;
    SetLastError(0);
    LONG Status = RegQueryValueExA(Key, ValueName, nullptr, &Type, nullptr, &Size);
    std::vector<char> Buf(Size + 1);
    if (Status == ERROR_SUCCESS)
        Status = RegQueryValueExA(Key, ValueName, nullptr, &Type,
                                  reinterpret_cast<BYTE*>(Buf.data()), &Size);
    std::string Where = Name + "\\" + Fields.SubKey + "," + Fields.ValueName;
    if (Status == ERROR_FILE_NOT_FOUND) {
        LogPart("Value " + Where + " does not exist");
        return false;
    }
    if (Status != ERROR_SUCCESS) {
        LogPart("Couldn't query value " + Where + " " + SystemMessage(FailureCode(Status)));
        ++ErrorCount;
        return false;
    }
    if (Type != REG_SZ) {
        ErrorCount += 101;
        EndWith("Error in RegRead_Expand_Strings: only REG_SZ supported " + Fields.Root);
    }
    Value = Buf.data();   // Buf holds one NUL more than the value's bytes
    return true;
}

void ReadRegLine(const std::string& InfPath, const std::string& Name)
{
    std::string Raw = ReadProfile("RegRead", Name.c_str(), InfPath);
    std::string Line = RegReadLineFits(Raw.size(), 0) ? ExpandVars(Raw) : Raw;
    if (!RegReadLineFits(Raw.size(), Line.size()))
        EndAborted("Internal error: Buffer in RegRead_Expand_Strings too small!");
    TRegReadLine Fields;
    if (!SplitRegReadLine(Line, Fields))
        EndAborted("INF Syntax error: missing \",\" in [ReadReg], " + Name);
    HKEY Root = ParseRootKey(Fields.Root.c_str());
    HKEY Key = nullptr;
    SetLastError(0);
    LONG Status = RegOpenKeyExA(Root, Fields.SubKey.c_str(), 0, KEY_QUERY_VALUE, &Key);
    std::string Value;
    bool Got = false;
    if (Status == ERROR_FILE_NOT_FOUND) {
        LogPart("Key " + Name + "\\" + Fields.SubKey + " does not exist");
    } else if (Status != ERROR_SUCCESS) {
        LogPart("Couldn't open " + Name + "\\" + Fields.SubKey + " " +
                SystemMessage(FailureCode(Status)));
        ++ErrorCount;
    } else {
        Got = ReadValue(Name, Fields, Key, Value);
        RegCloseKey(Key);
    }
    if (!Got) {
        if (Fields.HasDefault) {
            LogPart(", using default " + Fields.Default);
            Value = Fields.Default;
            Got = true;
        }
        LogLine("");
    }
    if (!Got)
        return;
    Value = ExpandVars(Value);
    WriteProfile("STRINGS", Name, Value, InfPath);
    if (!SetEnv(Name, Value))
        EndWith("Error in RegRead_Expand_Strings: Can't set Env " + Name + " to " + Value);
}

}   // namespace

void RegRead_Expand_Strings(const std::string& InfPath)
{
    char Keys[KeyListSize];
    NoteProfileFile(InfPath);
    DWORD Got =
        GetPrivateProfileStringA("RegRead", nullptr, "", Keys, sizeof Keys, InfPath.c_str());
    if (Got == sizeof Keys - 2)   // the list was cut
        EndAborted("Internal error: Buffer in RegRead_Expand_Strings too small!");
    for (const char* Name = Keys; Got > 0 && *Name; Name += std::strlen(Name) + 1)
        if (!IsReserved(Name))
            ReadRegLine(InfPath, Name);
    LogLine("Section [RegRead] processed");
}

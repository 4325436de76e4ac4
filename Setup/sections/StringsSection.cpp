#include "Setup/sections/StringsSection.h"

#include <windows.h>

#include <vector>

#include "Rules/CaseText.h"
#include "Rules/StringsText.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

namespace {

const char* const SetupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const UserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char* const ShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct TPass {
    int Mode;
    const std::string& SourceInf;
    const std::string& TargetInf;
    const char* Section;
    HKEY Setup, User, Shell;
    DWORD LastType;   // type of the registry value read last in this pass
    std::string ChangeList;
};

// A string value read whole; false when the key is missing or has no such value.
bool QueryText(HKEY Key, const char* Name, std::string& Value, DWORD& Type)
{
    if (Key == nullptr)
        return false;
    DWORD Size = 0;
    if (RegQueryValueExA(Key, Name, nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
        return false;
    std::vector<char> Buf(Size + 1);
    if (RegQueryValueExA(Key, Name, nullptr, &Type, reinterpret_cast<BYTE*>(Buf.data()), &Size) !=
        ERROR_SUCCESS)
        return false;
    Buf[Size] = 0;   // a stored value need not end in NUL
    Value = Buf.data();
    return true;
}

void Publish(TPass& Pass, const std::string& Key, const std::string& Value, const char* Mark)
{
    if (Pass.Mode & smWriteInf) {
        WriteProfile(Pass.Section, Key, Value, Pass.TargetInf);
        Pass.ChangeList += ", " + std::string(Mark) + Key;
    }
    if (Pass.Mode & smSetVars)
        SetEnv(Key, Value);
}

void ResolvePlain(TPass& Pass, const std::string& Key, const std::string& Raw)
{
    std::string Value = ExpandVars(Raw);
    std::string Reference = FirstReference(Raw);
    if (!SameText(Value, Raw) && !Reference.empty())
        Pass.ChangeList += ", " + Key + " " + Reference;
    // The installation directory is published by the path choice alone; this one test heeds
    // letter case.
    if (!Value.empty() && Key != "MyProgramPath")
        Publish(Pass, Key, Value, "");
}

bool FindProgramFiles(TPass& Pass, std::string& Value)
{
    if (QueryText(Pass.Setup, "ProgramFilesDir", Value, Pass.LastType) ||
        QueryText(Pass.Setup, "ProgramFilesPath", Value, Pass.LastType))
        return true;
    // The drive of the Windows directory as the system names it, not as the environment says.
    std::string Root = WindowsDriveRoot(ExpandSystemVars("%windir%"));
    Value = DirectoryExists(Root + "Programme") ? Root + "Programme" : Root + "Program files";
    return true;
}

// false: the pass must end here.
bool ResolveFromRegistry(TPass& Pass, TStringsKey Class, const std::string& Key,
                         const std::string& Raw)
{
    std::string Value;
    bool Found = Class == skProgramFiles
                     ? FindProgramFiles(Pass, Value)
                     : QueryText(Pass.Shell, Key.c_str(), Value, Pass.LastType) ||
                           QueryText(Pass.User, Key.c_str(), Value, Pass.LastType) ||
                           QueryText(Pass.Setup, Key.c_str(), Value, Pass.LastType);
    if (!Found && Raw.empty()) {
        ReportFailure("Error at RegQueryValue " + Key + " in HKCU\\" + ShellFolders +
                          " and HKCU\\" + UserShellFolders,
                      afFatal, "failed to read \"" + Key + "\" from Registry!");
        return false;
    }
    // An INF value is expanded like the values of the plain keys; a registry value only when
    // it is stored as an expandable string.
    if (!Found)
        Value = ExpandVars(Raw);
    else if (Pass.LastType == REG_EXPAND_SZ)
        Value = ExpandVars(Value);
    if (!Value.empty())
        Publish(Pass, Key, Value, "Shellfolder ");
    return true;
}

void RunPass(TPass& Pass)
{
    // Through the door: the values of [RegRead] that the run has written into the section by
    // now are among its keys.
    for (const TProfileLine& Line : Settings().ReadEntries(Pass.Section, Pass.SourceInf)) {
        TStringsKey Class = ClassifyStringsKey(Line.Key);
        if (Class == skPlain)
            ResolvePlain(Pass, Line.Key, Line.Value);
        else if (!ResolveFromRegistry(Pass, Class, Line.Key, Line.Value))
            return;   // no summary after a failure
    }
    if (Pass.Mode & smWriteInf) {
        std::string Changes = Pass.ChangeList.empty() ? "" : Pass.ChangeList.substr(2);
        LogLine("INF-File-Section " + std::string(Pass.Section) +
                " expanded/changed to actual Paths: " + Changes);
    }
}

HKEY OpenForQuery(HKEY Root, const char* SubKey)
{
    HKEY Key = nullptr;
    return RegOpenKeyExA(Root, SubKey, 0, KEY_QUERY_VALUE, &Key) == ERROR_SUCCESS ? Key : nullptr;
}

}   // namespace

void ExpandStringsSection(int Mode, const std::string& SourceInf, const std::string& TargetInf,
                          const char* Section)
{
    TPass Pass{Mode, SourceInf, TargetInf, Section, nullptr, nullptr, nullptr, REG_NONE, ""};
    Pass.Setup = OpenForQuery(HKEY_LOCAL_MACHINE, SetupKey);
    Pass.User = OpenForQuery(HKEY_CURRENT_USER, UserShellFolders);
    if (Pass.User != nullptr)
        Pass.Shell = OpenForQuery(HKEY_CURRENT_USER, ShellFolders);
    if (Pass.User == nullptr || Pass.Shell == nullptr) {
        ReportFailure("Error at RegOpenKey", afFatal,
                      "failed to read \"User Shell Folder\" or \"Shell Folder\" from Registry!");
    } else {
        RunPass(Pass);
    }
    for (HKEY Key : {Pass.Setup, Pass.User, Pass.Shell})
        if (Key != nullptr)
            RegCloseKey(Key);
}

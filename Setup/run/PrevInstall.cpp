#include "Setup/run/PrevInstall.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/CaseText.h"
#include "Rules/PathParts.h"
#include "Rules/UninstallText.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Log.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"
#include "Setup/run/InfDiscovery.h"

namespace {

const char* const SetupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char* const CurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A value read whole and taken as text whatever its type: a long uninstall command still ends
// with the INF path, which a cut would lose.
LONG QueryText(HKEY Key, const char* Name, std::string& Value)
{
    for (;;) {
        DWORD Size = 0;
        LONG Status = RegQueryValueExA(Key, Name, nullptr, nullptr, nullptr, &Size);
        if (Status != ERROR_SUCCESS)
            return Status;
        std::vector<char> Buf(Size + 1);
        Status = RegQueryValueExA(Key, Name, nullptr, nullptr, reinterpret_cast<BYTE*>(Buf.data()),
                                  &Size);
        if (Status == ERROR_MORE_DATA)
            continue;   // the value grew between the two queries
        if (Status != ERROR_SUCCESS)
            return Status;
        Buf[Size] = 0;   // a stored value need not end in NUL
        Value = Buf.data();
        return ERROR_SUCCESS;
    }
}

// Opens SubKey of HKEY_LOCAL_MACHINE for query and reads Name; the key is closed again.
LONG QueryMachineValue(const char* SubKey, const char* Name, std::string& Value)
{
    HKEY Key;
    LONG Status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKey, 0, KEY_QUERY_VALUE, &Key);
    if (Status != ERROR_SUCCESS)
        return Status;
    Status = QueryText(Key, Name, Value);
    RegCloseKey(Key);
    return Status;
}

bool FileExists(const std::string& Path)
{
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t LastWriteTime(const std::string& Path)
{
    int64_t Time;
    std::string Text;
    GetFileDate(Path.c_str(), fdLastWrite, Time, Text);
    return Time;
}

// The INF copy that the uninstall entry of the first [RegWriteUninstall] line names, when it
// exists and is signed; empty otherwise.
std::string RegistryInf(const std::string& SourceInfPath)
{
    std::vector<std::string> Keys = ReadKeyList("RegWriteUninstall", SourceInfPath);
    if (Keys.empty())
        return std::string();
    std::string Name = Keys[0];
    if (SameText(Name, "ErrSection"))
        Name = Keys.size() > 1 ? Keys[1] : std::string();
    if (Name.empty())
        return std::string();
    // The line is taken as written: the entry is always below HKEY_LOCAL_MACHINE.
    std::string SubKey;
    if (!LineSubKey(ReadProfile("RegWriteUninstall", Name.c_str(), SourceInfPath), SubKey))
        return std::string();
    std::string Command;
    if (QueryMachineValue(SubKey.c_str(), "UninstallString", Command) != ERROR_SUCCESS)
        return std::string();
    std::string Path = UninstallInfPath(Command);
    if (Path.empty() || !FileExists(Path) || !HasInfExtension(Path))
        return std::string();
    LogLine("In Registry-Uninstall reference to previous INF found: " + Path);
    if (CheckInfSignature(Path) == 0) {
        LogLine("Signature-Check failed for this INF, so ignored ");
        return std::string();
    }
    return Path;
}

}   // namespace

std::string GetInfDirectory()
{
    std::string Dir;
    bool Found = false;
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SetupKey, 0, KEY_QUERY_VALUE, &Key) == ERROR_SUCCESS) {
        LONG Status = QueryText(Key, "SetupScratchDir", Dir);
        RegCloseKey(Key);
        // An empty value names no directory: the INF copy would land in the root of the
        // current drive. It counts as a missing one.
        if (Status == ERROR_FILE_NOT_FOUND || (Status == ERROR_SUCCESS && Dir.empty()))
            Dir = "%windir%\\inf";
        Found = Status == ERROR_SUCCESS || Status == ERROR_FILE_NOT_FOUND;
    }
    if (!Found) {
        // DevicePath may list several directories; the list as a whole is no directory.
        std::string List;
        if (QueryMachineValue(CurrentVersionKey, "DevicePath", List) == ERROR_SUCCESS) {
            Dir = FirstDevicePath(List);
            Found = !Dir.empty();
        }
    }
    if (!Found)
        Dir = "%windir%\\INF";
    // The INF copy and the uninstall command that names it go where the system keeps INF files,
    // not where an environment handed down by another process points windir or SystemRoot.
    return ExpandSystemVars(Dir);
}

std::string FindPreviousInf(const std::string& SourceInfPath, const std::string& TargetInfPath)
{
    std::string FromRegistry = RegistryInf(SourceInfPath);
    std::string Installed;
    if (FileExists(TargetInfPath)) {
        if (CheckInfSignature(TargetInfPath) != 0)
            Installed = TargetInfPath;
        else
            LogLine("Signature-Check failed for " + TargetInfPath + ", so ignored ");
    }
    if (FromRegistry.empty())
        return Installed;
    // The registry's copy wins even when the one in the INF directory is newer; only an older
    // one there is removed, as the copy of this run replaces it anyway.
    if (!Installed.empty() && LastWriteTime(FromRegistry) > LastWriteTime(Installed)) {
        LogLine("using the newer " + FromRegistry);
        // "sucessfully" is the program's established wording.
        if (Files().Remove(Installed))
            LogLine("older " + Installed + " sucessfully deleted!");
        else
            LogLine("failed to delete older " + Installed + ", ignored!");
    }
    return FromRegistry;
}

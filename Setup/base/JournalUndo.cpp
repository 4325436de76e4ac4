// The undoing of a journal's records, change by change, for the run that wrote them or for a
// later run after it was killed: each undoing is logged, and so is what could not be undone.
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Journal.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/RegKeys.h"
#include "Setup/base/WinText.h"

namespace {
// What could not be undone, and why: the system's Code.
void Failed(const std::string& What, LONG Code, int& NotUndone)
{
    std::string Reason;
    SystemErrorText(DWORD(Code), 0, Reason);
    LogLine(NotUndoneLine(What, DWORD(Code), Reason));
    ++NotUndone;
}

// The key Root\Path when it holds neither keys nor values: a key the run made, unless someone
// else put something in it meanwhile.
LONG RemoveEmptyKey(HKEY Root, const std::string& Path)
{
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &Key);
    if (Code != ERROR_SUCCESS)
        return Code;
    DWORD Keys = 0, Values = 0;
    Code = RegQueryInfoKeyA(Key, nullptr, nullptr, nullptr, &Keys, nullptr, nullptr, &Values,
                            nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(Key);
    if (Code != ERROR_SUCCESS)
        return Code;
    return Keys || Values ? LONG(ERROR_DIR_NOT_EMPTY) : RegDeleteKeyA(Root, Path.c_str());
}

void UndoKey(HKEY Root, const std::string& Name, std::string Path, const std::string& Top,
             int& NotUndone)
{
    for (; Path.size() >= Top.size();
         Path.resize(Path.rfind('\\') == std::string::npos ? 0 : Path.rfind('\\'))) {
        LONG Code = RemoveEmptyKey(Root, Path);
        std::string What = Name + "\\" + Path;
        if (Code == ERROR_SUCCESS)
            LogLine(RemovedLine(What));
        else if (Code == ERROR_DIR_NOT_EMPTY)
            LogLine(StaysLine(What, "it holds what the run did not make"));
        else if (Code != ERROR_FILE_NOT_FOUND)
            Failed(What, Code, NotUndone);
        if (Path.empty() || Code != ERROR_SUCCESS)
            return;
    }
}

void UndoValue(HKEY Root, const std::vector<std::string>& Fields, int& NotUndone)
{
    std::string What = ValueWhat(Fields[0] + "\\" + Fields[1], Fields[2]);
    unsigned long Type = REG_NONE;
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, Fields[1].c_str(), 0, KEY_SET_VALUE, &Key);
    if (Code == ERROR_FILE_NOT_FOUND && Fields[3] == "0")
        return;   // the key went, and the value with it
    if (Code == ERROR_SUCCESS) {
        if (Fields[3] == "1" && ParseHexNumber(Fields[4], Type))
            Code = RegSetValueExA(Key, Fields[2].c_str(), 0, DWORD(Type),
                                  reinterpret_cast<const BYTE*>(Fields[5].data()),
                                  DWORD(Fields[5].size()));
        else
            Code = RegDeleteValueA(Key, Fields[2].c_str());
        RegCloseKey(Key);
    }
    if (Code == ERROR_SUCCESS)
        LogLine(Fields[3] == "1" ? RestoredLine(What) : RemovedLine(What));
    else if (Code != ERROR_FILE_NOT_FOUND)
        Failed(What, Code, NotUndone);
}

// Whether a folder above Path is a link now: what the journal names there is not reached through
// it, since the link may lead anywhere.
bool ThroughLink(const std::string& Path)
{
    for (std::string Part = DirectoryPart(Path); Part.size() > 3;) {
        DropOneTrailingBackslash(Part);
        DWORD Found = GetFileAttributesA(Part.c_str());
        if (Found != INVALID_FILE_ATTRIBUTES && (Found & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
        Part = DirectoryPart(Part);
    }
    return false;
}

// Whether a record (perhaps a killed run's) names what a run of ours writes: a full path, a kept
// file of ours beside the file it stands for, the waiting file of the file it replaces.
bool Plausible(const TJournalRecord& Record)
{
    const std::string& Path = Record.Fields[0];
    bool Full = Path.size() > 3 && ((Path[1] == ':' && Path[2] == '\\') || Path[0] == '\\');
    const std::string& Other = Record.Fields.size() > 1 ? Record.Fields[1] : Path;
    if (Record.Kind == jkWaiting || Record.Kind == jkWithdrawn)
        return Full && lstrcmpiA(Other.c_str(), WaitingFor(Path).c_str()) == 0;
    if (Record.Kind != jkKept)
        return Full;
    return Full && IsKeptFileName(FileNamePart(Other)) &&
           lstrcmpiA(DirectoryPart(Other).c_str(), DirectoryPart(Path).c_str()) == 0;
}

// What could not be undone, and why: the system's code in GetLastError.
void Failed(const std::string& What, int& NotUndone)
{
    Failed(What, LONG(GetLastError()), NotUndone);
}

bool Missing()
{
    DWORD Code = GetLastError();
    return Code == ERROR_FILE_NOT_FOUND || Code == ERROR_PATH_NOT_FOUND;
}

void UndoFolder(const std::string& Path, int& NotUndone)
{
    // A killed run's temporary files and folders go first: they are the run's own too.
    if (RemoveDirectoryA(Path.c_str()) ||
        (GetLastError() == ERROR_DIR_NOT_EMPTY && (RemoveStaleTemps(Path), true) &&
         RemoveDirectoryA(Path.c_str())))
        LogLine(RemovedLine(Path));
    else if (GetLastError() == ERROR_DIR_NOT_EMPTY)
        LogLine(StaysLine(Path, "it holds what the run did not make"));
    else if (!Missing())
        Failed(Path, NotUndone);
}

void UndoNewFile(const std::string& Path, int& NotUndone)
{
    // A killed run's temporary files beside it go too (once a folder).
    RemoveStaleTemps(DirectoryPart(Path));
    if (GetFileAttributesA(Path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;   // the write failed before the file was there
    if (DeleteOwnFile(Path))
        LogLine(RemovedLine(Path));
    else
        Failed(Path, NotUndone);
}

void UndoKept(const std::string& Path, const std::string& Kept, int& NotUndone)
{
    if (MoveFileExA(Kept.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ProfileFileReplaced(Path);
        LogLine(RestoredLine(Path));
    } else if (!Missing() || GetFileAttributesA(Path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Failed(Path, NotUndone);
    }
}

void UndoAttributes(const std::string& Path, const std::string& Old, int& NotUndone)
{
    unsigned long Attributes;
    if (ParseHexNumber(Old, Attributes) && SetFileAttributesA(Path.c_str(), DWORD(Attributes)))
        LogLine(RestoredLine(Path));
    else if (!Missing())
        Failed(Path, NotUndone);
}

}   // namespace

bool UndoFileRecord(const TJournalRecord& Record, int& NotUndone)
{
    const std::vector<std::string>& Fields = Record.Fields;
    switch (Record.Kind) {
    case jkFolder:
    case jkNewFile:
    case jkKept:
    case jkAttributes:
    case jkWaiting:
    case jkWithdrawn:
        break;
    default:
        return false;
    }
    if (!Plausible(Record) || ThroughLink(Fields[0])) {
        SetLastError(ERROR_INVALID_DATA);
        Failed(Fields[0], NotUndone);
        return true;
    }
    if (Record.Kind == jkFolder)
        UndoFolder(Fields[0], NotUndone);
    else if (Record.Kind == jkNewFile)
        UndoNewFile(Fields[0], NotUndone);
    else if (Record.Kind == jkKept)
        UndoKept(Fields[0], Fields[1], NotUndone);
    else if (Record.Kind == jkAttributes)
        UndoAttributes(Fields[0], Fields[1], NotUndone);
    else if (Record.Kind == jkWaiting && WithdrawRestart(Fields[1]))
        LogLine(WithdrawnLine(Fields[0]));
    else if (Record.Kind == jkWithdrawn && RestartReplaces(Fields[1], Fields[0]))
        LogLine(RestoredLine(Fields[1]));
    else
        Failed(Fields[0], NotUndone);
    return true;
}

void DropKept(const TJournalRecord& Record)
{
    if (Record.Kind == jkKept && Plausible(Record))
        DeleteOwnFile(Record.Fields[1]);
}

bool UndoSettingsRecord(const TJournalRecord& Record, int& NotUndone)
{
    if (Record.Kind != jkKey && Record.Kind != jkValue)
        return false;
    HKEY Root = RootKeyOf(Record.Fields[0].c_str());
    if (Root == nullptr)
        Failed(Record.Fields[0] + "\\" + Record.Fields[1], ERROR_INVALID_DATA, NotUndone);
    else if (Record.Kind == jkKey)
        UndoKey(Root, Record.Fields[0], Record.Fields[1], Record.Fields[2], NotUndone);
    else
        UndoValue(Root, Record.Fields, NotUndone);
    return true;
}

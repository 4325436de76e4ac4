// The file door of a run that undoes itself: each change is noted in the journal before the real
// door makes it, and what it would destroy is kept aside; the undoing of those records.
#include "Setup/base/FileDoor.h"

#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Journal.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/WinText.h"

namespace {

class TJournalFiles : public TFileDoor {
public:
    bool IsFolder(const std::string& Path) override { return Real.IsFolder(Path); }
    bool MakeFolder(const std::string& Path) override
    {
        if (!Note(jkFolder, {Path}, false))
            return false;
        bool Made = Real.MakeFolder(Path);
        if (!Made)
            VoidLast();
        return Made;
    }
    DWORD Attributes(const std::string& Path) override
    {
        Looked = Path;
        return LookedFound = Real.Attributes(Path);
    }
    const std::string& ReadFrom(const std::string& Path) override { return Real.ReadFrom(Path); }
    std::vector<TFoundEntry> Find(const std::string& Dir, const std::string& Pattern) override
    {
        return Real.Find(Dir, Pattern);
    }
    bool InUse(const std::string& Path) override { return Real.InUse(Path); }
    bool Install(HANDLE Source, const std::string& From, const std::string& To) override
    {
        // A replacement that an earlier run left waiting for the restart is taken back by the
        // copy: the journal keeps its waiting file and the way to schedule it again.
        if (ReplacementWaits(To) && !KeepWaiting(To))
            return false;
        // The copy decision looked at To just before: that look serves the journal too. A file
        // in use is not moved aside (a running program could be): the copy fails as it would
        // without the journal, and the run asks or waits for the restart as it always did.
        DWORD Found = Looked == To ? LookedFound : Real.Attributes(To);
        if (Found != INVALID_FILE_ATTRIBUTES && Real.InUse(To))
            return Real.Install(Source, From, To);
        TReplacing Replacing;
        if (!BeforeWhole(To, Replacing, Found))
            return false;
        bool Installed = Real.Install(Source, From, To);
        AfterWhole(To, Replacing, Installed);
        return Installed;
    }
    bool InstallAtRestart(HANDLE Source, const std::string& From, const std::string& To,
                          bool& Refused) override
    {
        Refused = false;
        std::string Waiting = WaitingFor(To);
        TReplacing Replacing;
        // An earlier run's waiting file is replaced, and its rename stays scheduled; a new one
        // has its rename taken back with it.
        bool Ready = Real.Attributes(Waiting) != INVALID_FILE_ATTRIBUTES
                         ? BeforeWhole(Waiting, Replacing)
                         : (Replacing.Noted = Note(jkWaiting, {To, Waiting}, false));
        if (!Ready)
            return false;
        bool Done = Real.InstallAtRestart(Source, From, To, Refused);
        AfterWhole(Waiting, Replacing, Done);
        return Done;
    }
    bool Remove(const std::string& Path) override
    {
        // Removed is moved aside: a kept run drops it, an undone one puts it back.
        TReplacing Replacing;
        if (!BeforeWhole(Path, Replacing))
            return false;
        if (Replacing.Kept.empty()) {
            AfterWhole(Path, Replacing, false);
            return Real.Remove(Path);
        }
        return true;
    }
    bool SetAttributes(const std::string& Path, DWORD Attributes) override
    {
        DWORD Old = Real.Attributes(Path);
        if (!MadeWhole(Path) && Old != INVALID_FILE_ATTRIBUTES &&
            !Note(jkAttributes, {Path, HexNumber(Old)}, true))
            return false;
        return Real.SetAttributes(Path, Attributes);
    }
    bool MayWriteIn(const std::string& Dir) override { return Real.MayWriteIn(Dir); }
    void RemoveStaleTemps(const std::string& Dir) override { Real.RemoveStaleTemps(Dir); }
    bool RemoveKilledFolder(HANDLE Folder, DWORD Serial) override
    {
        return Real.RemoveKilledFolder(Folder, Serial);
    }

private:
    TFileDoor& Real = RealFileDoor();
    std::string Looked;   // the path that the last look at attributes asked about
    DWORD LookedFound = INVALID_FILE_ATTRIBUTES;

    // The waiting file of To kept aside, and noted how its rename is scheduled again.
    bool KeepWaiting(const std::string& To)
    {
        std::string Waiting = WaitingFor(To);
        TReplacing Replacing;
        if (!Note(jkWithdrawn, {To, Waiting}, true))
            return false;
        if (Real.Attributes(Waiting) == INVALID_FILE_ATTRIBUTES)
            return true;
        bool Kept = BeforeWhole(Waiting, Replacing);
        AfterWhole(Waiting, Replacing, Kept);
        return Kept;
    }
};

TJournalFiles JournalFiles;

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

// Whether a record of a killed run names what a run of ours writes: a full path, and a kept
// file of ours beside the file it stands for.
bool Plausible(const TJournalRecord& Record)
{
    const std::string& Path = Record.Fields[0];
    bool Full = Path.size() > 3 && ((Path[1] == ':' && Path[2] == '\\') || Path[0] == '\\');
    if (Record.Kind != jkKept)
        return Full;
    const std::string& Kept = Record.Fields[1];
    return Full && IsKeptFileName(FileNamePart(Kept)) &&
           lstrcmpiA(DirectoryPart(Kept).c_str(), DirectoryPart(Path).c_str()) == 0;
}

void Failed(const std::string& What, int& NotUndone)
{
    std::string Reason;
    DWORD Code = GetLastError();
    SystemErrorText(Code, 0, Reason);
    LogLine(NotUndoneLine(What, Code, Reason));
    ++NotUndone;
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

TFileDoor& JournalFileDoor()
{
    return JournalFiles;
}

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
    if (Record.Kind == jkKept)
        DeleteOwnFile(Record.Fields[1]);
}

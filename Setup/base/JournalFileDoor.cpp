// The file door of a run that undoes itself: each change is noted in the journal before the real
// door makes it, and what it would destroy is kept aside (JournalUndo.cpp undoes the records).
#include "Setup/base/FileDoor.h"

#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Journal.h"

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
        if (!Kept)
            VoidLast();   // nothing is withdrawn: the copy is not made
        return Kept;
    }
};

TJournalFiles JournalFiles;

}   // namespace

TFileDoor& JournalFileDoor()
{
    return JournalFiles;
}

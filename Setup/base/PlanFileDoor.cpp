// The plan's door to folders and files: it changes nothing. What the run would make it keeps in
// its books, so that the later looks find it there as they would after the run's changes, and it
// asks the system whether the run would have the right to make it.
#include "Setup/base/FileDoor.h"

#include <algorithm>

#include "Rules/CaseText.h"
#include "Rules/FilesText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Plan.h"
#include "Setup/base/PlanBooks.h"

namespace {

// A plan copies nothing: it asks whether the file could be written, and whether a program holds
// it now, which would make the copy fail as one that is in use. The run's move over such a file
// is refused as access denied, whether the file runs, is loaded or is held open: the plan says
// the run's code, not the sharing violation of its own look. The file it would have installed
// is then in its books as From's bytes. Without Source, From is opened as the run opens it.
bool PlanCopy(HANDLE Source, const std::string& From, const std::string& To)
{
    if (Source == INVALID_HANDLE_VALUE) {
        Source = CreateFileA(From.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        if (Source == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(Source);
    }
    if (!PlanHasFile(To) && GetFileAttributesA(To.c_str()) != INVALID_FILE_ATTRIBUTES &&
        FileInUseNow(To)) {
        PlanLine("in use now: " + To);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (!MayWriteFile(To))
        return false;
    PlanAddFile(To, From);
    return true;
}

// Puts Entry among the entries of a search where a file system that keeps names in order (as NTFS
// does) lists it: before the first name after it, letter case ignored; "." and ".." stay first.
void InsertInOrder(std::vector<TFoundEntry>& Entries, const TFoundEntry& Entry)
{
    std::string Folded = FoldedText(Entry.Name);
    auto At = Entries.begin();
    while (At != Entries.end() &&
           (At->Name == "." || At->Name == ".." || FoldedText(At->Name) < Folded))
        ++At;
    Entries.insert(At, Entry);
}

class TPlanFiles : public TFileDoor {
public:
    bool IsFolder(const std::string& Path) override
    {
        return RealFileDoor().IsFolder(Path) || PlanMadeDir(Path);
    }
    bool MakeFolder(const std::string& Path) override { return PlanMakeDir(Path); }
    // A file that the plan installed has its source's attributes as a copy gets them; in a
    // folder that the plan made, nothing else is.
    DWORD Attributes(const std::string& Path) override
    {
        if (const std::string* Source = PlanFileSource(Path)) {
            DWORD Of = GetFileAttributesA(Source->c_str());
            DWORD Copied = CopiedAttributes(Of == INVALID_FILE_ATTRIBUTES ? 0 : Of);
            return (Copied & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
        }
        std::string Dir = DirectoryPart(Path);
        DropOneTrailingBackslash(Dir);
        if (PlanMadeDir(Dir)) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_FILE_ATTRIBUTES;
        }
        return GetFileAttributesA(Path.c_str());
    }
    const std::string& ReadFrom(const std::string& Path) override
    {
        const std::string* Source = PlanFileSource(Path);
        return Source != nullptr ? *Source : Path;
    }
    // The search finds what the plan has made in Dir by now as well, where the run would find it.
    std::vector<TFoundEntry> Find(const std::string& Dir, const std::string& Pattern) override
    {
        std::vector<TFoundEntry> Entries = RealFileDoor().Find(Dir, Pattern);
        for (const std::string& Path : PlanMadeIn(Dir)) {
            std::string Name = FileNamePart(Path);
            bool Listed = std::any_of(Entries.begin(), Entries.end(), [&](const TFoundEntry& E) {
                return FoldedText(E.Name) == FoldedText(Name);
            });
            if (!Listed && WildcardMatch(Pattern, Name))
                InsertInOrder(
                    Entries,
                    {Name, PlanMadeDir(Path) ? FILE_ATTRIBUTE_DIRECTORY : Attributes(Path), 0});
        }
        return Entries;
    }
    // The plan's own new file is used by nobody.
    bool InUse(const std::string& Path) override
    {
        return !PlanHasFile(Path) && FileInUseNow(Path);
    }
    bool Install(HANDLE Source, const std::string& From, const std::string& To) override
    {
        return PlanCopy(Source, ReadFrom(From), To);
    }
    // A plan schedules nothing: it asks whether the system's list would take the rename.
    bool InstallAtRestart(HANDLE Source, const std::string& From, const std::string& To,
                          bool& Refused) override
    {
        Refused = false;
        std::string Waiting = WaitingFor(To);
        if (!PlanCopy(Source, ReadFrom(From), Waiting))
            return false;
        Refused = !RenameScheduled(Waiting) &&
                  MaySetValue(HKEY_LOCAL_MACHINE, SessionManagerKey) != ERROR_SUCCESS;
        if (Refused)
            SetLastError(ERROR_ACCESS_DENIED);
        return !Refused;
    }
    bool Remove(const std::string& Path) override { return MayWriteFile(Path); }
    bool SetAttributes(const std::string&, DWORD) override { return true; }
    // The run's test writes a file, which a plan never does.
    bool MayWriteIn(const std::string& Dir) override
    {
        return MayWriteFile(JoinPath(Dir, TempFileName(GetCurrentProcessId(), 0)));
    }
    // A plan removes nothing but its own.
    void RemoveStaleTemps(const std::string&) override {}
    bool RemoveKilledFolder(HANDLE, DWORD) override { return false; }
};

TPlanFiles PlanFiles;

}   // namespace

TFileDoor& PlanFileDoor()
{
    return PlanFiles;
}

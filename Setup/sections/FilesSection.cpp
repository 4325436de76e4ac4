#include "Setup/sections/FilesSection.h"

#include <windows.h>

#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/DirTree.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Log.h"
#include "Setup/base/Progress.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"
#include "Setup/sections/CopyDecision.h"
#include "Setup/sections/FilesTotal.h"

bool CopyStopped = false;

namespace {

// The destination folder of the [Files] entry being carried out, without trailing backslash.
std::string EntryDestination;

// Which entries of one directory search a walk takes.
enum TTake {
    tkAll,     // files and subdirectories that match the pattern
    tkFiles,   // files only
    tkDirs,    // subdirectories only
};

// Makes ToDir + Name if needed and walks the subdirectory into it. The walk below has its own
// "always"; this directory's remembered answer holds again afterwards.
void EnterSubdirectory(const std::string& FromDir, const std::string& Name,
                       const std::string& Pattern, const std::string& ToDir, bool Recursive)
{
    // The destination inside the folder it is copied from: mirroring it into itself would
    // never end (App\App\App...) until a path is too long. It holds nothing to install.
    if (lstrcmpiA((FromDir + "\\" + Name).c_str(), EntryDestination.c_str()) == 0)
        return;
    std::string Target = ToDir + Name;
    // A hidden or system directory counts too: making it again would fail and stop all copying.
    if (!FolderReady(Target)) {
        CopyStopped = true;
        // Copying stopped half-way: the report must not call that a success.
        ReportFailure("Error: couldn't create the directory " + Target, afFatal);
        return;
    }
    TConflictAnswer Own = SaveConflictAnswer();
    CopyTree(FromDir + "\\" + Name, Pattern, Target, Recursive);
    RestoreConflictAnswer(Own);
}

// Takes one entry that a directory search of FromDir gave; false when copying stopped.
bool TakeEntry(const std::string& FromDir, const TFoundEntry& Found, TTake Take,
               const std::string& Pattern, const std::string& ToDir, bool Recursive)
{
    const std::string& Name = Found.Name;
    bool Directory = (Found.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A killed run's half-written file or its folder for them, or a file waiting for the next
    // restart (the medium may be an earlier installation), is nothing to install.
    if (IsTempFileName(Name) || IsWaitingFileName(Name))
        return true;
    if (!Directory) {
        if (Take == tkDirs)
            return true;
        std::string To = ToDir + Name;
        ProgressItem(To.c_str(), Found.Size);
        if (!CopyOneFile(FromDir + "\\" + Name, To))
            CopyStopped = true;
    } else if (Take != tkFiles && Name != "." && Name != "..") {
        EnterSubdirectory(FromDir, Name, Pattern, ToDir, Recursive);
    }
    return !CopyStopped;
}

// The folder whose single names the keys look up one after another (scripts that name every
// file by a key of its own have thousands of them), listed once instead of searched for each.
struct TListing {
    std::string Dir;
    FILETIME Written = {0, 0};   // the folder's last-write time when it was listed
    int Lookups = 0;             // names looked up in it so far
    bool Listed = false;
    TNameIndex Index;
};
TListing Listing;

// Dir's last-write time, which a file made, removed or renamed in it changes.
bool FolderWritten(const std::string& Dir, FILETIME& Written)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExA(Dir.c_str(), GetFileExInfoStandard, &Data) ||
        !(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    Written = Data.ftLastWriteTime;
    return true;
}

// The entry called Name in the listing of FromDir; nullptr when a search must answer: a name
// that the listing lacks may still be found by one (a short name, a device, another alphabet).
const TNameIndex::TEntry* ListedEntry(const std::string& FromDir, const std::string& Name)
{
    FILETIME Written;
    if (!FolderWritten(FromDir, Written))
        return nullptr;
    if (Listing.Dir != FromDir || CompareFileTime(&Written, &Listing.Written) != 0) {
        Listing = TListing();
        Listing.Dir = FromDir;
        Listing.Written = Written;
    }
    if (++Listing.Lookups < 2)
        return nullptr;   // a single name costs less to search for than a listing
    if (!Listing.Listed) {
        Listing.Listed = true;
        for (const TFoundEntry& Entry : Files().Find(FromDir, "*"))
            Listing.Index.Add(Entry.Name, Entry.Attributes, Entry.Size);
        Listing.Index.Seal();
    }
    return Listing.Index.Find(Name);
}

// One directory search of FromDir for Search through the door, taking what Take says, in the order
// the search gives. ToDir ends in a backslash.
void Walk(const std::string& FromDir, const char* Search, TTake Take, const std::string& Pattern,
          const std::string& ToDir, bool Recursive)
{
    if (CopyStopped)
        return;
    if (IsLiteralName(Search)) {
        if (const TNameIndex::TEntry* Entry = ListedEntry(FromDir, Search)) {
            TakeEntry(FromDir, {Entry->Name, Entry->Attributes, Entry->Size}, Take, Pattern, ToDir,
                      Recursive);
            return;
        }
    }
    // Nothing that matches is no error. What the walk installs into FromDir meanwhile (the
    // destination may lie in it) is not walked: the search has listed the folder as it was.
    for (const TFoundEntry& Entry : Files().Find(FromDir, Search)) {
        if (!TakeEntry(FromDir, Entry, Take, Pattern, ToDir, Recursive))
            break;
    }
}

// Makes an entry's destination directory. When that took more than one level, each is logged at
// once; a single new level is not.
void MakeDestination(const std::string& Dir)
{
    std::string Created;
    if (CreateDirTree(Dir, Created) < 0) {
        ReportAndEnd("Error: can't create directory " + Dir + " (Access-Rights?)", true,
                     "Error: can't create directory " + Dir);
    }
    if (Created.empty())
        return;
    LogNow(Created);   // it ends in a line end already, so an empty line follows it
}

// The script's [Options] FilesInUse. A script without it fails a file in use, as every script
// before the option did; so does an unknown value (which the checker reports), said in the log.
TFilesInUse ReadFilesInUse(const std::string& SourceInfPath)
{
    std::string Text = ReadProfile(OptionsSection, FilesInUseKey, SourceInfPath);
    TFilesInUse Value = fuFail;
    if (!Text.empty() && !ParseFilesInUse(Text, Value))
        LogLine(UnknownFilesInUseLine(Text));
    return Value;
}

}   // namespace

void CopyTree(std::string FromDir, const std::string& Pattern, std::string ToDir, bool Recursive)
{
    // "always" answers for the rest of one directory, never for another one.
    DlgRec.Always = false;
    DropOneTrailingBackslash(FromDir);
    DropOneTrailingBackslash(ToDir);
    Files().RemoveStaleTemps(ToDir);   // even when every file of this folder is kept as it is
    AddTrailingBackslash(ToDir);
    if (!Recursive) {
        Walk(FromDir, Pattern.c_str(), tkAll, Pattern, ToDir, false);
        return;
    }
    Walk(FromDir, Pattern.c_str(), tkFiles, Pattern, ToDir, true);
    Walk(FromDir, "*", tkDirs, Pattern, ToDir, true);
}

void ProcessFilesSection(const std::string& SourceInfPath)
{
    CopyStopped = false;
    FilesInUse = ReadFilesInUse(SourceInfPath);
    std::string InfDir = DirectoryPart(SourceInfPath);
    std::vector<TProfileLine> Entries = ReadSection("Files", SourceInfPath);
    // The bar goes by bytes; a run that shows no window does without the count.
    ProgressStep(StepCopying, ProgressWanted() ? FilesTotal(Entries, InfDir) : 0);
    for (const TProfileLine& Line : Entries) {
        const std::string& Key = Line.Key;
        std::string Dir = Line.Value;
        if (!Dir.empty()) {
            Dir = ExpandVars(Dir);
            MakeDestination(Dir);
        } else {
            ReadEnv("MyProgramPath", Dir);   // made when the user confirmed it
        }
        Dir = ExpandVars(Dir);
        EntryDestination = Dir;
        DropOneTrailingBackslash(EntryDestination);
        TFilesKey Parts = SplitFilesKey(Key);
        CopyTree(InfDir + Parts.SubDir, Parts.Pattern, Dir, Parts.Recursive);
        FlushLogText();
    }
    RemoveStagingDirs();
}

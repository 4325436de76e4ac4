#include "Setup/sections/FilesSection.h"

#include <windows.h>

#include "Setup/base/Dialogs.h"
#include "Rules/DriverText.h"
#include "Rules/InstallText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/sections/CopyDecision.h"
#include "Rules/FilesText.h"
#include "Setup/base/Log.h"
#include "Setup/base/DirTree.h"
#include "Setup/base/VarExpand.h"

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
    if (!DirectoryExists(Target) && !CreateDirectoryA(Target.c_str(), nullptr)) {
        CopyStopped = true;
        LogLine("Error: couldn't create the directory " + Target);
        ErrorBox("Error: couldn't create the directory " + Target);
        MarkFatal();   // copying stopped half-way: the report must not call that a success
        return;
    }
    TConflictAnswer Own = SaveConflictAnswer();
    CopyTree(FromDir + "\\" + Name, Pattern, Target, Recursive);
    RestoreConflictAnswer(Own);
}

// One directory search of FromDir for Search, taking what Take says, in the order the file
// system gives. ToDir ends in a backslash.
void Walk(const std::string& FromDir, const char* Search, TTake Take, const std::string& Pattern,
          const std::string& ToDir, bool Recursive)
{
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((FromDir + "\\" + Search).c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE)
        return;   // nothing matches: no error
    for (bool More = true; More && !CopyStopped; More = FindNextFileA(Find, &Found)) {
        std::string Name = Found.cFileName;
        // A killed run's half-written file (the medium may be an earlier installation) is
        // nothing to install.
        if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempFileName(Name))
            continue;
        if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (Take != tkDirs && !CopyOneFile(FromDir + "\\" + Name, ToDir + Name))
                CopyStopped = true;
        } else if (Take != tkFiles && Name != "." && Name != "..") {
            EnterSubdirectory(FromDir, Name, Pattern, ToDir, Recursive);
        }
    }
    FindClose(Find);
}

// Makes an entry's destination directory. When that took more than one level, each is logged at
// once; a single new level is not.
void MakeDestination(const std::string& Dir)
{
    std::string Created;
    if (CreateDirTree(Dir, Created) < 0) {
        LogLine("Error: can't create directory " + Dir);
        ErrorBox("Error: can't create directory " + Dir + " (Access-Rights?)");
        FatalError();
    }
    if (Created.empty())
        return;
    // The report ends in a line end already, so an empty line follows it.
    if (!WriteLog(Created + "\r\n"))
        LogText += Created + "\r\n";
}

} // namespace

void CopyTree(std::string FromDir, const std::string& Pattern, std::string ToDir, bool Recursive)
{
    // "always" answers for the rest of one directory, never for another one.
    DlgRec.Always = false;
    DropTrailingBackslash(FromDir);
    DropTrailingBackslash(ToDir);
    RemoveStaleTemps(ToDir);   // even when every file of this folder is kept as it is
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
    std::string InfDir = DirectoryPart(SourceInfPath);
    for (const TProfileLine& Line : ReadSection("Files", SourceInfPath)) {
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
        DropTrailingBackslash(EntryDestination);
        TFilesKey Parts = SplitFilesKey(Key);
        CopyTree(InfDir + Parts.SubDir, Parts.Pattern, Dir, Parts.Recursive);
        FlushLogText();
    }
}

#include "Setup/base/PlanBooks.h"

#include <map>

#include "Rules/CaseText.h"
#include "Rules/PathParts.h"
#include "Setup/base/SettingsDoor.h"

bool MayOpen(const std::string& Path, DWORD Access, DWORD Flags)
{
    HANDLE File =
        CreateFileA(Path.c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, Flags, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(File);
    return true;
}

// Dir as the system is asked about it: "C:" alone would be the drive's current directory.
static std::string AsFolder(const std::string& Dir)
{
    return Dir.size() == 2 && Dir[1] == ':' ? Dir + "\\" : Dir;
}

bool MayAddTo(const std::string& Parent)
{
    return MayOpen(AsFolder(Parent), FILE_ADD_SUBDIRECTORY | FILE_ADD_FILE,
                   FILE_FLAG_BACKUP_SEMANTICS);
}

// The folders that the plan has made, by their names in upper case, each as the run would spell it.
static std::map<std::string, std::string> MadeDirs;

bool PlanMadeDir(const std::string& Path)
{
    return MadeDirs.count(FoldedText(Path)) != 0;
}

bool PlanMakeDir(const std::string& Path)
{
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    if (Attributes != INVALID_FILE_ATTRIBUTES || PlanMadeDir(Path))
        return false;   // there already, as a folder or a file
    size_t Cut = Path.find_last_of('\\');
    if (Cut == std::string::npos)
        return false;
    std::string Parent = Path.substr(0, Cut);
    DWORD ParentAttributes = GetFileAttributesA(AsFolder(Parent).c_str());
    bool Made =
        PlanMadeDir(Parent) || (ParentAttributes != INVALID_FILE_ATTRIBUTES &&
                                (ParentAttributes & FILE_ATTRIBUTE_DIRECTORY) && MayAddTo(Parent));
    if (Made)
        MadeDirs.emplace(FoldedText(Path), Path);
    return Made;
}

// A file that the plan has installed: as the run would spell it, and the file whose bytes it
// would hold.
struct TPlannedFile {
    std::string Path, Source;
};
// By their names in upper case.
static std::map<std::string, TPlannedFile> PlannedFiles;

void PlanAddFile(const std::string& Path, const std::string& Source)
{
    PlannedFiles[FoldedText(Path)] = {Path, Source};
}

const std::string* PlanFileSource(const std::string& Path)
{
    auto Found = PlannedFiles.find(FoldedText(Path));
    return Found != PlannedFiles.end() ? &Found->second.Source : nullptr;
}

std::vector<std::string> PlanMadeIn(const std::string& Dir)
{
    std::string Folded = FoldedText(Dir);
    AddTrailingBackslash(Folded);
    std::vector<std::string> Made;
    auto TakeIn = [&](const std::string& Key, const std::string& Path) {
        if (Key.size() > Folded.size() && Key.compare(0, Folded.size(), Folded) == 0 &&
            Key.find('\\', Folded.size()) == std::string::npos)
            Made.push_back(Path);
    };
    for (const auto& Folder : MadeDirs)
        TakeIn(Folder.first, Folder.second);
    for (const auto& File : PlannedFiles)
        TakeIn(File.first, File.second.Path);
    return Made;
}

bool PlanHasFile(const std::string& Path)
{
    return PlanFileSource(Path) != nullptr;
}

LONG MaySetValue(HKEY Root, const std::string& SubKey)
{
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_SET_VALUE, &Key);
    if (Code == ERROR_SUCCESS)
        RegCloseKey(Key);
    // A key the run would create first takes its values.
    if (Code != ERROR_FILE_NOT_FOUND)
        return Code;
    HKEY Parent;
    size_t Cut;
    Code = OpenKeyParent(Root, SubKey, Parent, Cut);
    if (Code == ERROR_SUCCESS)
        RegCloseKey(Parent);
    return Code;
}

bool MayWriteFile(const std::string& Path)
{
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    if (Attributes != INVALID_FILE_ATTRIBUTES || PlanHasFile(Path)) {
        // A folder of the file's name is no file that writing could open.
        if (PlanHasFile(Path) || (!(Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                  MayOpen(Path, GENERIC_WRITE, FILE_FLAG_BACKUP_SEMANTICS)))
            return true;
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string Dir = DirectoryPart(Path);
    DropOneTrailingBackslash(Dir);
    if (PlanMadeDir(Dir) || MayAddTo(Dir))
        return true;
    Attributes = GetFileAttributesA(AsFolder(Dir).c_str());
    SetLastError(Attributes == INVALID_FILE_ATTRIBUTES ? ERROR_PATH_NOT_FOUND
                                                       : ERROR_ACCESS_DENIED);
    return false;
}

#include "Setup/sections/StartMenu.h"

#include <windows.h>

#include <vector>

#include "Rules/LinkText.h"
#include "Setup/base/DirTree.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

namespace {

const char* const UserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The 8.3 form of an existing path, read whole; false when the system has none.
bool ShortPath(const std::string& Path, std::string& Short)
{
    std::vector<char> Buf(MAX_PATH);
    for (;;) {
        DWORD Need = GetShortPathNameA(Path.c_str(), Buf.data(), DWORD(Buf.size()));
        if (Need == 0)
            return false;
        if (Need < Buf.size()) {
            Short.assign(Buf.data(), Need);
            return true;
        }
        Buf.resize(Need);   // Need counts the NUL when the buffer was too small
    }
}

// The value "Programs" of the User Shell Folders key, its references expanded when it is stored
// as an expandable string; false when it can't be read.
bool ReadProgramsValue(HKEY Key, std::string& Folder)
{
    DWORD Type = REG_NONE, Size = 0;
    if (RegQueryValueExA(Key, "Programs", nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
        return false;
    std::vector<char> Buf(Size + 1);
    if (RegQueryValueExA(Key, "Programs", nullptr, &Type, reinterpret_cast<BYTE*>(Buf.data()),
                         &Size) != ERROR_SUCCESS)
        return false;
    Buf[Size] = 0;   // a stored value need not end in NUL
    Folder = Type == REG_EXPAND_SZ ? ExpandVars(Buf.data()) : std::string(Buf.data());
    return true;
}

// The target, arguments and working directory of a link, the rundll rule applied.
void LinkCommand(const TLinkLine& Fields, std::string& Target, std::string& Arguments,
                 std::string& WorkDir)
{
    Target = Fields.Target;
    if (!IsRundllCase(Fields)) {
        Arguments = Fields.Arguments;
        WorkDir = Fields.WorkDir;
        return;
    }
    TRundllLink Link = RundllLink(Fields);
    Arguments = Link.Arguments;
    WorkDir = Link.WorkDir;
    if (Link.ShortDll) {
        // Without a short form the long one is the best there is.
        std::string Dll;
        if (!ShortPath(Link.DllPath, Dll))
            Dll = Link.DllPath;
        Arguments = Dll + Arguments;
    }
}

// Creates the link of one expanded line. False when the line ends the section: it has no target,
// or its link could not be written. Failures counts each failure.
bool CreateLineLink(const std::string& Line, const std::string& LinkDir, int& Failures)
{
    TLinkLine Fields;
    if (!SplitLinkLine(Line, Fields)) {
        // LF before CR and no line end after: the program's own form of this line. The wording
        // names [SetMnuLNK] whichever section the line came from.
        LogPart("\n\rin [SetMnuLNK] cmd not found behind lnk-FileName");
        ++Failures;
        return false;
    }
    std::string LinkPath = LinkFilePath(Fields.Name, LinkDir);

    // LinkDir is made for every line, also one whose link has a directory of its own. An empty
    // one (the fallback's sections) names no directory to make.
    if (!LinkDir.empty()) {
        std::string DirLog;
        if (CreateDirTree(LinkDir, DirLog) < 0)
            ++Failures;
        if (!DirLog.empty())
            LogNow(DirLog);   // the registry sections' fallback comes before the log file is open
    }

    // The path is expanded once more, within a fixed limit: a longer one ends the run.
    std::string LinkFile = ExpandEnvPasString(LinkPath);
    std::string Status = "created";
    std::string Date;
    if (Settings().LinkDate(LinkFile, Date))
        Status = Date + " replaced";

    TLinkFields Link;
    LinkCommand(Fields, Link.Target, Link.Arguments, Link.WorkDir);
    Link.IconFile = Fields.IconFile;
    Link.IconIndex = IconIndexOf(Fields.IconIndex);
    if (!Settings().CreateLink(Link, LinkFile)) {
        ReportFailure("Error: can't create Link " + LinkFile, afGoOn, "Error: can't create Link");
        ++Failures;
        return false;
    }
    LogLine(LinkPath + "\t" + Status);
    User().IntoProfile(LinkFile, LinkFile);
    return true;
}

}   // namespace

int LocateProgramsMenu(std::string& Folder, const std::string& InfPath)
{
    HKEY Key;
    bool Found = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UserShellFolders, 0, KEY_QUERY_VALUE, &Key) ==
        ERROR_SUCCESS) {
        // A key without a readable "Programs" names no folder either: links put anywhere else
        // would be lost to the user.
        Found = ReadProgramsValue(Key, Folder);
        RegCloseKey(Key);
    }
    if (!Found) {
        ReportFailure("Error: can't locate StartMenu\\Programs directory", afWarning);
        return -1;
    }
    if (Folder.empty() || Folder.back() != '\\')
        Folder += '\\';
    // The name as the run left it in the INF: [Strings] has put its value there, expanded.
    Folder += Settings().ReadEntry("Strings", "LnkName", InfPath);
    if (!SetEnv("MenuPath", Folder)) {
        ReportFailure("Error: can't set environment variable", afFatal);
        return -1;
    }
    WriteProfile("Strings", "MenuPath", Folder, InfPath);
    return 0;
}

int CreateSectionLinks(const std::string& Section, const std::string& LinkDir,
                       const std::string& InfPath)
{
    int Failures = 0;
    for (const std::string& Key : ReadKeyList(Section.c_str(), InfPath)) {
        std::string Raw = ReadProfile(Section.c_str(), Key.c_str(), InfPath);
        if (Raw.empty())
            continue;
        // Read and expanded whole; only the link's path has a fixed limit.
        if (!CreateLineLink(ExpandVars(Raw), LinkDir, Failures))
            break;
    }
    return Failures;
}

void SetStartMenuLinks(const std::string& TargetInf, const std::string& SourceInf, bool UseSetupx)
{
    std::string Folder;
    if (!ReadEnv("MyStartMenu", Folder) || Folder.empty()) {
        // The first link line creates the folder.
        if (LocateProgramsMenu(Folder, TargetInf) != 0)
            Folder.clear();
        FlushLogText();
    } else {
        std::string DirLog;
        int Made = CreateDirTree(Folder, DirLog);
        FlushLogText();
        if (Made < 0) {
            // The Programs folder takes the place of one that can't be made.
            if (LocateProgramsMenu(Folder, TargetInf) == 0) {
                FlushLogText();
                Made = CreateDirTree(Folder, DirLog);
            }
            FlushLogText();
        }
        if (Made < 0) {
            // "Menue" is the program's own spelling.
            ReportAndEnd("Error: can't find or create Start Menue directory", true,
                         "Error: can't find or create Start Menue directory " + Folder);
        }
        LogNow(DirLog);
        std::string Short;
        if (UseSetupx && ShortPath(Folder, Short))
            Folder = Short;
    }
    WriteProfile("Strings", "MyStartMenu", Folder, TargetInf);
    SetEnv("MyStartMenu", Folder);
    std::string LinkDir;
    ReadEnv("MyStartMenu", LinkDir);
    ErrorCount += CreateSectionLinks("SetMnuLNK", LinkDir, SourceInf);
    FlushLogText();
}

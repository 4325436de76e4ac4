#include "Setup/base/Plan.h"

#include <map>
#include <set>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/JsonText.h"
#include "Rules/MessageText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"

bool Planning = false;
bool PlanShown = false;

void StartPlan()
{
    Planning = true;
    PlanShown = !Switches.Quiet;
    Switches.Quiet = true;
}

void PlanLine(const std::string& Text)
{
    LogLine("Plan: " + Text);
}

bool IsLocalSystem(PSID Sid)
{
    return IsWellKnownSid(Sid, WinLocalSystemSid) != FALSE;
}

bool RunsAsSystem()
{
    HANDLE Token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token))
        return false;
    struct {
        TOKEN_USER User;
        BYTE Sid[SECURITY_MAX_SID_SIZE];   // the user's SID follows the record
    } Info;
    DWORD Size = 0;
    bool System = GetTokenInformation(Token, TokenUser, &Info, sizeof Info, &Size) &&
                  IsLocalSystem(Info.User.User.Sid);
    CloseHandle(Token);
    return System;
}

void PlanSystemProfile(const std::string& What, const std::string& Path)
{
    std::string Profile;
    if (!Planning || !RunsAsSystem())
        return;
    if (!Path.empty() &&
        !(ReadEnv("USERPROFILE", Profile) && IsAtOrBelow(FoldedText(Path), FoldedText(Profile))))
        return;
    PlanLine(What + " would go into SYSTEM's own profile, where no user sees it: the run is as "
                    "SYSTEM (as deployment tools run it)");
}

void PlanQuestion(int Answer)
{
    std::string Field = DlgRec.Buf != nullptr ? DlgRec.Buf : "";
    // A quiet run asks nothing: it takes what the plan takes.
    std::string Asks = PlanShown ? "would ask \"" : "would take the answer to \"";
    std::string Taken = DlgRec.Preset != 0 ? "the recorded answer" : "the default";
    switch (DlgRec.Kind) {
    case dkContinue:
        PlanLine(Asks + OneLine(DlgRec.Text) +
                 "\": Continue goes on, Cancel ends the run with nothing installed");
        break;
    case dkInstallPath:
        PlanLine(std::string(PlanShown ? "would ask for" : "would take") +
                 " the installation folder, proposing " + Field +
                 (Answer == IDOK ? "; taken" : "; not taken: the run ends"));
        return;
    case dkFileConflict:
        PlanLine(Asks + OneLine(DlgRec.Text) +
                 "\": Skip keeps the installed file, Overwrite replaces it" +
                 (DlgRec.Backup ? " after a backup" : "") + ", Cancel ends the run");
        break;
    case dkInUse:
        PlanLine(Asks + OneLine(DlgRec.Text) +
                 "\": Retry weighs the file again, Replace at restart replaces it when Windows "
                 "starts next, Cancel ends the run");
        break;
    default:
        return;
    }
    PlanLine(std::string("taking ") + Taken + ": " +
             (Answer == idOverwrite           ? "Overwrite"
              : Answer == idAtRestart         ? "Replace at restart"
              : Answer == IDCANCEL            ? "Cancel"
              : DlgRec.Kind == dkFileConflict ? "Skip"
                                              : "Continue"));
}

void PlanVariables(const std::string& InfPath)
{
    std::vector<std::string> Names = {"MyProgramPath", "InfPath", "ProjectVersion", "rundll",
                                      "setupx"};
    for (const char* Section : {"RegRead", "Strings"})
        for (const std::string& Key : ReadKeyList(Section, InfPath))
            Names.push_back(Key);
    std::set<std::string> Told;
    for (const std::string& Name : Names) {
        std::string Value;
        if (Told.insert(FoldedText(Name)).second && ReadEnv(Name.c_str(), Value))
            PlanLine("variable " + Name + "=" + Value);
    }
}

// The lines of Text, which ends each with CR LF (or LF); empty lines left out.
static std::vector<std::string> LinesOf(const std::string& Text)
{
    std::vector<std::string> Lines;
    size_t Start = 0;
    while (Start < Text.size()) {
        size_t End = Text.find('\n', Start);
        if (End == std::string::npos)
            End = Text.size();
        std::string Line = Text.substr(Start, End - Start);
        while (!Line.empty() && (Line.back() == '\r' || Line.back() == '\n'))
            Line.pop_back();
        if (!Line.empty())
            Lines.push_back(Line);
        Start = End + 1;
    }
    return Lines;
}

static std::string PlanJson(const std::vector<std::string>& Lines, const std::string& Report,
                            int ExitCode)
{
    std::string Json = "{\r\n  \"plan\": 1,\r\n  \"script\": " + JsonText(SourceInfPath) +
                       ",\r\n  \"shown\": " + (PlanShown ? "true" : "false") +
                       ",\r\n  \"lines\": [";
    for (size_t Index = 0; Index < Lines.size(); ++Index)
        Json += (Index ? ",\r\n    " : "\r\n    ") + JsonText(Lines[Index]);
    return Json + "\r\n  ],\r\n  \"report\": " + JsonText(Report) +
           ",\r\n  \"exitCode\": " + std::to_string(ExitCode) + "\r\n}\r\n";
}

bool WritePlan(const std::string& Report, int ExitCode)
{
    std::vector<std::string> Lines = LinesOf(LogText);
    std::string Text;
    const std::string& Path = Switches.Plan;
    if (Path.size() >= 5 && SameText(Path.substr(Path.size() - 5), ".json")) {
        Text = PlanJson(Lines, Report, ExitCode);
    } else {
        Text = "Plan of " + SourceInfPath + (PlanShown ? ", shown" : ", quiet") + "\r\n";
        for (const std::string& Line : Lines)
            Text += Line + "\r\n";
    }
    // The folder may be one that others write to: a link or second name placed under the plan's
    // name is replaced as a name, never written through.
    if (!WriteAtomic(Text, Path))
        return false;
    ProfileFileReplaced(Path);
    return true;
}

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

// The folders that the plan has made, by their names in upper case.
static std::set<std::string> MadeDirs;

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
        MadeDirs.insert(FoldedText(Path));
    return Made;
}

// The files that the plan has installed, by their names in upper case.
static std::set<std::string> PlannedFiles;

void PlanAddFile(const std::string& Path)
{
    PlannedFiles.insert(FoldedText(Path));
}

bool PlanHasFile(const std::string& Path)
{
    return PlannedFiles.count(FoldedText(Path)) != 0;
}

// Keys and values by root and name, letter case ignored as the registry ignores it.
static std::set<std::string> PlannedKeys;
static std::map<std::string, std::pair<DWORD, std::string>> PlannedValues;

static std::string KeyName(HKEY Root, const std::string& SubKey)
{
    return std::to_string(uintptr_t(Root)) + "\\" + FoldedText(SubKey);
}

void PlanAddKey(HKEY Root, const std::string& SubKey)
{
    PlannedKeys.insert(KeyName(Root, SubKey));
}

bool PlanHasKey(HKEY Root, const std::string& SubKey)
{
    return PlannedKeys.count(KeyName(Root, SubKey)) != 0;
}

void PlanSetValue(HKEY Root, const std::string& SubKey, const std::string& Name, DWORD Type,
                  const std::string& Data)
{
    PlannedValues[KeyName(Root, SubKey) + "\\\\" + FoldedText(Name)] = {Type, Data};
}

bool PlanValue(HKEY Root, const std::string& SubKey, const std::string& Name, DWORD& Type,
               std::string& Data)
{
    auto Found = PlannedValues.find(KeyName(Root, SubKey) + "\\\\" + FoldedText(Name));
    if (Found == PlannedValues.end())
        return false;
    Type = Found->second.first;
    Data = Found->second.second;
    return true;
}

bool MayCreateKey(HKEY Root, const std::string& SubKey)
{
    HKEY Key;
    // A key that is there is opened by the run as far as it may; one that denies everything
    // can't be opened, nor made again.
    LONG Found = RegOpenKeyExA(Root, SubKey.c_str(), 0, MAXIMUM_ALLOWED, &Key);
    if (Found == ERROR_SUCCESS)
        RegCloseKey(Key);
    if (Found != ERROR_FILE_NOT_FOUND)
        return Found == ERROR_SUCCESS;
    std::string Part = SubKey;
    for (;;) {
        size_t Cut = Part.rfind('\\');
        Part.resize(Cut == std::string::npos ? 0 : Cut);
        LONG Code =
            RegOpenKeyExA(Root, Part.empty() ? nullptr : Part.c_str(), 0, KEY_CREATE_SUB_KEY, &Key);
        if (Code == ERROR_SUCCESS) {
            RegCloseKey(Key);
            return true;
        }
        if (Code != ERROR_FILE_NOT_FOUND || Part.empty())
            return false;   // the nearest existing key refuses new keys
    }
}

LONG MaySetValue(HKEY Root, const std::string& SubKey)
{
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_SET_VALUE, &Key);
    if (Code == ERROR_SUCCESS)
        RegCloseKey(Key);
    // A key the run would create first takes its values.
    return Code == ERROR_FILE_NOT_FOUND && MayCreateKey(Root, SubKey) ? ERROR_SUCCESS : Code;
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

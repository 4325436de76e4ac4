#include "Setup/base/Plan.h"

#include <map>
#include <set>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/JsonText.h"
#include "Rules/MessageText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Setup/base/DlgRec.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"

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
    if (!RunsAsSystem())
        return;
    if (!Path.empty() &&
        !(ReadEnv("USERPROFILE", Profile) && IsAtOrBelow(FoldedText(Path), FoldedText(Profile))))
        return;
    PlanLine(What + " would go into SYSTEM's own profile, where no user sees it: the run is as "
                    "SYSTEM (as deployment tools run it)");
}

void PlanQuestion(int Answer, bool Shown)
{
    std::string Field = DlgRec.Buf != nullptr ? DlgRec.Buf : "";
    // A quiet run asks nothing: it takes what the plan takes.
    std::string Asks = Shown ? "would ask \"" : "would take the answer to \"";
    std::string Taken = DlgRec.Preset != 0 ? "the recorded answer" : "the default";
    switch (DlgRec.Kind) {
    case dkContinue:
        PlanLine(Asks + OneLine(DlgRec.Text) +
                 "\": Continue goes on, Cancel ends the run with nothing installed");
        break;
    case dkInstallPath:
        PlanLine(std::string(Shown ? "would ask for" : "would take") +
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
                            int ExitCode, bool Shown)
{
    std::string Json = "{\r\n  \"plan\": 1,\r\n  \"script\": " + JsonText(SourceInfPath) +
                       ",\r\n  \"shown\": " + (Shown ? "true" : "false") + ",\r\n  \"lines\": [";
    for (size_t Index = 0; Index < Lines.size(); ++Index)
        Json += (Index ? ",\r\n    " : "\r\n    ") + JsonText(Lines[Index]);
    return Json + "\r\n  ],\r\n  \"report\": " + JsonText(Report) +
           ",\r\n  \"exitCode\": " + std::to_string(ExitCode) + "\r\n}\r\n";
}

bool WritePlan(const std::string& Report, int ExitCode, bool Shown)
{
    std::vector<std::string> Lines = LinesOf(LogText);
    std::string Text;
    const std::string& Path = Switches.Plan;
    if (Path.size() >= 5 && SameText(Path.substr(Path.size() - 5), ".json")) {
        Text = PlanJson(Lines, Report, ExitCode, Shown);
    } else {
        Text = "Plan of " + SourceInfPath + (Shown ? ", shown" : ", quiet") + "\r\n";
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

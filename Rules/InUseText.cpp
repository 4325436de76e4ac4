#include "Rules/InUseText.h"

#include "Rules/CaseText.h"
#include "Rules/OptionsText.h"
#include "Rules/SwitchText.h"

namespace {

const char* const WaitingPrefix = "~setupkv-";

// The system writes each path of the list in its own form: "\??\" before the drive.
const char* const PendingPrefix = "\\??\\";

}   // namespace

std::string WaitingFileName(const std::string& Name)
{
    return WaitingPrefix + Name + TempSuffix;
}

bool IsWaitingFileName(const std::string& Name)
{
    size_t Prefix = std::string(WaitingPrefix).size(), Suffix = std::string(TempSuffix).size();
    return Name.size() > Prefix + Suffix && StartsWithText(Name, WaitingPrefix) &&
           SameText(Name.substr(Name.size() - Suffix), TempSuffix);
}

bool IsScheduledSource(const std::string& Pending, const std::string& Path)
{
    std::string Source = PendingPrefix + Path;
    // Sources and targets take turns; a name that is not ended by a NUL ends the list as well.
    bool IsSource = true;
    for (size_t At = 0; At < Pending.size(); IsSource = !IsSource) {
        size_t End = Pending.find('\0', At);
        if (End == std::string::npos)
            End = Pending.size();
        if (IsSource && End == At)
            return false;   // the empty name after the last pair
        if (IsSource && End - At == Source.size() && SameText(Pending.substr(At, End - At), Source))
            return true;
        At = End + 1;
    }
    return false;
}

std::string InUseMessage(const std::string& B)
{
    return "The file \"" + B + "\" is in use by a program. Close the program and choose Retry, " +
           "or let the file be replaced when Windows restarts.";
}

std::string RestartLine(const std::string& B, const TCopyPlan& Plan)
{
    return B + "\t" + Plan.LabelA + " " + Plan.LangA +
           " will replace the file in use at the next restart";
}

std::string RefusedLine(const std::string& B, const std::string& Reason)
{
    return "Error: can't replace " + B + " at the next restart: " + Reason;
}

std::string UnknownFilesInUseLine(const std::string& Value)
{
    std::string Known;
    for (const std::string& Name : FilesInUseValues())
        Known += (Known.empty() ? "" : ", ") + Name;
    return "[Options] FilesInUse=" + Value + " is none of " + Known +
           ": a file in use fails the installation";
}

int RestartExitCode(int Code, bool Scheduled)
{
    return Scheduled && Code == ecSuccess ? ecRestartNeeded : Code;
}

std::string RestartReport(const std::string& Report, int Code, bool Scheduled)
{
    if (!Scheduled || (Code != ecSuccess && Code != ecWarnings))
        return Report;
    return Report + " Restart Windows to finish the installation.";
}

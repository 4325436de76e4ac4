#include "Rules/InUseText.h"

#include "Rules/CaseText.h"
#include "Rules/OptionsText.h"
#include "Rules/SwitchText.h"

namespace {

const char* const WaitingPrefix = "~setupkv-";

// A pair of the list: where its source and its target begin and end (at their NULs).
struct TPendingPair {
    size_t Source, SourceEnd, Target, TargetEnd;
};

// Where the name that begins at At ends: the first NUL of Unit bytes from there on; npos when
// the list ends first.
size_t NameEnd(const std::string& List, size_t At, size_t Unit)
{
    for (; At + Unit <= List.size(); At += Unit)
        if (List[At] == '\0' && List[At + Unit - 1] == '\0')
            return At;
    return std::string::npos;
}

// The pairs of a list of renames in characters of Unit bytes, up to its empty name. Whole is false
// when the list ends inside a pair: a source cut short still counts, with an empty target.
std::vector<TPendingPair> SplitPending(const std::string& List, size_t Unit, bool& Whole)
{
    std::vector<TPendingPair> Pairs;
    Whole = true;
    for (size_t At = 0; At < List.size();) {
        size_t End = NameEnd(List, At, Unit);
        if (End == At)
            return Pairs;   // the empty name after the last pair
        Whole = End != std::string::npos;
        Pairs.push_back({At, Whole ? End : List.size(), List.size(), List.size()});
        if (!Whole)
            return Pairs;
        At = End + Unit;
        End = NameEnd(List, At, Unit);
        Whole = End != std::string::npos;
        if (!Whole)
            return Pairs;
        Pairs.back().Target = At;
        Pairs.back().TargetEnd = End;
        At = End + Unit;
    }
    return Pairs;
}

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

std::vector<std::string> PendingSources(const std::string& Pending)
{
    bool Whole;
    std::vector<std::string> Sources;
    for (const TPendingPair& Pair : SplitPending(Pending, 1, Whole))
        Sources.push_back(Pending.substr(Pair.Source, Pair.SourceEnd - Pair.Source));
    return Sources;
}

bool IsScheduledSource(const std::string& Pending, const std::string& Path)
{
    std::string Source = PendingPrefix + Path;
    for (const std::string& Name : PendingSources(Pending))
        if (SameText(Name, Source))
            return true;
    return false;
}

int DropPendingPairs(const std::string& Pending, const std::string& Folded,
                     const std::string& Source, std::string& Kept)
{
    bool Whole;
    std::vector<TPendingPair> Pairs = SplitPending(Pending, 2, Whole);
    Kept.clear();
    if (!Whole || Folded.size() != Pending.size())
        return -1;
    int Dropped = 0;
    for (const TPendingPair& Pair : Pairs) {
        if (Folded.compare(Pair.Source, Pair.SourceEnd - Pair.Source, Source) == 0)
            ++Dropped;
        else   // the pair with its target's NUL
            Kept.append(Pending, Pair.Source, Pair.TargetEnd + 2 - Pair.Source);
    }
    if (!Kept.empty())
        Kept.append(2, '\0');
    return Dropped;
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

std::string UnknownRollbackLine(const std::string& Value)
{
    return "[Options] Rollback=" + Value +
           " is none of Yes, No: the run is not undone when it fails";
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

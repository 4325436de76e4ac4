#include "Setup/run/InstallPath.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/DlgText.h"
#include "Rules/PathParts.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/DirTree.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/Unattended.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"
#include "Setup/run/InfoPrompt.h"

namespace {

const size_t PathSelSize = PathBufSize;   // PATHSEL's edit text, NUL included

// [Strings] MyProgramPath of an INF file, expanded; empty when it has none.
std::string ProgramPathOf(const std::string& InfPath)
{
    std::string Raw = ReadProfile("Strings", "MyProgramPath", InfPath);
    return Raw.empty() ? Raw : ExpandVars(Raw);
}

// Asks whether to go on in another directory than the earlier installation's. A prompt shown
// again after a failed creation starts its own Notepad, so the first one is closed here: the
// exit procedure only knows the last.
bool AcceptDifferentDir(const std::string& SourceInfPath)
{
    CloseStartedProgram(DiffDirProcess);
    return InfoPrompt("DifferentDir", SourceInfPath, DifferentDirTextWait, DiffDirProcess) == IDOK;
}

// PATHSEL, shown again after each directory that can't be created, until the entry is settled.
// IDOK when settled; IDCANCEL when the user cancelled PATHSEL or the DifferentDir prompt; IDABORT
// when a quiet run gave up on a folder that can't be made. Entered gets the entry, which is empty
// when the user confirmed an empty field (nothing is created then).
int AskInstallPath(const std::string& Previous, std::string Proposal,
                   const std::string& SourceInfPath, std::string& Entered)
{
    std::vector<char> Buf;   // owned here, as DlgRec points at it until the end
    std::string NamePart;
    int Answer = 0;   // none yet
    while (Answer == 0) {
        // Room for the whole proposal however long the script made it, so that confirming it
        // gives it back uncut.
        Buf.assign(std::max(PathSelSize, Proposal.size() + 1), 0);
        std::memcpy(Buf.data(), Proposal.c_str(), Proposal.size());
        NamePart = FileNamePart(Proposal);
        // "Programm" is the program's established wording.
        DlgRec.Text = "The Programm will be installed to";
        DlgRec.Buf = Buf.data();
        DlgRec.BufSize = int32_t(Buf.size());
        DlgRec.NamePart = NamePart.c_str();
        DlgRec.Kind = dkInstallPath;
        int Given = ShowDialog("PathSel");
        if (Given != IDOK) {
            Answer = Given;
            continue;
        }
        Buf.back() = 0;   // the field fills at most all but the last character
        // A relative entry names the folder where the run would make it now, below the medium's
        // folder; it is published, recorded and stored whole, since every later reader (the
        // installed INF, the uninstallation, the next run) has another current directory.
        Entered = AbsolutePath(Buf.data());
        if (Entered.empty()) {
            Answer = IDOK;
            continue;
        }
        // The prompt shows the entry in Buf as its link when [Info] has no URL.
        if (!Previous.empty() && !SameText(Previous, Entered) &&
            !AcceptDifferentDir(SourceInfPath)) {
            Answer = IDCANCEL;
            continue;
        }
        if (CreateDirTree(Entered, LogText) >= 0) {
            Answer = IDOK;
            continue;
        }
        ReportFailure("Error: Failed to create InstallDirectory", afFatal);
        Proposal = Entered;
    }
    // Buf and NamePart end with this call: leave nothing pointing at them.
    DlgRec.Buf = nullptr;
    DlgRec.BufSize = 0;
    DlgRec.NamePart = "";
    return Answer;
}

// Why the folder dialog proposes what it does, in the plan's words.
std::string ProposalReason(bool FromSwitch, bool Preset, const std::string& PreviousInfPath,
                           bool FromPrevious)
{
    if (FromSwitch)
        return "given by /dir";
    if (Preset)
        return "recorded in the answer file";
    if (FromPrevious)
        return "the earlier installation's, as its script " + PreviousInfPath + " names it";
    return "the script's MyProgramPath";
}

}   // namespace

std::string SelectInstallPath(const std::string& PreviousInfPath, const std::string& SourceInfPath,
                              bool InfDirNotWritable)
{
    std::string Previous = PreviousInfPath.empty() ? "" : ProgramPathOf(PreviousInfPath);
    std::string Proposal = !Previous.empty() ? Previous : ProgramPathOf(SourceInfPath);

    // Without files to install and with the INF copy going to the INF directory, no directory is
    // needed.
    if (ReadKeyList("Files", SourceInfPath).empty() && !InfDirNotWritable)
        return Proposal;

    // The folder of the command line or the answer file, as if the user had typed it.
    std::string Preset = PresetFolder();
    User().Tell(
        "installation folder " + (Preset.empty() ? Proposal : Preset) + ": " +
        ProposalReason(!Switches.Dir.empty(), !Preset.empty(), PreviousInfPath, !Previous.empty()));
    std::string Entered;
    int Answer =
        AskInstallPath(Previous, Preset.empty() ? Proposal : Preset, SourceInfPath, Entered);
    if (Answer != IDOK) {
        // Given up on a folder that can't be made is a failure, whose messages are the log's
        // last lines; cancelled, nothing was done.
        if (Answer == IDCANCEL) {
            RunEnd = reCancelled;
            LogText.clear();   // nothing was done that the log should tell
        }
        return std::string();
    }
    RecordFolder(Entered);
    SetEnv("MyProgramPath", Entered);
    // A confirmed empty field names no directory. Taking a lone backslash for it would install
    // into the root of the current drive, which is the medium's, so the run ends as without one.
    if (Entered.empty())
        return Entered;
    AddTrailingBackslash(Entered);
    return Entered;
}

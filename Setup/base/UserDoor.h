// The user's side of a run: its questions, boxes and Notepad windows, the log's place and the
// report at the end. A shown run puts them on screen, a quiet one (/quiet) takes each question's
// quiet answer and logs each box's text, a plan (/plan) takes the quiet answers too and says
// what the run it describes would show. The run chooses one side, once; the steps never ask
// which it has.
#pragma once
#include <windows.h>

#include <string>

#include "Setup/base/OwnFile.h"

class TUserDoor {
public:
    virtual ~TUserDoor() = default;
    // One of the dialogs, with its texts in DlgRec: the answer, also left in DlgRec.Result.
    virtual int Ask(const char* Template) = 0;
    // A message box without owner: the button that ended it, the default one where none shows.
    virtual int Box(const std::string& Text, const char* Title, UINT Type) = 0;
    // Shows File in Notepad: into Process, which the caller ends, or else on its own, to stay
    // open after the run. False only when it should have shown and Notepad did not start.
    virtual bool ShowText(const std::string& File, PROCESS_INFORMATION* Process) = 0;
    // A line for whoever reads a plan, where the run's log says nothing.
    virtual void Tell(const std::string& Line) = 0;
    // What (an HKCU value, or a link at Path) has gone into the profile of the user the run is
    // as; a plan of a run as SYSTEM says that no user will see it there.
    virtual void IntoProfile(const std::string& What, const std::string& Path) = 0;
    // The variables are set for the rest of the run from InfPath's [RegRead] and [Strings].
    virtual void VariablesSet(const std::string& InfPath) = 0;
    // Opens the log file at Path for writing as OpenOwnFile does (Append: at its end, else made
    // anew) and says what it found; Existed: a file was there. Where a file of someone else's is there (ooForeign), that
    // stays as it is and the log is a new file beside it (CreateBeside's), named in Beside and
    // open in File; Beside stays empty when none can be made. A plan opens, makes and empties
    // nothing: it asks the system what the run's open would find, and File stays shut.
    virtual TOwnOpen OpenLog(const std::string& Path, bool Append, HANDLE& File, bool& Existed,
                             std::string& Beside) = 0;
    // Whether the log goes into the file at Path, where the run has it now; a plan only names it.
    virtual bool KeepsLog(const std::string& Path) = 0;
    // The run's end, before the log is closed: its report and exit code, and the log file's path
    // (empty when it has none open). A plan writes its file and ends here.
    virtual void Conclude(const std::string& Report, UINT ExitCode, const std::string& LogPath) = 0;
};

// The run's side; a shown run's until the run chooses.
TUserDoor& User();

// Chooses the run's side: a plan's when Plan, else a quiet or a shown one as the switches say.
// The progress window may show only on the shown side.
void ChooseUserDoor(bool Plan);

// The three sides, for the choice and for tests.
TUserDoor& ShownUser();
TUserDoor& QuietUser();
TUserDoor& PlannedUser(bool Shown);

// The quiet side's answers, which a plan takes too: DlgRec's question answered as a quiet run
// answers it, and the default button of a box of Type.
int QuietAnswer();
int DefaultButton(UINT Type);

// The log's open of the shown and the quiet side, which the run does (see TUserDoor::OpenLog).
TOwnOpen OpenOwnLog(const std::string& Path, bool Append, HANDLE& File, bool& Existed,
                    std::string& Beside);

// What the shown and the quiet side share: a run that acts, with nothing to tell a plan's reader.
class TActingUser : public TUserDoor {
public:
    void Tell(const std::string&) override {}
    void IntoProfile(const std::string&, const std::string&) override {}
    void VariablesSet(const std::string&) override {}
    TOwnOpen OpenLog(const std::string& Path, bool Append, HANDLE& File, bool& Existed,
                     std::string& Beside) override
    {
        return OpenOwnLog(Path, Append, File, Existed, Beside);
    }
    bool KeepsLog(const std::string&) override { return true; }
};

// The quiet side's report: a log line with the exit code that tells it.
void QuietReport(const std::string& Report, UINT ExitCode);

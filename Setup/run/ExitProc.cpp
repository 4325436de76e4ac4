#include "Setup/run/ExitProc.h"

#include <windows.h>

#include <cstdlib>

#include "Rules/Capacities.h"
#include "Rules/InUseText.h"
#include "Rules/PathParts.h"
#include "Rules/ReportText.h"
#include "Rules/RollbackText.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/Journal.h"
#include "Setup/base/Log.h"
#include "Setup/base/PlanBooks.h"
#include "Setup/base/Progress.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/WinText.h"
#include "Setup/run/Bundle.h"

// The log in tmp (else temp) for a run that ended before its own log file was open. False when
// neither variable gives a directory.
static bool OpenTempLog()
{
    if (!TempLogPath(LogFilePath))
        return false;
    LogLine("Logfile: " + LogFilePath);
    CreateLogFile(LogFilePath);
    return true;
}

// A plan's log that the undoing would move out of a folder that the run made: the plan names the
// log where the run would leave it.
static void PlanLogMove()
{
    std::string Temp;
    for (std::string Dir = DirectoryPart(LogFilePath); LogFileOpen && Dir.size() > 3;
         Dir = DirectoryPart(Dir)) {
        DropOneTrailingBackslash(Dir);
        if (PlanMadeDir(Dir) && TempLogPath(Temp)) {
            User().Tell("the log would be " + Temp);
            return;
        }
    }
}

// A run that journals undoes its changes when it failed or was cancelled (Failed), else keeps
// them; the report's sentence about it, starting with a blank. A plan only says where it would.
static std::string EndRollback(bool Failed)
{
    if (!Journaling()) {
        EndJournal(false);   // the folder made to look for killed runs, if any
        if (!RollbackWanted || !Failed)
            return "";
        EndLogPart();   // the line before may be the unended "Abnormal Termination!"
        User().Tell("would undo every change listed above");
        PlanLogMove();
        return " " + RollbackReport(0);
    }
    if (Failed)
        EndLogPart();
    int NotUndone = EndJournal(Failed);
    if (!Failed)
        return "";
    // Waiting files that are gone again need no restart.
    RestartNeeded = RestartNeeded && NotUndone > 0;
    return " " + RollbackReport(NotUndone);
}

void ExitProcedure()
{
    static bool Ran = false;
    if (Ran)
        return;
    Ran = true;
    ProgressClose();

    CloseStartedProgram(InfoProcess);
    CloseStartedProgram(DiffDirProcess);
    RemoveStagingDirs();   // a run that ends half-way through its files leaves none behind
    RemoveOwnMedium();     // a bundle's unpacked medium goes with every run, whatever its end
    if (!Completed) {
        LogPart("\r\nAbnormal Termination!");   // no line end: the next line follows directly
        ErrorCount += 200;
    }
    // Files in use that wait for the next restart make a success one that needs the restart.
    int Code = RunExitCode(Completed, ErrorCount, RunEnd);
    std::string Rollback = EndRollback(Code == ecCancelled || Code == ecFailed);
    UINT ExitCode = UINT(RestartExitCode(Code, RestartNeeded));
    std::string Report = RestartReport(ReportText(ErrorCount), Code, RestartNeeded) + Rollback;
    // A quiet run's report is a log line with the exit code that tells it: the last one, but for
    // the line that names the log in the temporary folder. A plan leaves no log: its file has the
    // lines, and its exit code says whether it was written.
    User().Conclude(Report, ExitCode, LogFileOpen ? LogFilePath : std::string());
    bool TriedTemp = false;
    if (!LogText.empty()) {
        if (!LogFileOpen)
            TriedTemp = OpenTempLog();
        if (LogFileOpen)
            FlushLogText();
    }
    // The outcome is still reported when the temporary log could not be created: the user
    // must learn how the run ended, and the dialog names the file that failed.
    if (!CloseLogFile() && !TriedTemp) {
        if (Switches.Any)
            ExitProcess(ExitCode);
        return;
    }

    DlgRec.Kind = dkLogFile;
    DlgRec.Text = Report;
    DlgRec.Buf = &LogFilePath[0];
    DlgRec.BufSize = int32_t(LogFilePath.size() + 1);
    ShowDialog("MsgBoxLogFile");   // a quiet run shows nothing: its exit code says it
    // With switches, deployment tools read the outcome from the exit code; without, it stays 0.
    if (Switches.Any)
        ExitProcess(ExitCode);
}

void HookExitProcedure()
{
    // Handlers run in reverse order of registration, so this one comes before all earlier ones.
    std::atexit(ExitProcedure);
}

#include "Setup/run/ExitProc.h"

#include <windows.h>

#include <cstdlib>

#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Dialogs.h"
#include "Rules/DriverText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/base/Log.h"
#include "Setup/run/Bundle.h"

const size_t TempDirSize = 520;

static void CloseNotepad(PROCESS_INFORMATION& Process)
{
    if (Process.hProcess == nullptr)
        return;
    TerminateProcess(Process.hProcess, 0);
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    Process = PROCESS_INFORMATION{};
}

// A log in tmp (else temp) for a run that ended before its own log file was open. False when
// neither variable gives a directory.
static bool OpenTempLog()
{
    std::string Dir;
    bool Found = (ReadEnv("tmp", Dir) && !Dir.empty()) || (ReadEnv("temp", Dir) && !Dir.empty());
    if (!Found || Dir.size() >= TempDirSize)
        return false;
    AddTrailingBackslash(Dir);
    LogFilePath = Dir + LogFileName;
    LogText += "Logfile: " + LogFilePath + "\r\n";
    CreateLogFile(LogFilePath);
    return true;
}

void ExitProcedure()
{
    static bool Ran = false;
    if (Ran)
        return;
    Ran = true;

    CloseNotepad(InfoProcess);
    CloseNotepad(DiffDirProcess);
    RemoveStagingDirs();   // a run that ends half-way through its files leaves none behind
    RemoveOwnMedium();     // a bundle's unpacked medium goes with every run, whatever its end
    if (!Completed) {
        LogText += "\r\nAbnormal Termination!";   // no line end: the next line follows directly
        ErrorCount += 200;
    }
    // A quiet run's report is a log line with the exit code that tells it: the last one, but for
    // the line that names the log in the temporary folder.
    if (Switches.Quiet)
        LogText += "\r\n" + std::string(ReportText(ErrorCount)) + " Exit code " +
                   std::to_string(RunExitCode(Completed, ErrorCount, RunEnd)) + "\r\n";
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
            ExitProcess(UINT(RunExitCode(Completed, ErrorCount, RunEnd)));
        return;
    }

    DlgRec.Kind = dkLogFile;
    DlgRec.Text = ReportText(ErrorCount);
    DlgRec.Buf = &LogFilePath[0];
    DlgRec.BufSize = int32_t(LogFilePath.size() + 1);
    ShowDialog("MsgBoxLogFile");   // a quiet run shows nothing: its exit code says it
    // With switches, deployment tools read the outcome from the exit code; without, it stays 0.
    if (Switches.Any)
        ExitProcess(UINT(RunExitCode(Completed, ErrorCount, RunEnd)));
}

void HookExitProcedure()
{
    // Handlers run in reverse order of registration, so this one comes before all earlier ones.
    std::atexit(ExitProcedure);
}

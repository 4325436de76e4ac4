// The state of one run, shared by every step, and the ways the run ends without a word of its
// own. How a step reports is Report.h's.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Rules/SwitchText.h"

extern int32_t ErrorCount;                // errors and warnings; decides the final report
extern std::string Caption;               // "SETUP V" + own version: title of every box and dialog
extern bool Completed;                    // the sequence reached its last step
extern PROCESS_INFORMATION InfoProcess;   // Notepad showing the Before text
extern PROCESS_INFORMATION DiffDirProcess;   // Notepad showing the DifferentDir text
extern std::string MediumDir;   // a bundle's medium as unpacked; empty: SETUP.EXE's folder
extern std::string SourceDir;   // directory of the INF file, no trailing backslash
extern std::string InfFileName;
extern std::string SourceInfPath;     // the INF file being carried out
extern std::string TargetInfPath;     // its installed copy
extern std::string PreviousInfPath;   // an earlier installation's copy, or empty
extern std::string ProjectVersion;
extern bool InfDirNotWritable;
extern bool UseSetupx;
extern TSwitches Switches;   // the command line's switches: quiet, folder, answers
extern TRunEnd RunEnd;       // how the run ended, where its error count can't tell
extern bool RestartNeeded;   // files in use wait for the next start of Windows

// Starts a run from a clean state: no errors yet, nothing pending for the log, no Notepad of an
// earlier run, and not completed.
void ResetRunState();

// Applies the fatal-error rule to ErrorCount.
void MarkFatal();

// Ends the run now by an ordinary process exit, so the exit procedure reports it.
[[noreturn]] void EndRun();

// The log's last line when the user cancels during the copies. Users and scripts read it as it
// is: keep "canceled".
const char FileCopyCancelledLine[] = "FileCopy canceled by User";

// The user cancelled the installation: the run ends as cancelled, failed, with Line last in the
// log (without a line end: the exit procedure starts the next line).
[[noreturn]] void CancelRun(const char* Line);

// MarkFatal, then EndRun.
[[noreturn]] void FatalError();

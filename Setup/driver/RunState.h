// The state of one run, shared by every step, and the three ways a step reports a failure.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

extern int32_t ErrorCount;           // errors and warnings; decides the final report
extern std::string Caption;          // "SETUP V" + own version: title of every box and dialog
extern bool Completed;               // the sequence reached its last step
extern PROCESS_INFORMATION InfoProcess;    // Notepad showing the Before text
extern PROCESS_INFORMATION DiffDirProcess; // Notepad showing the DifferentDir text
extern std::string SourceDir;        // directory of the INF file, no trailing backslash
extern std::string InfFileName;
extern std::string SourceInfPath;    // the INF file being carried out
extern std::string TargetInfPath;    // its installed copy
extern std::string PreviousInfPath;  // an earlier installation's copy, or empty
extern std::string ProjectVersion;
extern bool InfDirNotWritable;
extern bool UseSetupx;

// Message box without owner, titled Caption, with the error icon.
void ErrorBox(const std::string& Text);

// Applies the fatal-error rule to ErrorCount.
void MarkFatal();

// Ends the run now by an ordinary process exit, so the exit procedure reports it.
[[noreturn]] void EndRun();

// MarkFatal, then EndRun.
[[noreturn]] void FatalError();

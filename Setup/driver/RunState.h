// The state of one run, shared by every step, and the three ways a step reports a failure.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Setup/driver/SwitchText.h"

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
extern TSwitches Switches;           // the command line's switches: quiet, folder, answers
extern TRunEnd RunEnd;               // how the run ended, where its error count can't tell

// A failure or question for the user in a quiet run: the text goes to the log as a line
// (unless the line before says the same), and nothing is shown.
void QuietLine(const std::string& Text);

// A message box without owner titled Caption; in a quiet run its text is logged instead and the
// box's default button is the answer.
int MessageOrDefault(const std::string& Text, const char* Title, UINT Type);

// Message box without owner, titled Caption, with the error icon; logged instead when quiet.
void ErrorBox(const std::string& Text);

// Applies the fatal-error rule to ErrorCount.
void MarkFatal();

// Ends the run now by an ordinary process exit, so the exit procedure reports it.
[[noreturn]] void EndRun();

// MarkFatal, then EndRun.
[[noreturn]] void FatalError();

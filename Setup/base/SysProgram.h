// Starting the programs of the system that the installer uses (Notepad), always from the system
// folder. By name alone, Windows would look beside SETUP.EXE and in the current folder (the
// medium) first, and a program placed there would run with the installer's rights.
#pragma once
#include <windows.h>

#include <string>

// Starts Name from the system folder by its full path, with the command line Name + " " +
// Arguments, so that the program sees its arguments as when found by name. Nothing is inherited;
// new error mode, window shown as the program chooses. False when it did not start; otherwise
// Process holds its handles, which the caller closes.
bool StartSystemProgram(const char* Name, const std::string& Arguments,
                        PROCESS_INFORMATION& Process);

// The same for a program that runs on its own: shown normally, handles closed at once. Waits
// until it is ready for input (30 seconds at most), as WinExec does.
bool OpenWithSystemProgram(const char* Name, const std::string& Arguments);

// Ends a program that StartSystemProgram started, if it still runs, and closes its handles;
// Process is empty afterwards. Nothing happens for an empty one.
void CloseStartedProgram(PROCESS_INFORMATION& Process);

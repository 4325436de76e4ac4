// The run's log: lines wait in LogText until the log file is open, then go into LOGFILKV.LOG.
#pragma once
#include <windows.h>

#include <string>

#include "Rules/LogFileName.h"   // LogFileName, the log's name
#include "Setup/base/Report.h"

extern HANDLE LogFile;   // the open log file, INVALID_HANDLE_VALUE when none
extern std::string LogFilePath;
extern bool LogFileOpen;   // the run has its log file at LogFilePath (a plan: would have it)

// Writes Line and its line end into the log file at once. Before the log file is open, or when
// it can't be written, the line waits with the pending text instead, so it is never lost.
void LogNow(const std::string& Line);

// Writes the pending text and one more line end into the log file, then empties it.
void FlushLogText();

// Writes Text into the open log file as it is; false on a write failure or when none is open.
bool WriteLog(const std::string& Text);

// Creates (or empties) the log file at Path; sets LogFile, LogFilePath and LogFileOpen. Where
// Path is a link or another file's second name, that file stays untouched and the log is a new
// file beside it, which LogFilePath names and a line of LogText tells of.
bool CreateLogFile(const std::string& Path);

// Closes the log file; false when none was open or closing failed.
bool CloseLogFile();

// Moves the open log file, with what it holds, to the end of the log in the temporary folder,
// as a folder that the run made and now removes again can't keep it; To names it. False, and the
// log stays where it is, when it can't be moved.
bool MoveLogIntoTemp(std::string& To);

// Opens the log file in the installation directory (else a temporary one), writes its header
// and everything pending. Ends the run when there is no directory to put it in.
void OpenLogFile(const std::string& SourceInfPath);

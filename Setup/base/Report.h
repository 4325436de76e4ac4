// The ways a step reports, one helper for each: a log line, a message box (or, in a quiet run,
// its text as a log line), the fatal-error rule on the error count, and the end of the run.
#pragma once
#include <windows.h>

#include <string>

extern std::string LogText;   // pending log lines, each ending in CR LF; Log.h writes them out

// Appends Line and CR LF to the pending text.
void LogLine(const std::string& Line);

// A failure or question for the user in a quiet run: the text goes to the log as a line
// (unless the line before says the same), and nothing is shown.
void QuietLine(const std::string& Text);

// A message box without owner titled Caption; in a quiet run its text is logged instead and the
// box's default button is the answer.
int MessageOrDefault(const std::string& Text, const char* Title, UINT Type);

// Message box without owner, titled Caption, with the error icon; logged instead when quiet.
void ErrorBox(const std::string& Text);

// Text for whoever started the program: on its standard output (Failure: standard error), which
// a console or a build pipeline reads; without one, in a box titled Title unless Quiet.
void TellStarter(const std::string& Text, const char* Title, bool Failure, bool Quiet);

// What a reported failure does to the run.
enum TAfterFailure {
    afGoOn,      // nothing: the caller counts it in its own way
    afWarning,   // one error more: the report says "with warnings"
    afFatal,     // the fatal-error rule: the report says "without success"
};

// A failure, reported the one way: Line in the log (Box on one line when Line is empty), then Box
// in an error box (Plain: without icon), logged instead when quiet; then After.
void ReportFailure(const std::string& Box, TAfterFailure After, const std::string& Line = "",
                   bool Plain = false);

// The same for a failure that ends the run, after the fatal-error rule when Fatal.
[[noreturn]] void ReportAndEnd(const std::string& Box, bool Fatal, const std::string& Line = "");

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

// A failure that leaves the program no way on (a text that does not fit its buffer, the C++
// run-time's own errors): its text in the error box, then the end, with exit code 1; the exit
// procedure still reports.
[[noreturn]] void EndOnFailure(const std::string& Text);

// The ways a step reports, one helper for each: a log line, a message box (or, in a quiet run,
// its text as a log line), the fatal-error rule on the error count, and the end of the run.
//
// One way to log a line: LogLine. It keeps the line in order with the rest, pending until the
// log file is open and the step flushes (Log.h). The others are for what LogLine can't say:
// - LogNow (Log.h), where the line must be in the file before the next step changes the machine
//   (a copy's outcome, a folder made): a run killed then still has it;
// - LogPart, for a line built in parts (LogLine adds the last, or "" to end it) and for the
//   log's unended last words (a cancel, "Abnormal Termination!");
// - QuietLine is the quiet side's (UserDoor.h): a box's text where none shows. A step calls
//   MessageOrDefault or ReportFailure, and each side does what it does with the box;
// - PlanLine (Plan.h) is the plan sides' own: the plan implementations of the doors say with it
//   what only a plan says. A step that is no door tells a plan's reader through User().Tell;
// - LogText itself is read only by whoever writes the lines out (Log.h, the plan's file), cleared
//   where nothing done is worth a report, and handed to a routine that collects lines into a
//   string of the caller's (CreateDirTree). Nothing else appends to it.
#pragma once
#include <windows.h>

#include <string>

#include "Setup/base/LogLines.h"
#include "Setup/base/RunState.h"

// A message box without owner titled Title, as the run's side shows it (UserDoor.h): in a quiet
// run its text is logged instead and the box's default button is the answer.
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

// A failure that leaves the program no way on (a text that does not fit its buffer, the C++
// run-time's own errors): its text in the error box, then the end, with exit code 1; the exit
// procedure still reports.
[[noreturn]] void EndOnFailure(const std::string& Text);

// The run's pending log lines, the ground of every way to log: nothing here calls anything of
// the run. How each way is meant to be used is written in Report.h.
#pragma once
#include <string>

extern std::string LogText;   // pending log lines, each ending in CR LF; Log.h writes them out

// Appends Line and CR LF to the pending text.
void LogLine(const std::string& Line);

// Appends Text as it is: a part of a line that another call ends, or the log's last words,
// which the exit procedure follows with its own line.
void LogPart(const std::string& Text);

// Ends the pending text's last line where it has no line end yet.
void EndLogPart();

// A box's text in a run that shows none: the text goes to the log as a line (unless the line
// before says the same).
void QuietLine(const std::string& Text);

// tmp, else temp, as the user set them; false when neither is set.
bool TempDirectory(std::string& Dir);

// The log in the temporary folder, for a run whose own log file can't be had: false when
// neither variable gives a folder short enough.
bool TempLogPath(std::string& Path);

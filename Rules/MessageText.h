// A system message made fit for the log and for a message box: on one line, or broken into
// lines of a given width.
#pragma once
#include <cstddef>
#include <string>

// A system message on one line: each line break becomes one blank, and the blanks and line ends
// at its end go.
std::string OneLine(const std::string& Message);

// The message on lines of at most Width characters joined by CR LF, broken at blanks; a word
// longer than a line is cut. Width 0 counts as 1.
std::string BrokenLines(const std::string& Message, size_t Width);

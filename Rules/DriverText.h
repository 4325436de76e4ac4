// Text rules of the install driver that need no system call: the INF signature, the command-line
// argument, the error count and the report.
#pragma once
#include <string>
#include <vector>

const int SignatureSize = 31;        // only the first 30 characters of FormKv count

// 1-based position of "KELVOR" in Value after upper-casing its ASCII letters; 0 when absent.
int SignaturePosition(const char* Value);

// The arguments after the program's name: blanks separate, double quotes group and are dropped;
// a quoted program name ends at its closing quote, as Windows reads it.
std::vector<std::string> CommandArguments(const char* CommandLine);

// The first argument after the program's own name, its quotes removed; empty when there is none.
std::string FirstArgument(const char* CommandLine);

// Splits an INF argument at its last backslash or colon; false (and nothing set) for a bare name.
bool SplitInfArgument(const std::string& Arg, std::string& Dir, std::string& Name);

// Removes one trailing backslash, if any.
void DropTrailingBackslash(std::string& Path);

// Appends a backslash unless the text already ends with one (an empty text gets one too).
void AddTrailingBackslash(std::string& Path);

// A path that names the same place whatever the current directory and drive: a drive, a colon
// and a backslash (or slash) first, or two of them (a share or device). A path that begins with
// one backslash, "C:dir" and "dir" depend on the current drive or directory.
bool IsFullPath(const std::string& Path);

// A fatal error: 101 below 100, otherwise one more, so repeated failures stay countable; the
// largest count stays as it is.
int FatalErrorCount(int Count);

// The report for an error count: none, warnings only, or failure.
const char* ReportText(int Count);

// The question of the continue prompt, below an optional headline.
std::string ContinueMessage(const std::string& Headline);

// Equal when ASCII letter case is ignored, as INF section, key and variable names compare.
bool SameText(const std::string& A, const std::string& B);

// Text with its ASCII letters in upper case: the form in which names are searched for.
std::string FoldedText(std::string Text);

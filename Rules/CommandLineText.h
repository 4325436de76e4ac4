// The command line as SETUP.EXE reads it: its arguments after the program's own name, and the
// script argument taken apart into folder and name.
#pragma once
#include <string>
#include <vector>

// The arguments after the program's name: blanks separate, double quotes group and are dropped;
// a quoted program name ends at its closing quote, as Windows reads it.
std::vector<std::string> CommandArguments(const char* CommandLine);

// The first argument after the program's own name, its quotes removed; empty when there is none.
std::string FirstArgument(const char* CommandLine);

// Splits an INF argument at its last backslash or colon; false (and nothing set) for a bare name.
bool SplitInfArgument(const std::string& Arg, std::string& Dir, std::string& Name);

// The [Strings] pass: the script's variables, resolved and published.
#pragma once
#include <string>

const int smSetVars = 1;    // set an environment variable for each resolved key
const int smWriteInf = 2;   // write each resolved key into the installed INF, log a summary

// Resolves every key of Section of SourceInf (from the registry where the key names a folder or
// setup value, else from the INF) and, as Mode says, sets it and writes it into TargetInf.
void ExpandStringsSection(int Mode, const std::string& SourceInf, const std::string& TargetInf,
                          const char* Section);

// The [RegRead] pass: script variables taken from the registry.
#pragma once
#include <string>

// Reads each [RegRead] line of InfPath, sets the variable it names and writes it into that
// file's [Strings] section. Logs every line's outcome; ends the run on a fatal error.
void RegRead_Expand_Strings(const std::string& InfPath);

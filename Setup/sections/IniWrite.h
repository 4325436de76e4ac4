// [IniWrite]: entries written into INI files of the installed program or of the system.
#pragma once
#include <string>

// Writes each line of [IniWrite] of the INF file at InfPath: "section,key,value,file". A line
// that can't be split or written shows why and fails the run; the next line is still written.
// Nothing goes into the log.
void IniWriteSection(const std::string& InfPath);

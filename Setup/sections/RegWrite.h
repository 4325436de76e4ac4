// [RegWrite] and [RegWriteUninstall]: registry values written as the script's lines say, with
// links standing in (ErrSection) when a key can't be written at all.
#pragma once
#include <string>

// Writes each line of Section of the INF file at InfPath. Mode 1 words a failed key as the
// uninstall entry ([RegWriteUninstall]); any other mode as a plain registry write. Returns what
// the caller adds to ErrorCount: 0 when every line was written, 1 when the section ended early at
// a line not written in full (a warning), 101 when it ended with an error that fails the run.
int RegWriteSection(const char* Section, const std::string& InfPath, int Mode);

// The shell-link writer: one .LNK file through the shell's link object. It knows nothing of the
// INF file, the log or the error count; the caller reports what the returned code says.
#pragma once
#include <cstdint>

// Writes the link file LinkFile (replacing one of that name) that starts Target in WorkDir, which
// is set even when empty. Arguments and IconFile (with IconIndex) are set only when not empty.
// Returns 0 when the file was written; otherwise the code of the first call that did not return
// S_OK (a success code such as S_FALSE stops it too), or -1 when LinkFile does not fit into 260
// UTF-16 units, its NUL included. Without LinkFile (null) nothing is written: the code says
// whether the link object takes the fields, as a plan asks it.
int32_t CreateShellLink(const char* Target, const char* Arguments, const char* WorkDir,
                        const char* IconFile, int32_t IconIndex, const char* LinkFile);

// The installed copy of the INF file, which a later uninstallation works from, and the variables
// that the driver itself publishes into it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

// The write test of the INF directory: writes [Version] FormKv into a new file of its own there,
// which it removes again, and looks whether a file at TargetInfPath could be replaced. False when
// either fails. A file at TargetInfPath is never changed here, so a run that ends before the copy
// leaves the INF directory as it was.
bool InfDirWritable(const std::string& TargetInfPath);

// Copies SourceInfPath to TargetInfPath (into the installation directory, changing
// TargetInfPath, when the INF directory denies access), then writes InfPath, MyProgramPath, the
// resolved [Strings], ProjectVersion, rundll and setupx into the copy and sets the variables;
// sets UseSetupx. Ends the run when the copy can't be made or written.
void InstallInfCopy();

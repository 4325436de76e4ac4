// Settling the installation directory with the user.
#pragma once
#include <string>

// Proposes the earlier installation's directory (else the script's [Strings] MyProgramPath),
// lets the user confirm or change it in PATHSEL, warns when it moves away from the earlier one,
// creates it and sets the variable MyProgramPath to the entry as typed (a relative one made
// full). Returns the directory with one trailing backslash; empty when the user cancelled or
// there is no directory. A script without [Files] whose INF directory takes the copy needs none:
// it gets the proposal unasked.
std::string SelectInstallPath(const std::string& PreviousInfPath, const std::string& SourceInfPath,
                              bool InfDirNotWritable);

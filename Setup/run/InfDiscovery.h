// Which INF file the run carries out: the argument, or the first signed one beside SETUP.EXE.
#pragma once
#include <string>

// 0 when the INF file carries no signature (or does not exist), else its position (> 0).
int CheckInfSignature(const std::string& InfPath);

// The first plain *.INF file of Dir, in the order the folder lists them, that carries the
// signature: its name, or "" when none does. Last names the last file tried ("" when Dir holds
// no *.INF file).
std::string FirstSignedInf(const std::string& Dir, std::string& Last);

// Sets SourceDir, InfFileName and the current directory from the script argument Arg ("" for
// none); ends the run when no signed INF file can be had.
void FindInfFile(const std::string& Arg);

// Where Windows keeps INF files, and the INF copy that an earlier installation of the same script
// left behind.
#pragma once
#include <string>

// The INF directory: the Setup key's SetupScratchDir, else "%windir%\inf" when the key exists
// without it, else the first directory of DevicePath, else "%windir%\INF"; always expanded.
// Normally without trailing backslash. Never fails.
std::string GetInfDirectory();

// The earlier installation's INF copy: the one its uninstall entry names, else a signed file at
// TargetInfPath; empty when there is none. Logs what it finds, and deletes the copy at
// TargetInfPath when the uninstall entry names a newer one. Never fails.
std::string FindPreviousInf(const std::string& SourceInfPath, const std::string& TargetInfPath);

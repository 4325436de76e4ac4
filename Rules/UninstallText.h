// The uninstall entry of an earlier installation: which installed script its command carries
// out, and with which section, and the key that a registry line names for it.
#pragma once
#include <string>

// The INF path at the end of an uninstall command line: the last quoted part when the text ends
// with a double quote, else the text after the last blank. Empty when there is none, and when it
// would start at the text's first character: a lone unquoted path is no command line.
// A command of the advanced INF engine (",LaunchINFSection INF,SECTION,..." or its Ex form)
// names the INF first, before the section: its path is that first field, dequoted.
std::string UninstallInfPath(const std::string& Command);

// The section that an uninstall command carries out: the word after InstallHinfSection, or the
// second field after LaunchINFSection (DefaultInstall when it is empty or missing, as the engine
// takes it). Empty when the command runs neither engine.
std::string UninstallSection(const std::string& Command);

// The second field of a registry line (between its first comma and the next): the subkey of the
// uninstall entry. False, SubKey untouched, when the line has fewer than two commas.
bool LineSubKey(const std::string& Line, std::string& SubKey);

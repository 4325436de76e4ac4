// Text rules of the INF directory, the earlier installation and the installed INF copy that need
// no system call.
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

// The first directory of a DevicePath, which may list several separated by semicolons; empty
// when it lists none.
std::string FirstDevicePath(const std::string& DevicePath);

// True when the file name of Path ends in ".inf", in any letter case.
bool HasInfExtension(const std::string& Path);

// Path up to and including its last backslash; empty when it has none.
std::string DirectoryPart(const std::string& Path);

// Dir + "\" + Name, without doubling a backslash that Dir already ends with.
std::string JoinPath(const std::string& Dir, const std::string& Name);

// A system message on one line: each line break becomes one blank, and the blanks and line ends
// at its end go.
std::string OneLine(const std::string& Message);

// The message on lines of at most Width characters joined by CR LF, broken at blanks; a word
// longer than a line is cut. Width 0 counts as 1.
std::string BrokenLines(const std::string& Message, size_t Width);

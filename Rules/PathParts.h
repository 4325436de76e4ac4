// A path's parts as the installer takes them apart and puts them together: its folder and file
// name, the trailing backslash, the extension, whether it is full, and the first folder of a
// list. Matching names against patterns and paths against folders is PathMatch.h's.
#pragma once
#include <string>

// Path up to and including its last backslash; empty when it has none.
std::string DirectoryPart(const std::string& Path);

// The part after the last backslash: the whole text for a bare name, empty after a trailing one.
std::string FileNamePart(const std::string& Path);

// Dir + "\" + Name, without doubling a backslash that Dir already ends with.
std::string JoinPath(const std::string& Dir, const std::string& Name);

// Removes one trailing backslash, if any: the installer's rule for a folder it was given, which
// its dialogs and log show as it then stands ("C:\App\\" keeps one backslash).
void DropOneTrailingBackslash(std::string& Path);

// Removes every trailing backslash: the checker's rule for comparing two spellings of one folder
// or key, where "Dir\" and "Dir\\" must compare equal to "Dir".
void DropAllTrailingBackslashes(std::string& Path);

// Appends a backslash unless the text already ends with one (an empty text gets one too).
void AddTrailingBackslash(std::string& Path);

// A path that names the same place whatever the current directory and drive: a drive, a colon
// and a backslash (or slash) first, or two of them (a share or device). A path that begins with
// one backslash, "C:dir" and "dir" depend on the current drive or directory.
bool IsFullPath(const std::string& Path);

// A [Files] destination as the script writes it, before expansion, that names a folder on its
// own: a variable first, a drive's root or a share. False for an empty one, which stands for the
// installation folder. Unlike IsFullPath, a variable counts and a slash does not.
bool IsAbsoluteFolder(const std::string& Path);

// True when the file name of Path ends in ".inf", in any letter case.
bool HasInfExtension(const std::string& Path);

// The first directory of a DevicePath, which may list several separated by semicolons; empty
// when it lists none.
std::string FirstDevicePath(const std::string& DevicePath);

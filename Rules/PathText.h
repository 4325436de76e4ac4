// Paths as a script names them, compared without the system: names matched against a [Files]
// pattern, folders inside folders, destinations that stand on their own.
#pragma once
#include <string>

#include "Rules/FilesText.h"

// Whether Name matches Pattern as a directory search matches it: * any run of characters, ? one
// character, letter case ignored; "*.*" matches every name.
bool WildcardMatch(const std::string& Pattern, const std::string& Name);

// Whether the pattern of a [Files] key takes every part of Below, a path below the entry's
// destination: without /s, folders are walked with the pattern too. With /s any folder may be in
// the tree, so it takes every path.
bool PatternCovers(const TFilesKey& Key, const std::string& Below);

// Whether Path is Dir or lies below it; both compared as they are, without a trailing backslash.
bool IsAtOrBelow(const std::string& Path, const std::string& Dir);

// Removes every trailing backslash.
void DropTrailingBackslashes(std::string& Path);

// A [Files] destination that names a folder on its own: a variable first, a drive's root or a
// share. False for an empty one, which stands for the installation folder.
bool IsAbsoluteFolder(const std::string& Path);

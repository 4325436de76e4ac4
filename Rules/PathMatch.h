// Paths matched against other paths, without the system: a name against a [Files] pattern, the
// parts below a destination against a key's pattern, a path against a folder it may lie in.
// Taking a path apart and putting it together is PathParts.h's.
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

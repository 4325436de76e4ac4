// The installed copy of a script as the system's INF engine reads it to uninstall: its lines,
// lists of names, folders, registry lines and signature. SETUP.EXE never reads these sections;
// the checker does, to tell what an uninstallation removes.
#pragma once
#include <string>
#include <vector>

// A line as the engine reads it: a ';' anywhere starts a comment, blanks around are dropped.
std::string EngineText(const std::string& Text);

// The names of a comma-separated list, blanks trimmed, empty ones left out.
std::vector<std::string> NameList(const std::string& List);

// The folder of a [DestinationDirs] entry as a text to compare, folded: -1,<folder> gives the
// folder, 17 the INF folder (%INFPATH%), any other number of the system "#<number>". Empty for an
// empty entry.
std::string DestinationFolder(const std::string& Value);

// A [DelReg] line: Root,SubKey[,ValueName]. Fields end at any comma, quotes or not.
struct TDelRegLine {
    std::string Root;
    std::string SubKey;
    std::string ValueName;   // blanks trimmed; empty: the whole key goes
};

// Splits an engine line (comment dropped, as EngineText does); false when it has no SubKey.
bool SplitDelRegLine(const std::string& Line, TDelRegLine& Fields);

// A registry key (ValueName empty) or value as a text to compare: the root by its short name and
// the subkey folded, without trailing backslashes, then the value name after two backslashes.
std::string RegistryItem(const std::string& Root, const std::string& SubKey,
                         const std::string& ValueName);

// Whether the engine takes a [Version] Signature value: $CHICAGO$, $Windows NT$ or $Windows 95$,
// letter case ignored, in double quotes or not.
bool EngineTakesSignature(const std::string& Value);

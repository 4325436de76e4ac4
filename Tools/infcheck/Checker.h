// The author's script checker: findings about a script and its medium, found with the rules that
// the installer applies (Rules/), so that the two never disagree.
#pragma once
#include <string>
#include <vector>

#include "Rules/InfReader.h"
#include "Tools/infcheck/Findings.h"

// An entry of a folder of the medium.
struct TListedEntry {
    std::string Name;
    bool Folder;
};

// What the checker asks of the medium, the folder that holds the script and the files beside it.
// Paths are relative to it, with backslashes; letter case never counts, as on Windows.
class TMedium {
public:
    virtual ~TMedium() = default;
    // Whether a [Files] source (a folder part and a name pattern with * and ?) matches a file or
    // a folder.
    virtual bool Matches(const std::string& SubDir, const std::string& Pattern) const = 0;
    // Whether a file is there; when it is, whether it holds a version resource.
    virtual bool FileExists(const std::string& Path, bool& HasVersion) const = 0;
    // The names of the *.INF files in the medium's own folder that carry the installer's
    // signature: the scripts that SETUP.EXE, started without an argument, would take.
    virtual std::vector<std::string> SignedScripts() const = 0;
    // The files and folders in a folder of the medium (SubDir as for Matches, "" for its own
    // folder), sorted by name; none when the folder is missing.
    virtual std::vector<TListedEntry> List(const std::string& SubDir) const = 0;
};

struct TCheckOptions {
    std::string ScriptName;   // the script's file name, as the installed copy is named
    // The sample installation folder for the length checks; empty: the one the script proposes
    // under C:\Program Files.
    std::string InstallDir;
    // Variables that the environment of the installation provides besides the installer's own
    // and those of every Windows (the names alone).
    std::vector<std::string> Defines;
    const TMedium* Medium = nullptr;   // null: the files of the medium are not checked
};

// Every finding about File, sorted by line (the findings of one line in the order of the checks).
std::vector<TFinding> CheckScript(const TInfFile& File, const TCheckOptions& Options);

// Whether a FormKv value carries the installer's signature within the characters that the
// installer reads of it (SignatureSize with its NUL).
bool CarriesSignature(const std::string& FormKv);

// The [Files] section: which files of the installation medium go where.
#pragma once
#include <string>

// Set by a failed copy or a subdirectory that can't be made; from then on the section copies
// nothing more, though later entries still make their destination directories.
extern bool CopyStopped;

// Carries out every [Files] entry of the INF file in the order of its keys: makes the
// destination directory, copies the matching files (and matching subdirectories) from beside
// the INF file, and writes each entry's pending log text. Ends the run when a destination
// directory can't be made.
void ProcessFilesSection(const std::string& SourceInfPath);

// Copies the entries of FromDir that match Pattern into ToDir, file by file through the copy
// decision. Unmarked, a matching subdirectory is mirrored with the same pattern; Recursive
// (the key's "/s"), every subdirectory is, and the pattern selects files only.
void CopyTree(std::string FromDir, const std::string& Pattern, std::string ToDir, bool Recursive);

// What a plan keeps in its books (the folders, files, keys and values that the run would have made
// by now, for the steps after them) and how it asks the system whether the run would have the
// right to make a change, without making it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What CreateDirectory(Path) would do now, in a plan: true where it would make the folder, whose
// parent is there or made earlier in the plan; the plan then counts Path as made.
bool PlanMakeDir(const std::string& Path);

// Whether the plan has made the folder Path (letter case ignored).
bool PlanMadeDir(const std::string& Path);

// The files that the plan has installed, each as a copy of Source: a later step finds them
// there, with Source's bytes (PlanFileSource: nullptr for a file the plan did not install).
void PlanAddFile(const std::string& Path, const std::string& Source);
const std::string* PlanFileSource(const std::string& Path);
bool PlanHasFile(const std::string& Path);

// The folders and files that the plan has made right in the folder Dir, as the run spells them.
std::vector<std::string> PlanMadeIn(const std::string& Dir);

// Opens Path (file or folder) for Access with Flags and closes it again, changing nothing in it;
// false when that is refused, and GetLastError tells why. FILE_FLAG_BACKUP_SEMANTICS opens a
// folder too; FILE_FLAG_OPEN_REPARSE_POINT opens a link as itself.
bool MayOpen(const std::string& Path, DWORD Access, DWORD Flags);

// Whether a folder could be made below Parent (which exists): the right to add one to it.
bool MayAddTo(const std::string& Parent);

// What setting a value in Root\SubKey would give: ERROR_SUCCESS, or the code of the refusal.
LONG MaySetValue(HKEY Root, const std::string& SubKey);

// Whether the file at Path could be written (made, or opened for writing when it is there); when
// not, GetLastError tells why as writing it would: a missing folder, or access denied.
bool MayWriteFile(const std::string& Path);

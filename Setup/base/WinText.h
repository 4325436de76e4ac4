// Text read whole from the system: profile values, a section's key names, environment
// variables. A cut value would name another file or key, so none of these cuts.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Setup/base/SettingsDoor.h"   // WriteProfile, TProfileLine

// A profile value; Default when the key is missing.
std::string ReadProfile(const char* Section, const char* Key, const std::string& File,
                        const char* Default = "");

// The key names of a section in the order the file lists them; empty when there is none.
std::vector<std::string> ReadKeyList(const char* Section, const std::string& File);

// A whole section in two reads, as ReadKeyList and ReadProfile give it key by key: every key
// name in the order the file lists them, each with the value that ReadProfile gives for it (that
// of the first line of the name, surrounding quotes dropped). Reading key by key costs a search
// of the file per key, which grows with the file: thousands of keys took minutes. Listless, when
// given, tells whether the section has a line with "=" and no name: the key list ends there, so a
// key added at the section's end is not listed.
std::vector<TProfileLine> ReadSection(const char* Section, const std::string& File,
                                      bool* Listless = nullptr);

// Lets the system forget what it keeps of File from the profile functions' last use of it (the
// whole file, parsed, for the next call): megabytes for a script of many thousand lines. The next
// call reads the file again.
void ReleaseProfile(const std::string& File);

// Notes File (a full path) as read or written through the profile functions; the wrappers here do
// it themselves, a direct call of a profile function does it beside the call.
void NoteProfileFile(const std::string& File);

// The file at Path has been replaced by another. When the run has used it through the profile
// functions, the system's copy of the old file goes (ReleaseProfile): the system would take it
// for the new file of the same last-write time and write it back with the next value.
void ProfileFileReplaced(const std::string& Path);

// Any directory at Path, hidden and system ones included.
bool DirectoryExists(const std::string& Path);

// Text in capitals as the file system compares names: the key of a path in a set of paths.
std::string UpperCase(std::string Text);

// A process environment variable; false when it is not set.
bool ReadEnv(const char* Name, std::string& Value);

// Path as the system makes it full against the current directory (".." resolved); Path itself
// when the system can't.
std::string FullPath(const std::string& Path);

// FullPath of a path that depends on the current directory (or on the current drive); a full or
// empty path stays exactly as given.
std::string AbsolutePath(const std::string& Path);

// Sets a process environment variable; false, and nothing set, when the system can't take it.
bool SetEnv(const std::string& Name, const std::string& Value);

// The system's text for an error code: on one line when Width is 0, else broken into lines of
// at most Width characters. False, and Text empty, when the system has none.
bool SystemErrorText(DWORD Code, size_t Width, std::string& Text);

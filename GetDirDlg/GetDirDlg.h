// Picking a directory with the shell's folder browser, starting at a given directory.
#pragma once
#include <windows.h>

#include <shlobj.h>

#include <string>

const int bfDefaultFlags = -1;   // only file-system directories can be chosen

// Shows the browser owned by Owner with Dir selected. Returns 0 with Dir and DisplayName set to
// the choice, or 2 when the user cancelled (both strings unchanged). A null Callback selects
// BrowseCallback; Flags -1 selects the default.
int BrowseForDirectory(HWND Owner, std::string& Dir, std::string& DisplayName, BFFCALLBACK Callback,
                       int Flags, const char* Title);

// Selects the start directory (Data, a text) once the browser is up. Always returns 1.
int CALLBACK BrowseCallback(HWND Browser, UINT Event, LPARAM Param, LPARAM Data);

// Showing an [Info] text in Notepad and asking "Continue Installation?".
#pragma once
#include <windows.h>

#include <string>

// Shows the text file named by [Info] Key (if any) with Notepad, which keeps running in
// Process, then asks whether to continue. Returns 1 for OK, 2 when the user declined.
int InfoPrompt(const char* Key, const std::string& InfPath, DWORD WaitMs,
               PROCESS_INFORMATION& Process);

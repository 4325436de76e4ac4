// Showing an [Info] text in Notepad and asking "Continue Installation?".
#pragma once
#include <windows.h>

#include <string>

// How long Notepad gets to bring its window up before the prompt comes over it, in milliseconds.
const DWORD BeforeTextWait = 2500;         // the Before text, the first thing the user reads
const DWORD DifferentDirTextWait = 1000;   // the DifferentDir text

// Shows the text file named by [Info] Key (if any) with Notepad, which keeps running in
// Process, then asks whether to continue. Returns 1 for OK, 2 when the user declined.
int InfoPrompt(const char* Key, const std::string& InfPath, DWORD WaitMs,
               PROCESS_INFORMATION& Process);

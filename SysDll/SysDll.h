// DLLs from the system folder only. An installer is started from a downloads folder full of
// other files and often with an administrator's rights: a DLL planted beside it must never run.
#pragma once
#include <windows.h>

// Takes the program's own folder and the current directory out of the DLL search for the rest
// of the process: every later load by name, ours and the system DLLs' own, looks in the system
// folder only. Call it first, before anything loads a DLL.
void RestrictDllSearch();

// Loads Name (a bare file name such as "version.dll") from the system folder, or finds it loaded
// already; nullptr when it can't be had.
HMODULE LoadSystemDll(const char* Name);

// The routine Proc of the system DLL Name, or nullptr.
FARPROC SystemProc(const char* Name, const char* Proc);

// SystemProc typed as the caller's function pointer, resolved once; nullptr when it can't be had.
template <typename TFunc> TFunc SystemFunc(TFunc& Cache, const char* Dll, const char* Proc)
{
    if (!Cache)
        Cache = reinterpret_cast<TFunc>(reinterpret_cast<void*>(SystemProc(Dll, Proc)));
    return Cache;
}

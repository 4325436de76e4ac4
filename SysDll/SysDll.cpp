#include "SysDll/SysDll.h"

#include <string>

namespace {

// Flags of the loader that systems before Windows 8 (without their loader update) don't know;
// named here so that the program builds for those systems' headers too.
const DWORD SearchSystem32 = 0x00000800;   // LOAD_LIBRARY_SEARCH_SYSTEM32

typedef BOOL(WINAPI* TSetDefaultDllDirectories)(DWORD);

bool SearchRestricted = false;

const char* const PreloadedDlls[] = {"msimg32.dll"};

}   // namespace

void RestrictDllSearch()
{
    HMODULE Kernel = GetModuleHandleA("kernel32.dll");
    auto SetDefault = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(Kernel, "SetDefaultDllDirectories")));
    SearchRestricted = SetDefault && SetDefault(SearchSystem32);
    // Without it (Windows XP, Vista, 7 without the loader update) at least the current
    // directory leaves the search; every DLL of ours is then loaded by its full path.
    if (!SearchRestricted)
        SetDllDirectoryA("");
    // System DLLs that load further DLLs on their own (the control library its drawing helper)
    // may not honour the restricted search on every system: loaded now from the system folder,
    // a later look-up by name finds them loaded and never looks beside the program.
    for (const char* Name : PreloadedDlls)
        LoadSystemDll(Name);
}

HMODULE LoadSystemDll(const char* Name)
{
    if (SearchRestricted)
        return LoadLibraryExA(Name, nullptr, SearchSystem32);
    char Dir[MAX_PATH];
    UINT Length = GetSystemDirectoryA(Dir, sizeof Dir);
    if (Length == 0 || Length >= sizeof Dir)
        return nullptr;   // a cut path would name another folder
    return LoadLibraryA((std::string(Dir) + "\\" + Name).c_str());
}

FARPROC SystemProc(const char* Name, const char* Proc)
{
    HMODULE Dll = LoadSystemDll(Name);
    return Dll ? GetProcAddress(Dll, Proc) : nullptr;
}

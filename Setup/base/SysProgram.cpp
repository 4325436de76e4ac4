#include "Setup/base/SysProgram.h"

#include <vector>

#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"

// A 32-bit process on 64-bit Windows gets system32 here and is led to SysWOW64, which holds the
// 32-bit Notepad; the path is still the system's own.
static bool StartFromSystem(const char* Name, const std::string& Arguments, const WORD* Show,
                            DWORD Flags, PROCESS_INFORMATION& Process)
{
    char SystemDir[MAX_PATH];
    UINT Length = GetSystemDirectoryA(SystemDir, sizeof SystemDir);
    // No folder, or a cut one: start nothing rather than a program found elsewhere.
    if (Length == 0 || Length >= sizeof SystemDir)
        return false;
    std::string Program = std::string(SystemDir, Length) + "\\" + Name;
    // A bundle's medium lies in a folder that goes at the end of the run, and a program that
    // outlives the run (Notepad with the After text) must not hold it as its current folder: it
    // starts in the system folder and gets its file by the full path.
    bool Bundled = !MediumDir.empty();
    std::string Command = std::string(Name) + " " + (Bundled ? AbsolutePath(Arguments) : Arguments);
    std::vector<char> Line(Command.begin(), Command.end());   // CreateProcessA may write into it
    Line.push_back(0);
    STARTUPINFOA Startup = {};
    Startup.cb = sizeof Startup;
    if (Show != nullptr) {
        Startup.dwFlags = STARTF_USESHOWWINDOW;
        Startup.wShowWindow = *Show;
    }
    Process = PROCESS_INFORMATION{};
    if (CreateProcessA(Program.c_str(), Line.data(), nullptr, nullptr, FALSE, Flags, nullptr,
                       Bundled ? SystemDir : nullptr, &Startup, &Process))
        return true;
    Process = PROCESS_INFORMATION{};
    return false;
}

bool StartSystemProgram(const char* Name, const std::string& Arguments,
                        PROCESS_INFORMATION& Process)
{
    return StartFromSystem(Name, Arguments, nullptr, CREATE_DEFAULT_ERROR_MODE, Process);
}

bool OpenWithSystemProgram(const char* Name, const std::string& Arguments)
{
    const WORD Show = SW_SHOWNORMAL;
    PROCESS_INFORMATION Process;
    if (!StartFromSystem(Name, Arguments, &Show, 0, Process))
        return false;
    WaitForInputIdle(Process.hProcess, 30000);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
    return true;
}

void CloseStartedProgram(PROCESS_INFORMATION& Process)
{
    if (Process.hProcess == nullptr)
        return;
    TerminateProcess(Process.hProcess, 0);
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    Process = PROCESS_INFORMATION{};
}

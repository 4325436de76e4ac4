#include "Setup/base/VarExpand.h"

#include <windows.h>

#include <vector>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/VarExpandText.h"
#include "Setup/base/Report.h"
#include "Setup/base/WinText.h"

// The rule is applied here rather than by ExpandEnvironmentStringsA: that call takes and gives at
// most 32K characters, and beyond that it returns a cut text, or none at all for a longer input,
// without saying so; a value or path cut that way would be written as if it were whole.
std::string ExpandVars(const std::string& Text)
{
    return ExpandText(Text.c_str(), ReadEnv);
}

// The Windows directory: windir from the caller's own view of it, SystemRoot from the system's
// shared one (they differ only for a program the system gives a directory of its own per user).
static bool WindowsDirectory(bool Shared, std::string& Dir)
{
    std::vector<char> Buf(MAX_PATH);
    for (int Tries = 0; Tries < 2; ++Tries) {
        UINT Got = Shared ? GetSystemWindowsDirectoryA(Buf.data(), UINT(Buf.size()))
                          : GetWindowsDirectoryA(Buf.data(), UINT(Buf.size()));
        if (Got == 0)
            return false;
        if (Got < Buf.size()) {
            Dir.assign(Buf.data(), Got);
            return true;
        }
        Buf.resize(Got);   // Got is the size it needs
    }
    return false;
}

static bool SystemFolderVar(const char* Name, std::string& Value)
{
    if (SameText(Name, "windir"))
        return WindowsDirectory(false, Value);
    if (SameText(Name, "SystemRoot"))
        return WindowsDirectory(true, Value);
    return ReadEnv(Name, Value);
}

std::string ExpandSystemVars(const std::string& Text)
{
    return ExpandText(Text.c_str(), SystemFolderVar);
}

void ForgetInheritedVars()
{
    // The installer's standard names: from here on only the run sets them (the sequence, the path
    // choice, and the script's own [Strings] and [RegRead] lines where the language lets it).
    // ProgramFiles and the shell folders come from the registry, and any other variable is the
    // script's to take from the environment: those stay.
    for (const char* Name : {"MyProgramPath", "MyStartMenu", "MenuPath", "InfPath",
                             "ProjectVersion", "rundll", "setupx"})
        SetEnvironmentVariableA(Name, nullptr);
}

std::string ExpandEnvPasString(const std::string& S)
{
    std::string Expanded = ExpandVars(S);
    size_t Need = Expanded.size() + 1;   // the NUL counts, as it does in the fixed buffer
    if (Need > PasStringSize) {
        // S.c_str(): the message ends where the text's first NUL is, as a printed %s would.
        std::string Text = "Buffersize = " + std::to_string(PasStringSize) +
                           " at ExpandEnvPasString " + S.c_str() + " too small, " +
                           std::to_string(Need) + " required";
#if __cpp_exceptions
        throw EBufferOverflow(Text);
#else
        // SETUP.EXE itself is built without exceptions: what the outermost frame would have
        // done with this one, it does here.
        EndOnFailure(Text);
#endif
    }
    return Expanded;
}

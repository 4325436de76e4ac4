// SETUP.EXE: carries out the installation script beside it.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>
#include <exception>

#include "Setup/run/InstallSequence.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "SysDll/SysDll.h"

typedef void(WINAPI* TInitCommonControls)();
static TInitCommonControls InitControls = nullptr;

// The run-time's own answer to an exception that nobody catches prints the exception's type,
// demangled, to a console that a windowed program does not have; the demangler alone is a
// seventh of the program. Ending the process is all that remains of it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();    // before anything loads a DLL that a stranger could put beside us
    // The dialogs take the system's visual style. The control library is no DLL that every
    // process has, so it is not imported: it would be looked for beside the program first.
    if (SystemFunc(InitControls, "comctl32.dll", "InitCommonControls"))
        InitControls();
    CoInitialize(nullptr);  // the folder browser and shell links are COM objects
    try {
        RunInstallSequence();
    } catch (const std::exception& Failure) {
        // Only an expansion that does not fit its buffer gets here. Like a run-time with an
        // unhandled exception: say what happened, then end; the exit procedure still reports.
        ErrorBox(Failure.what());
        std::exit(1);
    }
    return 0;
}

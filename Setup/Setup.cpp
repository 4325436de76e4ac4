// SETUP.EXE: carries out the installation script beside it.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>

#include "Rules/BundleText.h"
#include "Rules/CommandLineText.h"
#include "Rules/SwitchText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/run/Bundle.h"
#include "Setup/run/InstallSequence.h"
#include "SysDll/SysDll.h"

typedef void(WINAPI* TInitCommonControls)();
static TInitCommonControls InitControls = nullptr;

// The run-time's own answer to an exception that nobody catches prints the exception's type,
// demangled, to a console that a windowed program does not have; the demangler alone is a
// seventh of the program. Ending the process is all that remains of it.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}   // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();   // before anything loads a DLL that a stranger could put beside us
    // The dialogs take the system's visual style. The control library is no DLL that every
    // process has, so it is not imported: it would be looked for beside the program first.
    if (SystemFunc(InitControls, "comctl32.dll", "InitCommonControls"))
        InitControls();
    CoInitialize(nullptr);   // the folder browser and shell links are COM objects
    // /bundle=OUT packs the medium into one file instead of installing from it.
    std::vector<std::string> Args = CommandArguments(GetCommandLineA());
    std::string Out, Bad;
    bool Quiet;
    if (ParseBundleArgs(Args, Out, Quiet, Bad))
        return Bad.empty() ? PackBundle(Out, Quiet) : RefuseBundleArgs(Bad, Quiet);
    // /? or /help shows the switches and does nothing else: no run, no report, no log.
    TSwitches Asked;
    if (ParseSwitches(Args, Asked, Out, Bad) == ssOk && Asked.Help) {
        TellStarter(HelpText(), "SETUP.EXE", false, Asked.Quiet);
        return ecSuccess;
    }
    // Built without exceptions: a failure that leaves no way on ends the run where it happens
    // (EndOnFailure), with the box that says what happened.
    RunInstallSequence();
    return 0;
}

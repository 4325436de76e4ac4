// minimaldialog.exe: the yardstick for SETUP.EXE's start. It does what SETUP.EXE must do before
// its first dialog and nothing else: the same manifest, the same imports (kernel32 and the C
// run-time at the start, the rest loaded at first call from the system folder), common controls,
// COM, then one dialog. The benchmark times process start to that dialog against SETUP.EXE's.
#include <windows.h>

#include <objbase.h>

#include "SysDll/SysDll.h"

typedef void(WINAPI* TInitCommonControls)();
static TInitCommonControls InitControls = nullptr;

static INT_PTR CALLBACK DlgProc(HWND Dlg, UINT Msg, WPARAM WParam, LPARAM)
{
    switch (Msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) {
            EndDialog(Dlg, LOWORD(WParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    if (SystemFunc(InitControls, "comctl32.dll", "InitCommonControls"))
        InitControls();
    CoInitialize(nullptr);
    DialogBoxParamA(Instance, "MINIMAL", nullptr, DlgProc, 0);
    return 0;
}

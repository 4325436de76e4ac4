#include "Setup/base/Progress.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "Rules/ProgressText.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/DlgIds.h"
#include "Setup/base/Journal.h"
#include "Setup/base/RunState.h"

const char* const StepChecking = "Checking the setup file";
const char* const StepUnpacking = "Unpacking";
const char* const StepCopying = "Copying files";
const char* const StepRegistry = "Registry";
const char* const StepStartMenu = "Start menu";

namespace {

// A class of its own, so that neither the robot of the tests nor a tool that waits for the
// installer's dialogs (all of them of the system's dialog class) takes this window for one.
const char ProgressClass[] = "SetupKvProgress";
const int ItemSize = 2 * MAX_PATH;   // the file at hand, cut to fit; NUL included
const int DelayTextSize = 12;        // milliseconds as digits; NUL included

struct TProgress {
    HWND Window = nullptr;
    bool Visible = false;
    bool Allowed = true;   // the run's side shows windows: neither quiet nor a plan
    bool Failed = false;   // no window could be made: the run goes on without one
    bool Cancel = false;   // Cancel was clicked and has not been asked about yet
    bool Ending = false;   // the user said Yes during a copy, which stops; the run ends next
    const char* Step = "";
    uint64_t Total = 0, Done = 0;   // Done: the units of the files before the one at hand
    uint64_t ItemUnits = 0;         // the file at hand's units
    uint64_t Part = 0;              // of which its copy has done so far
    uint32_t Items = 0;             // files and bytes since the last look at the clock
    uint64_t Bytes = 0;
    DWORD StepStart = 0, LastPaint = 0;
    DWORD DelayMs = ProgressDelayMs;
    bool DelayRead = false;
    char Item[ItemSize] = "";
} Progress;

// A test cannot wait for a step to be slow: SETUP_TEST_PROGRESS_DELAY sets the delay in
// milliseconds (0: at the first look). Nothing else reads it.
void ReadTestDelay()
{
    Progress.DelayRead = true;
    char Text[DelayTextSize];
    DWORD Len = GetEnvironmentVariableA("SETUP_TEST_PROGRESS_DELAY", Text, sizeof Text);
    if (Len == 0 || Len >= sizeof Text)
        return;   // absent, or too long to be a delay: the ordinary one
    char* End;
    unsigned long Ms = std::strtoul(Text, &End, 10);
    if (*End == '\0')
        Progress.DelayMs = DWORD(Ms);
}

INT_PTR CALLBACK ProgressProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM)
{
    switch (Msg) {
    case WM_INITDIALOG:
        SetWindowTextA(Window, Caption.c_str());
        SendDlgItemMessageA(Window, idBar, PBM_SETRANGE32, 0, ProgressBarRange);
        return FALSE;   // no focus: the window is never active
    case WM_COMMAND:
        // Cancel, Escape and the close box; asked about at the next file, after any question
        // that is up now.
        if (LOWORD(WParam) == IDCANCEL)
            Progress.Cancel = true;
        return TRUE;
    }
    return FALSE;
}

bool MakeWindow()
{
    HINSTANCE Own = GetModuleHandleA(nullptr);
    WNDCLASSA Class = {};
    Class.lpfnWndProc = DefDlgProcA;
    Class.cbWndExtra = DLGWINDOWEXTRA;
    Class.hInstance = Own;
    Class.hIcon = LoadIconA(Own, MAKEINTRESOURCEA(idSetupIcon));
    Class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
    Class.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    Class.lpszClassName = ProgressClass;
    if (RegisterClassA(&Class))
        Progress.Window = CreateDialogParamA(Own, "Progress", nullptr, ProgressProc, 0);
    Progress.Failed = Progress.Window == nullptr;
    return !Progress.Failed;
}

// Clicks and repaints waiting for the window, taken only here, so the copies pay for them only
// as often as it is painted.
void TakeMessages()
{
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(Progress.Window, &Msg)) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
    }
}

void Paint(DWORD Now)
{
    Progress.LastPaint = Now;
    SetDlgItemTextA(Progress.Window, idText, Progress.Step);
    SetDlgItemTextA(Progress.Window, idFile, Progress.Item);
    SendDlgItemMessageA(Progress.Window, idBar, PBM_SETPOS,
                        WPARAM(ProgressBarPos(Progress.Done + Progress.Part, Progress.Total)), 0);
    UpdateWindow(Progress.Window);
    TakeMessages();
}

// Whether the run may show the window at all.
bool MayShow()
{
    return Progress.Allowed && !Progress.Failed && *Progress.Step;
}

// A look at the clock: shows the window once the step has been slow, repaints it now and then.
void Look()
{
    Progress.Items = 0;
    Progress.Bytes = 0;
    if (!MayShow())
        return;
    DWORD Now = GetTickCount();
    switch (ProgressDue(Progress.Visible, Now, Progress.StepStart, Progress.LastPaint,
                        Progress.DelayMs)) {
    case pdShow:
        if (Progress.Window != nullptr || MakeWindow()) {
            ShowWindow(Progress.Window, SW_SHOWNOACTIVATE);
            Progress.Visible = true;
            Paint(Now);
        }
        break;
    case pdPaint:
        Paint(Now);
        break;
    case pdNothing:
        break;
    }
}

// The user clicked Cancel: asks whether to cancel the installation; true for Yes.
bool UserCancels()
{
    Progress.Cancel = false;
    // Only a shown run has the window, so the question is always on screen.
    ProgressQuestion(true);
    int Answer = MessageBoxA(nullptr, CancelQuestion(Journaling()), Caption.c_str(),
                             MB_YESNO | MB_ICONQUESTION);
    ProgressQuestion(false);
    return Answer == IDYES;
}

// Between two chunks of a copy: the bar goes on by the chunk, and a Cancel clicked meanwhile is
// asked about now rather than after the file. Costs a look at the clock; false stops the copy.
bool CopyGoesOn(uint64_t Copied)
{
    Progress.Part = Copied < Progress.ItemUnits ? Copied : Progress.ItemUnits;
    if (!Progress.Ending)
        Look();
    if (Progress.Cancel && UserCancels())
        Progress.Ending = true;
    return !Progress.Ending;
}

}   // namespace

void ProgressStep(const char* Step, uint64_t Total)
{
    if (!Progress.DelayRead)
        ReadTestDelay();
    ProgressEndIfCancelled();
    Progress.Step = Step;
    Progress.Total = Total;
    Progress.Done = Progress.ItemUnits = Progress.Part = 0;
    Progress.Item[0] = '\0';
    Progress.StepStart = GetTickCount();
    if (Progress.Visible)
        Paint(Progress.StepStart);
}

void ProgressIdle()
{
    Progress.Step = "";
    if (Progress.Visible)
        ShowWindow(Progress.Window, SW_HIDE);
    Progress.Visible = false;
}

void ProgressItem(const char* Name, uint64_t Units)
{
    size_t Len = std::strlen(Name);
    if (Len >= sizeof Progress.Item) {
        Name += Len - (sizeof Progress.Item - 1);   // the end of a long path says most
        Len = sizeof Progress.Item - 1;
    }
    std::memcpy(Progress.Item, Name, Len);
    Progress.Item[Len] = '\0';
    Progress.Done += Progress.ItemUnits;
    Progress.ItemUnits = Units;
    Progress.Part = 0;
    Progress.Bytes += Units;
    if (ProgressLookDue(++Progress.Items, Progress.Bytes))
        Look();
    if (Progress.Cancel && UserCancels())
        Progress.Ending = true;
    ProgressEndIfCancelled();
}

void ProgressMayShow(bool May)
{
    Progress.Allowed = May;
    // A run that shows no window pays nothing between the chunks of its copies.
    CopyChunkDone = May ? CopyGoesOn : nullptr;
}

bool ProgressWanted()
{
    return Progress.Allowed;
}

void ProgressEndIfCancelled()
{
    if (Progress.Ending)
        CancelRun(Progress.Step == StepCopying ? FileCopyCancelledLine : "Setup canceled by User");
}

void ProgressQuestion(bool Asking)
{
    if (!Progress.Visible)
        return;
    EnableWindow(Progress.Window, !Asking);
    if (Asking)
        Paint(GetTickCount());
}

void ProgressClose()
{
    if (Progress.Window != nullptr)
        DestroyWindow(Progress.Window);
    Progress.Window = nullptr;
    Progress.Visible = false;
    Progress.Failed = true;   // nothing shows it again
}

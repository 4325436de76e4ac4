// The robot's Win32 side: starts the program, watches its top-level windows, answers its
// dialogs and collects the Notepads it opens.
#include "Robot.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>

namespace {

const DWORD PollMs = 20;
const DWORD SettleMs = 80;   // texts set just after a dialog shows have arrived by then
const DWORD AtOncePollMs = 1;
const DWORD NotepadSettleMs = 400;   // Notepad loads its file after its window appears
const DWORD SendTimeoutMs = 2000;    // a target that hangs must not hang the robot
const DWORD ClickPauseMs = 100;      // a posted click runs before the next action of an answer
const DWORD BrowsePauseMs = 100;     // the folder browser fills its tree after a selection
const DWORD EndGraceMs = 300;        // a Notepad started just before the end still gets noticed
const DWORD LateChildMs = 3000;      // at most this long for a late child to show its window

// A visible top-level window, as seen by one poll.
struct TTopLevel {
    HWND Wnd;
    DWORD Pid;
    std::string Class;
};

// A dialog window of the program that the robot has seen.
struct TDialogWatch {
    HWND Wnd;
    DWORD Since;     // when it appeared, or began to wait for the user again
    bool Answered;   // false: it gets the next answer once it has settled
};

struct TNotepadWatch {
    HWND Wnd;
    DWORD Since;
    bool Settled;
    size_t Index;   // into TRunResult::Notepads
};

// Live handles of a dialog's controls, in the order of TDialog::Controls.
struct TLiveControl {
    HWND Wnd;
    LONG Style;
};

struct TRun {
    const TRunOptions& Options;
    PROCESS_INFORMATION Proc;
    TRunResult& Result;
    std::vector<TDialogWatch> Dialogs;
    std::vector<TNotepadWatch> Notepads;
    std::map<DWORD, bool> IsChildPid;   // per process id: started by the program?
    bool Stopped = false;
    LARGE_INTEGER Started;   // performance counter just before CreateProcessA
};

double MsSince(const LARGE_INTEGER& Start)
{
    LARGE_INTEGER Now, Frequency;
    QueryPerformanceCounter(&Now);
    QueryPerformanceFrequency(&Frequency);
    return (Now.QuadPart - Start.QuadPart) * 1000.0 / Frequency.QuadPart;
}

bool Send(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, DWORD_PTR& Reply)
{
    Reply = 0;
    return SendMessageTimeoutA(Wnd, Msg, WParam, LParam, SMTO_ABORTIFHUNG, SendTimeoutMs, &Reply);
}

// WM_GETTEXT is marshalled between processes; GetWindowTextA does not read other processes'
// controls.
std::string WindowText(HWND Wnd)
{
    DWORD_PTR Length;
    if (!Send(Wnd, WM_GETTEXTLENGTH, 0, 0, Length))
        return "";
    std::string Text(Length + 1, '\0');
    DWORD_PTR Got;
    if (!Send(Wnd, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(&Text[0]), Got))
        return "";
    Text.resize(std::min<size_t>(Got, Length));
    return Text;
}

std::string ClassName(HWND Wnd)
{
    char Name[256];
    int Length = GetClassNameA(Wnd, Name, sizeof Name);
    return std::string(Name, Length > 0 ? Length : 0);
}

bool SameText(const std::string& A, const char* B)
{
    return lstrcmpiA(A.c_str(), B) == 0;
}

BOOL CALLBACK AddTopLevel(HWND Wnd, LPARAM Param)
{
    if (IsWindowVisible(Wnd)) {
        DWORD Pid = 0;
        GetWindowThreadProcessId(Wnd, &Pid);
        reinterpret_cast<std::vector<TTopLevel>*>(Param)->push_back({Wnd, Pid, ClassName(Wnd)});
    }
    return TRUE;
}

BOOL CALLBACK AddChild(HWND Wnd, LPARAM Param)
{
    reinterpret_cast<std::vector<TLiveControl>*>(Param)->push_back(
        {Wnd, GetWindowLongA(Wnd, GWL_STYLE)});
    return TRUE;
}

std::vector<TTopLevel> TopLevelWindows()
{
    std::vector<TTopLevel> Windows;
    EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&Windows));
    return Windows;
}

// The visible dialog windows alone: few server calls, so that looking every millisecond does not
// slow down the program being timed.
std::vector<TTopLevel> DialogWindows()
{
    std::vector<TTopLevel> Windows;
    for (HWND Wnd = FindWindowExA(nullptr, nullptr, "#32770", nullptr); Wnd;
         Wnd = FindWindowExA(nullptr, Wnd, "#32770", nullptr)) {
        DWORD Pid = 0;
        if (IsWindowVisible(Wnd) && GetWindowThreadProcessId(Wnd, &Pid))
            Windows.push_back({Wnd, Pid, "#32770"});
    }
    return Windows;
}

// The program's progress window: a class of its own, which the dialog watch does not take.
const char ProgressClass[] = "SetupKvProgress";
const int ProgressFileId = 110;
const int ProgressBarId = 111;

HWND ProgressWindow(const TRun& Run)
{
    for (HWND Wnd = FindWindowExA(nullptr, nullptr, ProgressClass, nullptr); Wnd;
         Wnd = FindWindowExA(nullptr, Wnd, ProgressClass, nullptr)) {
        DWORD Pid = 0;
        if (IsWindowVisible(Wnd) && GetWindowThreadProcessId(Wnd, &Pid) &&
            Pid == Run.Proc.dwProcessId)
            return Wnd;
    }
    return nullptr;
}

// Notes what the progress window shows when it differs from what was seen last.
void WatchProgress(TRun& Run)
{
    HWND Wnd = ProgressWindow(Run);
    if (!Wnd)
        return;
    TProgressSight Sight;
    Sight.Step = WindowText(GetDlgItem(Wnd, 101));
    Sight.File = WindowText(GetDlgItem(Wnd, ProgressFileId));
    DWORD_PTR Pos;
    if (Send(GetDlgItem(Wnd, ProgressBarId), PBM_GETPOS, 0, 0, Pos))
        Sight.Bar = int(Pos);
    std::vector<TProgressSight>& Seen = Run.Result.Progress;
    if (Seen.empty() || Seen.back().Step != Sight.Step || Seen.back().File != Sight.File ||
        Seen.back().Bar != Sight.Bar)
        Seen.push_back(Sight);
}

// Processes whose parent is Pid, running now.
std::vector<DWORD> ChildProcesses(DWORD Pid)
{
    std::vector<DWORD> Children;
    HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (Snapshot == INVALID_HANDLE_VALUE)
        return Children;
    PROCESSENTRY32 Entry;
    Entry.dwSize = sizeof Entry;
    for (BOOL More = Process32First(Snapshot, &Entry); More; More = Process32Next(Snapshot, &Entry))
        if (Entry.th32ParentProcessID == Pid && Entry.th32ProcessID != Pid)
            Children.push_back(Entry.th32ProcessID);
    CloseHandle(Snapshot);
    return Children;
}

// Only the program's own Notepads count, so tests running side by side don't see each other's.
bool IsChildOfTarget(TRun& Run, DWORD Pid)
{
    auto Known = Run.IsChildPid.find(Pid);
    if (Known != Run.IsChildPid.end())
        return Known->second;
    std::vector<DWORD> Children = ChildProcesses(Run.Proc.dwProcessId);
    bool IsChild = std::find(Children.begin(), Children.end(), Pid) != Children.end();
    Run.IsChildPid[Pid] = IsChild;
    return IsChild;
}

bool IsCheckable(const TControl& Control, LONG Style)
{
    LONG Type = Style & BS_TYPEMASK;
    return SameText(Control.Class, "Button") &&
           (Type == BS_CHECKBOX || Type == BS_AUTOCHECKBOX || Type == BS_3STATE ||
            Type == BS_AUTO3STATE || Type == BS_RADIOBUTTON || Type == BS_AUTORADIOBUTTON);
}

void ReadDialog(HWND Wnd, TDialog& Dialog, std::vector<TLiveControl>& Live)
{
    Dialog.Title = WindowText(Wnd);
    EnumChildWindows(Wnd, AddChild, reinterpret_cast<LPARAM>(&Live));
    for (const TLiveControl& Child : Live) {
        TControl Control{GetDlgCtrlID(Child.Wnd) & 0xFFFF,
                         ClassName(Child.Wnd),
                         WindowText(Child.Wnd),
                         IsWindowEnabled(Child.Wnd) != FALSE,
                         IsWindowVisible(Child.Wnd) != FALSE,
                         -1};
        DWORD_PTR Check;
        if (IsCheckable(Control, Child.Style) && Send(Child.Wnd, BM_GETCHECK, 0, 0, Check))
            Control.Checked = static_cast<int>(Check);
        Dialog.Controls.push_back(Control);
    }
    Dialog.IsTemplate = Dialog.Find(101) != nullptr;
}

// The button Enter would press: the dialog's default id, else a default push button, else a
// message box's first button, else OK.
int DefaultButton(HWND Wnd, const TDialog& Dialog, const std::vector<TLiveControl>& Live)
{
    DWORD_PTR Def;
    if (Send(Wnd, DM_GETDEFID, 0, 0, Def) && HIWORD(Def) == DC_HASDEFID && Dialog.Find(LOWORD(Def)))
        return LOWORD(Def);
    int First = -1;
    for (size_t I = 0; I < Live.size(); ++I) {
        if (!SameText(Dialog.Controls[I].Class, "Button"))
            continue;
        LONG Type = Live[I].Style & BS_TYPEMASK;
        if (Type == BS_DEFPUSHBUTTON)
            return Dialog.Controls[I].Id;
        if (Type == BS_PUSHBUTTON && First < 0)
            First = Dialog.Controls[I].Id;
    }
    return !Dialog.IsTemplate && First >= 0 ? First : IDOK;
}

// The control an action works on; it must exist and be enabled, as for a user.
HWND UsableControl(const TDialog& Dialog, const std::vector<TLiveControl>& Live, int Id,
                   std::string& Error)
{
    for (size_t I = 0; I < Live.size(); ++I) {
        if (Dialog.Controls[I].Id != Id)
            continue;
        if (Dialog.Controls[I].Enabled)
            return Live[I].Wnd;
        Error = "control " + std::to_string(Id) + " is disabled";
        return nullptr;
    }
    Error = "no control " + std::to_string(Id);
    return nullptr;
}

// Clicks are posted, never sent: a click may open a nested modal loop (a message box, the
// folder browser), and a sent message would only return when that loop ends.
bool Click(const TDialog& Dialog, const std::vector<TLiveControl>& Live, int Id, std::string& Error)
{
    HWND Control = UsableControl(Dialog, Live, Id, Error);
    return Control && PostMessageA(Control, BM_CLICK, 0, 0);
}

// Memory in the program for the parameters of a message that carries pointers.
struct TRemote {
    HANDLE Process;
    char* Base;
};

TRemote AllocRemote(HANDLE Process, size_t Size)
{
    void* Base = VirtualAllocEx(Process, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    return {Process, static_cast<char*>(Base)};
}

void FreeRemote(const TRemote& Remote)
{
    VirtualFreeEx(Remote.Process, Remote.Base, 0, MEM_RELEASE);
}

// Text of the selected item of a tree view in the program ("" if none).
std::string SelectedTreeItem(HANDLE Process, HWND Tree)
{
    const int TextSize = MAX_PATH;
    DWORD_PTR Item;
    if (!Send(Tree, TVM_GETNEXTITEM, TVGN_CARET, 0, Item) || !Item)
        return "";
    TRemote Remote = AllocRemote(Process, sizeof(TVITEMA) + TextSize);
    if (!Remote.Base)
        return "";
    TVITEMA Request{};
    Request.mask = TVIF_TEXT;
    Request.hItem = reinterpret_cast<HTREEITEM>(Item);
    Request.pszText = Remote.Base + sizeof(TVITEMA);
    Request.cchTextMax = TextSize;
    char Text[TextSize] = "";
    DWORD_PTR Reply;
    if (WriteProcessMemory(Process, Remote.Base, &Request, sizeof Request, nullptr) &&
        Send(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(Remote.Base), Reply) && Reply)
        ReadProcessMemory(Process, Request.pszText, Text, sizeof Text - 1, nullptr);
    FreeRemote(Remote);
    return Text;
}

// Lists each level of Path once. The shell keeps a folder's access time in its item ids, and the
// first listing after a change in a folder moves that time (relatime). Wine's folder browser
// lists a folder after making its tree item, and then no longer finds that item by path, so a
// selection of it does nothing. Listing the levels before the browser opens keeps them stable.
void SettleAccessTimes(const std::string& Path)
{
    for (size_t End = Path.find('\\', 3);; End = Path.find('\\', End + 1)) {
        WIN32_FIND_DATAA Entry;
        HANDLE Find = FindFirstFileA((Path.substr(0, End) + "\\*").c_str(), &Entry);
        if (Find != INVALID_HANDLE_VALUE) {
            while (FindNextFileA(Find, &Entry)) {
            }
            FindClose(Find);
        }
        if (End == std::string::npos)
            break;
    }
}

// Selects Folder in a shell folder browser, through a copy of the path in the program's memory,
// and checks the tree's selection by the folder's name.
bool SelectFolder(TRun& Run, HWND Wnd, const TDialog& Dialog, const std::vector<TLiveControl>& Live,
                  const std::string& Folder, std::string& Error)
{
    HWND Tree = nullptr;
    for (size_t I = 0; I < Live.size(); ++I)
        if (SameText(Dialog.Controls[I].Class, WC_TREEVIEWA))
            Tree = Live[I].Wnd;
    std::string Path = Folder;
    while (Path.size() > 3 && Path.back() == '\\')
        Path.pop_back();
    // A drive root shows as a drive's display name, which the robot cannot predict.
    std::string Name = Path.size() > 3 ? Path.substr(Path.find_last_of('\\') + 1) : "";
    SettleAccessTimes(Path);
    HANDLE Process = Run.Proc.hProcess;
    TRemote Remote = AllocRemote(Process, Path.size() + 1);
    if (!Remote.Base) {
        Error = "can't reserve memory in the program: error " + std::to_string(GetLastError());
        return false;
    }
    DWORD_PTR Reply;
    bool Sent = WriteProcessMemory(Process, Remote.Base, Path.c_str(), Path.size() + 1, nullptr) &&
                Send(Wnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(Remote.Base), Reply);
    FreeRemote(Remote);
    Sleep(BrowsePauseMs);
    std::string Shown = Tree ? SelectedTreeItem(Process, Tree) : Name;
    bool Selected = Sent && (Name.empty() || lstrcmpiA(Shown.c_str(), Name.c_str()) == 0);
    if (!Selected)
        Error = "the folder browser did not select " + Path + " (selected: \"" + Shown + "\")";
    return Selected;
}

// Carries out one action; returns false with Error when it does not fit the dialog.
bool Act(TRun& Run, HWND Wnd, const TDialog& Dialog, const std::vector<TLiveControl>& Live,
         const TAction& Action, bool Last, std::string& Done, std::string& Error)
{
    TAnswer Echo{Action};
    Done += (Done.empty() ? "" : "; ") + FormatAnswer(Echo);
    DWORD_PTR Reply;
    HWND Control;
    switch (Action.Kind) {
    case TAction::akClick:
        if (!Click(Dialog, Live, Action.Id, Error))
            return false;
        if (!Last)
            Sleep(ClickPauseMs);
        return true;
    case TAction::akCheck:   // sent, so that the next action sees the new state
        Control = UsableControl(Dialog, Live, Action.Id, Error);
        return Control && Send(Control, BM_CLICK, 0, 0, Reply);
    case TAction::akType:
        Control = UsableControl(Dialog, Live, Action.Id, Error);
        return Control &&
               Send(Control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Action.Text.c_str()), Reply);
    case TAction::akClose:   // the dialog manager turns it into command 2
        return PostMessageA(Wnd, WM_CLOSE, 0, 0);
    case TAction::akBrowse:
        return SelectFolder(Run, Wnd, Dialog, Live, Action.Text, Error) &&
               Click(Dialog, Live, IDOK, Error);
    case TAction::akWait:
        Sleep(Action.Ms);
        return true;
    case TAction::akCancelProgress:
        if (HWND Progress = ProgressWindow(Run))
            return PostMessageA(Progress, WM_COMMAND, IDCANCEL, 0);
        Error = "no progress window to cancel";
        return false;
    default: {
        int Id = DefaultButton(Wnd, Dialog, Live);
        Done += " (click " + std::to_string(Id) + ")";
        return Click(Dialog, Live, Id, Error);
    }
    }
}

void Stop(TRun& Run, const std::string& Why)
{
    if (Run.Stopped)
        return;
    Run.Result.Failure = Why;
    TerminateProcess(Run.Proc.hProcess, RobotKilledExitCode);
    Run.Stopped = true;
}

// Reads a dialog that waits for the user and gives it the next answer.
void AnswerDialog(TRun& Run, HWND Wnd)
{
    TDialog Dialog;
    std::vector<TLiveControl> Live;
    ReadDialog(Wnd, Dialog, Live);
    if (!IsWindow(Wnd) || !IsWindowVisible(Wnd))
        return;   // it was on its way out, not waiting for an answer
    TRunResult& Result = Run.Result;
    std::string Where = "dialog " + std::to_string(Result.Dialogs.size() + 1) + " \"" +
                        Dialog.Title + "\" (" + Dialog.Message() + ")";
    TAnswer Answer;
    if (Result.AnswersUsed < Run.Options.Answers.size()) {
        Answer = Run.Options.Answers[Result.AnswersUsed++];
    } else if (Run.Options.DefaultsForRest &&
               TrailingRepeats(Result.Dialogs, Dialog) >= RepeatLimit) {
        Dialog.Answer = "(none: it came back unchanged " + std::to_string(RepeatLimit) + " times)";
        Result.Dialogs.push_back(Dialog);
        Result.Repeated = true;
        Stop(Run, Where + " came back unchanged " + std::to_string(RepeatLimit) +
                      " times to the default answer: it waits for what no answer here changes "
                      "(a file still in use); answer it in the answers file");
        return;
    } else if (Run.Options.DefaultsForRest) {
        Answer.push_back({TAction::akDefault, 0, ""});
    } else {
        Dialog.Answer = "(no answer left)";
        Result.Dialogs.push_back(Dialog);
        Result.Unexpected = true;
        Stop(Run, "unexpected " + Where);
        return;
    }
    std::string Done, Error;
    for (size_t I = 0; I < Answer.size() && Error.empty(); ++I)
        if (!Act(Run, Wnd, Dialog, Live, Answer[I], I + 1 == Answer.size(), Done, Error) &&
            Error.empty())
            Error = "failed with error " + std::to_string(GetLastError());
    Dialog.Answer = Done;
    Result.Dialogs.push_back(Dialog);
    if (!Error.empty()) {
        Result.Unexpected = true;
        Stop(Run, Where + ": " + Done + ": " + Error);
    }
}

void WatchDialogs(TRun& Run, const std::vector<TTopLevel>& Windows)
{
    DWORD Now = GetTickCount();
    auto IsOpen = [&](HWND Wnd) {
        return std::any_of(Windows.begin(), Windows.end(),
                           [&](const TTopLevel& Window) { return Window.Wnd == Wnd; });
    };
    // A dialog that is still open after a dialog it opened has closed (a message box, the folder
    // browser) waits for the user again and takes the next answer.
    bool AnsweredClosed = false;
    for (auto It = Run.Dialogs.begin(); It != Run.Dialogs.end();) {
        if (IsOpen(It->Wnd) && IsWindow(It->Wnd)) {
            ++It;
            continue;
        }
        AnsweredClosed = AnsweredClosed || It->Answered;
        It = Run.Dialogs.erase(It);
    }
    for (TDialogWatch& Watch : Run.Dialogs)
        if (AnsweredClosed && Watch.Answered)
            Watch = {Watch.Wnd, Now, false};
    for (const TTopLevel& Window : Windows) {
        bool Known =
            std::any_of(Run.Dialogs.begin(), Run.Dialogs.end(),
                        [&](const TDialogWatch& Watch) { return Watch.Wnd == Window.Wnd; });
        if (!Known && Window.Pid == Run.Proc.dwProcessId && Window.Class == "#32770") {
            Run.Dialogs.push_back({Window.Wnd, Now, false});
            if (Run.Result.FirstDialogMs < 0)
                Run.Result.FirstDialogMs = MsSince(Run.Started);
        }
    }
    DWORD Settle = Run.Options.AtOnce ? 0 : SettleMs;
    for (size_t I = 0; I < Run.Dialogs.size() && !Run.Stopped; ++I) {
        if (Run.Dialogs[I].Answered || Now - Run.Dialogs[I].Since < Settle)
            continue;
        Run.Dialogs[I].Answered = true;
        AnswerDialog(Run, Run.Dialogs[I].Wnd);
    }
}

void ReadNotepad(HWND Wnd, TNotepad& Notepad)
{
    Notepad.Title = WindowText(Wnd);
    if (HWND Edit = FindWindowExA(Wnd, nullptr, "Edit", nullptr))
        Notepad.Text = WindowText(Edit);
}

// Records each Notepad of the program at once, and again when it has loaded its file.
void WatchNotepads(TRun& Run, const std::vector<TTopLevel>& Windows)
{
    DWORD Now = GetTickCount();
    for (const TTopLevel& Window : Windows) {
        if (!SameText(Window.Class, "Notepad") || !IsChildOfTarget(Run, Window.Pid))
            continue;
        bool Known =
            std::any_of(Run.Notepads.begin(), Run.Notepads.end(),
                        [&](const TNotepadWatch& Watch) { return Watch.Wnd == Window.Wnd; });
        if (Known)
            continue;
        Run.Notepads.push_back({Window.Wnd, Now, false, Run.Result.Notepads.size()});
        Run.Result.Notepads.emplace_back();
        ReadNotepad(Window.Wnd, Run.Result.Notepads.back());
    }
    for (TNotepadWatch& Watch : Run.Notepads) {
        if (Watch.Settled || Now - Watch.Since < NotepadSettleMs || !IsWindow(Watch.Wnd))
            continue;
        Watch.Settled = true;
        ReadNotepad(Watch.Wnd, Run.Result.Notepads[Watch.Index]);
    }
}

// After the program has ended: notes the Notepads still open, then closes every process it left.
void FinishChildren(TRun& Run)
{
    DWORD End = GetTickCount();
    for (;;) {
        std::vector<TTopLevel> Windows = TopLevelWindows();
        WatchNotepads(Run, Windows);
        // A child that has no window yet may be a Notepad that is still starting.
        bool Starting = false;
        for (DWORD Pid : ChildProcesses(Run.Proc.dwProcessId))
            Starting = Starting || std::none_of(Windows.begin(), Windows.end(),
                                                [&](const TTopLevel& W) { return W.Pid == Pid; });
        DWORD Waited = GetTickCount() - End;
        if (Waited >= EndGraceMs && (!Starting || Waited >= LateChildMs))
            break;
        Sleep(PollMs);
    }
    for (TNotepadWatch& Watch : Run.Notepads) {
        TNotepad& Notepad = Run.Result.Notepads[Watch.Index];
        Notepad.OpenAtEnd = IsWindow(Watch.Wnd) != FALSE;
        if (Notepad.OpenAtEnd)
            ReadNotepad(Watch.Wnd, Notepad);
    }
    for (DWORD Pid : ChildProcesses(Run.Proc.dwProcessId)) {
        if (HANDLE Child = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Pid)) {
            TerminateProcess(Child, 0);
            WaitForSingleObject(Child, SendTimeoutMs);
            CloseHandle(Child);
        }
    }
}

// The robot's environment with the run's overrides, as an ANSI environment block.
std::string EnvironmentBlock(const TEnvOverrides& Overrides)
{
    std::vector<std::string> Vars;
    if (char* Strings = GetEnvironmentStringsA()) {
        for (const char* Var = Strings; *Var; Var += lstrlenA(Var) + 1)
            Vars.push_back(Var);
        FreeEnvironmentStringsA(Strings);
    }
    std::string Block;
    for (const std::string& Var : ApplyEnvOverrides(Vars, Overrides))
        Block += Var + '\0';
    if (Block.empty())
        Block += '\0';   // an empty block still needs both NULs
    return Block + '\0';
}

}   // namespace

TRunResult RunWithRobot(const TRunOptions& Options)
{
    TRunResult Result;
    std::string CommandLine = Options.CommandLine;   // CreateProcessA may write into it
    std::string Environment = EnvironmentBlock(Options.Env);
    for (const TAnswer& Answer : Options.Answers)
        for (const TAction& Action : Answer)
            if (Action.Kind == TAction::akBrowse)
                SettleAccessTimes(Action.Text);
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Proc{};
    LARGE_INTEGER Started;
    QueryPerformanceCounter(&Started);
    if (!CreateProcessA(nullptr, &CommandLine[0], nullptr, nullptr, FALSE, 0, &Environment[0],
                        Options.WorkDir.empty() ? nullptr : Options.WorkDir.c_str(), &Startup,
                        &Proc)) {
        Result.Unexpected = true;
        Result.ExitCode = RobotKilledExitCode;
        Result.Failure =
            "can't start " + Options.CommandLine + ": error " + std::to_string(GetLastError());
        Result.AnswersLeft = Options.Answers.size();
        return Result;
    }
    TRun Run{Options, Proc, Result, {}, {}, {}, false, Started};
    DWORD Start = GetTickCount();
    DWORD Poll = Options.AtOnce ? AtOncePollMs : PollMs;
    DWORD LastFullLook = Start;
    while (WaitForSingleObject(Proc.hProcess, Poll) == WAIT_TIMEOUT) {
        if (Run.Stopped)
            continue;   // terminated: wait for the end
        // At once, the quick looks between the full ones see only dialogs, which is all they need.
        bool Full = !Options.AtOnce || GetTickCount() - LastFullLook >= PollMs;
        std::vector<TTopLevel> Windows = Full ? TopLevelWindows() : DialogWindows();
        WatchDialogs(Run, Windows);
        if (Full) {
            WatchProgress(Run);
            WatchNotepads(Run, Windows);
            LastFullLook = GetTickCount();
        }
        if (!Run.Stopped && GetTickCount() - Start >= Options.TimeoutMs) {
            Result.TimedOut = true;
            Stop(Run, "time limit of " + std::to_string(Options.TimeoutMs) + " ms reached");
        }
    }
    Result.LifetimeMs = MsSince(Started);   // the wait returns as soon as the program ends
    DWORD ExitCode = 0;
    GetExitCodeProcess(Proc.hProcess, &ExitCode);
    Result.ExitCode = ExitCode;
    Result.AnswersLeft = Options.Answers.size() - Result.AnswersUsed;
    FinishChildren(Run);
    CloseHandle(Proc.hThread);
    CloseHandle(Proc.hProcess);
    return Result;
}

#include "Setup/base/Dialogs.h"

#include <shellapi.h>

#include "GetDirDlg/GetDirDlg.h"
#include "Rules/Capacities.h"
#include "Rules/DlgText.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/WinText.h"

HFONT LinkFont = nullptr;

const COLORREF LinkColour = RGB(0, 0, 255);

static bool HasItem(HWND Dlg, int Id)
{
    return GetDlgItem(Dlg, Id) != nullptr;
}

// Reads edit field 102 back into the caller's buffer, as much as it holds.
static void ReadBuf(HWND Dlg)
{
    if (DlgRec.Buf != nullptr && DlgRec.BufSize > 0)
        GetDlgItemTextA(Dlg, idBuf, DlgRec.Buf, DlgRec.BufSize);
}

static void EnableBackupTarget(HWND Dlg, bool On)
{
    EnableWindow(GetDlgItem(Dlg, idBuf), On);
    EnableWindow(GetDlgItem(Dlg, idBrowse), On);
}

static void ShowLink(HWND Dlg)
{
    if (LinkFont == nullptr) {
        HDC Screen = GetDC(nullptr);
        int Height = -MulDiv(8, GetDeviceCaps(Screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, Screen);
        LinkFont =
            CreateFontA(Height, 0, 0, 0, 0, FALSE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, nullptr);
    }
    HWND Link = GetDlgItem(Dlg, idLink);
    SendMessageA(Link, WM_SETFONT, WPARAM(LinkFont), FALSE);
    // Centred by its style; the blue comes with WM_CTLCOLORSTATIC.
    SetWindowLongA(Link, GWL_STYLE, (GetWindowLongA(Link, GWL_STYLE) & ~SS_TYPEMASK) | SS_CENTER);
    SetWindowTextA(Link, DlgRec.Buf);
}

static INT_PTR OnInitDialog(HWND Dlg)
{
    SetWindowTextA(Dlg, Caption.c_str());
    SetDlgItemTextA(Dlg, idText, DlgRec.Text.c_str());
    if (HasItem(Dlg, idBuf) && DlgRec.Buf != nullptr)
        SetDlgItemTextA(Dlg, idBuf, DlgRec.Buf);
    if (HasItem(Dlg, idBackup)) {
        CheckDlgButton(Dlg, idBackup, DlgRec.Backup ? BST_CHECKED : BST_UNCHECKED);
        EnableBackupTarget(Dlg, DlgRec.Backup);
    }
    if (HasItem(Dlg, idAlways))
        CheckDlgButton(Dlg, idAlways, DlgRec.Always ? BST_CHECKED : BST_UNCHECKED);
    if (HasItem(Dlg, idLink) && DlgRec.Buf != nullptr)
        ShowLink(Dlg);
    // In front of the Notepad window that shows the text the prompt is about.
    SetWindowLongA(Dlg, GWL_EXSTYLE, GetWindowLongA(Dlg, GWL_EXSTYLE) | WS_EX_TOPMOST);
    SetWindowPos(Dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The answer recorded for this question is the one Enter gives.
    if (DlgRec.Preset != 0 && HasItem(Dlg, DlgRec.Preset)) {
        SendMessageA(Dlg, DM_SETDEFID, WPARAM(DlgRec.Preset), 0);
        SetFocus(GetDlgItem(Dlg, DlgRec.Preset));
        return FALSE;   // the focus is set
    }
    return TRUE;
}

static void Finish(HWND Dlg, int Id)
{
    DlgRec.Result = Id;
    EndDialog(Dlg, Id);
}

static void OnOverwrite(HWND Dlg)
{
    DlgRec.Result = idOverwrite;
    DlgRec.Backup = IsDlgButtonChecked(Dlg, idBackup) == BST_CHECKED;
    if (!DlgRec.Backup) {
        Finish(Dlg, idOverwrite);
        return;
    }
    ReadBuf(Dlg);
    const char* Dir = DlgRec.Buf != nullptr ? DlgRec.Buf : "";
    if (FolderReady(Dir))
        Finish(Dlg, idOverwrite);
    else   // a dialog shows only on the shown side, and so does its box
        MessageBoxA(nullptr, "Error: Could not find/create Directory!", Caption.c_str(),
                    MB_OK | MB_ICONERROR);
}

static void OnBrowse(HWND Dlg)
{
    char Start[PathFieldSize];
    GetDlgItemTextA(Dlg, idBuf, Start, sizeof Start);
    std::string Dir = Start, DisplayName;
    const char* Title = DlgRec.Kind == dkInstallPath ? "Select Destination Folder for Installation"
                                                     : "Select Destination Folder for backup files";
    // Cancelling the browser is no error: the dialog and its field simply stay as they were.
    if (BrowseForDirectory(Dlg, Dir, DisplayName, nullptr, -1, Title) != 0)
        return;
    if (DlgRec.Kind == dkInstallPath)
        Dir = WithNamePart(Dir, DlgRec.NamePart);
    else
        EnableWindow(GetDlgItem(Dlg, idBuf), !Dir.empty());
    SetDlgItemTextA(Dlg, idBuf, Dir.c_str());
}

static void OnToggleBackup(HWND Dlg)
{
    if (IsDlgButtonChecked(Dlg, idBackup) == BST_CHECKED) {
        CheckDlgButton(Dlg, idBackup, BST_UNCHECKED);
        DlgRec.Backup = false;
        EnableBackupTarget(Dlg, false);
    } else {
        CheckDlgButton(Dlg, idBackup, BST_CHECKED);
        DlgRec.Backup = true;
        EnableBackupTarget(Dlg, true);
        ReadBuf(Dlg);
    }
}

static void OnToggleAlways(HWND Dlg)
{
    DlgRec.Always = IsDlgButtonChecked(Dlg, idAlways) != BST_CHECKED;
    CheckDlgButton(Dlg, idAlways, DlgRec.Always ? BST_CHECKED : BST_UNCHECKED);
}

static void OnShowLog()
{
    std::string Log = DlgRec.Buf != nullptr ? DlgRec.Buf : "";   // the log file's path
    if (!OpenWithSystemProgram("notepad.exe", Log)) {
        std::string Text = "Error to show LogFile " + Log + " with Notepad.EXE";
        MessageBoxA(nullptr, Text.c_str(), Caption.c_str(), MB_YESNO);
        ++ErrorCount;
    }
}

static INT_PTR OnCommand(HWND Dlg, WPARAM Command)
{
    // The whole parameter is compared, so only button clicks count.
    switch (Command) {
    case IDOK:
        if (HasItem(Dlg, idBuf))
            ReadBuf(Dlg);
        Finish(Dlg, IDOK);
        return TRUE;
    case IDCANCEL:   // also Escape and the close box, in every template
        MessageBeep(MB_ICONHAND);
        Finish(Dlg, IDCANCEL);
        return TRUE;
    case idOverwrite:
        OnOverwrite(Dlg);
        return TRUE;
    case idRetry:
    case idAtRestart:
        Finish(Dlg, int(Command));
        return TRUE;
    case idBrowse:
        OnBrowse(Dlg);
        break;
    case idBackup:
        OnToggleBackup(Dlg);
        break;
    case idAlways:
        OnToggleAlways(Dlg);
        break;
    case idShowLog:
        OnShowLog();
        break;
    }
    return FALSE;
}

// The shell opens or runs whatever it is given, with our rights. The log report links our own
// log file; the continue prompt only the script's web address: there the link may also show the
// folder just typed in the path dialog, which is no link to follow.
static bool MayOpenLink()
{
    if (DlgRec.Buf == nullptr)
        return false;
    if (DlgRec.Kind != dkContinue)
        return true;
    return DlgRec.WebLink && IsWebAddress(DlgRec.Buf);
}

static void OnLButtonDown(HWND Dlg, LPARAM Where)
{
    // Static texts let clicks through to the dialog, so the link is found by position.
    POINT At = {short(LOWORD(Where)), short(HIWORD(Where))};
    HWND Child = ChildWindowFromPoint(Dlg, At);
    if (Child != nullptr && Child == GetDlgItem(Dlg, idLink) && MayOpenLink())
        ShellExecuteA(nullptr, "open", DlgRec.Buf, nullptr, nullptr, SW_SHOWNORMAL);
}

static INT_PTR OnCtlColorStatic(HWND Dlg, HDC Dc, HWND Control)
{
    if (LinkFont == nullptr || Control != GetDlgItem(Dlg, idLink))
        return FALSE;
    SetTextColor(Dc, LinkColour);
    SetBkMode(Dc, TRANSPARENT);
    return INT_PTR(GetSysColorBrush(COLOR_BTNFACE));
}

static void OnDestroy(HWND Dlg)
{
    EndDialog(Dlg, DlgRec.Result);
    if (LinkFont != nullptr) {
        DeleteObject(LinkFont);
        LinkFont = nullptr;
    }
}

INT_PTR CALLBACK DlgProc(HWND Dlg, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_INITDIALOG:
        return OnInitDialog(Dlg);
    case WM_COMMAND:
        return OnCommand(Dlg, WParam);
    case WM_LBUTTONDOWN:
        OnLButtonDown(Dlg, LParam);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(Dlg, HDC(WParam), HWND(LParam));
    case WM_DESTROY:
        OnDestroy(Dlg);
        return TRUE;
    }
    return FALSE;
}

int ShowDialog(const char* Template)
{
    return User().Ask(Template);
}

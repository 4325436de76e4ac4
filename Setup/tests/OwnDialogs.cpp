#include "Setup/tests/OwnDialogs.h"

#include <algorithm>

void Click(HWND Dlg, int Id)
{
    PostMessageA(GetDlgItem(Dlg, Id), BM_CLICK, 0, 0);
}

void Type(HWND Dlg, int Id, const std::string& Text)
{
    SetDlgItemTextA(Dlg, Id, Text.c_str());
}

void Close(HWND Dlg)
{
    PostMessageA(Dlg, WM_CLOSE, 0, 0);
}

static BOOL CALLBACK AddControl(HWND Control, LPARAM Data)
{
    auto& Seen = *reinterpret_cast<TSeenDialog*>(Data);
    int Id = GetDlgCtrlID(Control);
    char Text[4096] = "", Class[64] = "";
    GetWindowTextA(Control, Text, sizeof Text);
    GetClassNameA(Control, Class, sizeof Class);
    Seen.Texts[Id] = Text;
    Seen.Enabled[Id] = IsWindowEnabled(Control) != 0;
    LONG Style = GetWindowLongA(Control, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(Class, "Button") == 0 && (Style == BS_CHECKBOX || Style == BS_AUTOCHECKBOX))
        Seen.Checked[Id] = int(SendMessageA(Control, BM_GETCHECK, 0, 0));
    return TRUE;
}

struct TFind {
    std::vector<HWND> Found;
};

static BOOL CALLBACK FindOwn(HWND Window, LPARAM Data)
{
    DWORD Pid = 0;
    GetWindowThreadProcessId(Window, &Pid);
    char Class[64] = "";
    GetClassNameA(Window, Class, sizeof Class);
    if (Pid == GetCurrentProcessId() && IsWindowVisible(Window) && lstrcmpA(Class, "#32770") == 0)
        reinterpret_cast<TFind*>(Data)->Found.push_back(Window);
    return TRUE;
}

TOwnDialogs::TOwnDialogs(std::vector<TAnswer> Answers)
    : Answers(std::move(Answers)), Watcher([this] { Watch(); })
{
}

TOwnDialogs::~TOwnDialogs()
{
    Stop = true;
    Watcher.join();
}

std::vector<TSeenDialog> TOwnDialogs::Seen() const
{
    std::lock_guard<std::mutex> Guard(Lock);
    return Dialogs;
}

void TOwnDialogs::Watch()
{
    size_t Next = 0;
    while (!Stop) {
        TFind Find;
        EnumWindows(FindOwn, LPARAM(&Find));
        for (HWND Dlg : Find.Found) {
            if (std::find(Handled.begin(), Handled.end(), Dlg) != Handled.end())
                continue;
            Sleep(50);   // let the dialog finish setting its texts
            Handled.push_back(Dlg);
            TSeenDialog Seen;
            char Title[512] = "";
            GetWindowTextA(Dlg, Title, sizeof Title);
            Seen.Title = Title;
            Seen.Topmost = (GetWindowLongA(Dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            EnumChildWindows(Dlg, AddControl, LPARAM(&Seen));
            {
                std::lock_guard<std::mutex> Guard(Lock);
                Dialogs.push_back(Seen);
            }
            if (Next < Answers.size()) {
                Answers[Next++](Dlg);
            } else {
                ++UnexpectedCount;
                Close(Dlg);
            }
        }
        Handled.erase(
            std::remove_if(Handled.begin(), Handled.end(), [](HWND Dlg) { return !IsWindow(Dlg); }),
            Handled.end());
        Sleep(20);
    }
}

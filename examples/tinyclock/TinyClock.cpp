// Tiny Clock: a small window that shows the time and the program's own version. It is the
// program that the example installation script TINYCLOCK.INF installs; the build makes it twice
// from this file, as version 1 and version 2 (TINYCLOCK_MAJOR), so that an upgrade can be tried.
#include <windows.h>

#include <cstring>

#include "TinyClockVersion.h"

namespace {

const char* ClassName = "TinyClockWindow";
const UINT_PTR TickTimer = 1;
const int TimeTextSize = 64;
const int TitleSize = 128;

DWORD TimeFlags = 0;   // TIME_NOSECONDS when the user's settings say so

// The settings that the installation wrote: whether to show seconds (the registry value
// HKCU\Software\TinyClock ShowSeconds, 1 unless set) and the window title (TinyClock.ini beside
// the program, "Tiny Clock" unless set).
void ReadSettings(char (&Title)[TitleSize])
{
    DWORD Seconds = 1, Size = sizeof Seconds;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\TinyClock", "ShowSeconds", RRF_RT_REG_DWORD, nullptr,
                 &Seconds, &Size);
    TimeFlags = Seconds ? 0 : TIME_NOSECONDS;
    const char IniName[] = "TinyClock.ini";
    char Ini[MAX_PATH + 1];
    DWORD Length = GetModuleFileNameA(nullptr, Ini, sizeof Ini);
    char* Name = Length > 0 && Length < sizeof Ini ? strrchr(Ini, '\\') : nullptr;
    if (Name && size_t(Name + 1 - Ini) + sizeof IniName <= sizeof Ini)
        memcpy(Name + 1, IniName, sizeof IniName);
    else
        Name = nullptr;
    GetPrivateProfileStringA("Window", "Title", "Tiny Clock", Title, sizeof Title,
                             Name ? Ini : IniName);
}

// Paints the time large and the version small below it.
void OnPaint(HWND Wnd)
{
    PAINTSTRUCT Paint;
    HDC Dc = BeginPaint(Wnd, &Paint);
    RECT Client;
    GetClientRect(Wnd, &Client);
    char Time[TimeTextSize] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TimeFlags, nullptr, nullptr, Time, sizeof Time);
    HFONT Big = CreateFontA(-(Client.bottom / 3), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ Old = SelectObject(Dc, Big);
    SetBkMode(Dc, TRANSPARENT);
    RECT Upper = Client;
    Upper.bottom = Client.bottom * 3 / 4;
    DrawTextA(Dc, Time, -1, &Upper, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(Dc, Old);
    DeleteObject(Big);
    RECT Lower = Client;
    Lower.top = Upper.bottom;
    DrawTextA(Dc, "Tiny Clock " TINYCLOCK_VERSION_TEXT, -1, &Lower,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(Wnd, &Paint);
}

LRESULT CALLBACK ClockProc(HWND Wnd, UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_CREATE:
        SetTimer(Wnd, TickTimer, 1000, nullptr);
        return 0;
    case WM_TIMER:
        InvalidateRect(Wnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        OnPaint(Wnd);
        return 0;
    case WM_DESTROY:
        KillTimer(Wnd, TickTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Wnd, Message, WParam, LParam);
}

}   // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show)
{
    WNDCLASSA Class = {};
    Class.lpfnWndProc = ClockProc;
    Class.hInstance = Instance;
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    Class.lpszClassName = ClassName;
    if (!RegisterClassA(&Class))
        return 1;
    char Title[TitleSize];
    ReadSettings(Title);
    HWND Wnd = CreateWindowA(ClassName, Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             320, 160, nullptr, nullptr, Instance, nullptr);
    if (!Wnd)
        return 1;
    ShowWindow(Wnd, Show);
    MSG Message;
    while (GetMessageA(&Message, nullptr, 0, 0) > 0) {
        TranslateMessage(&Message);
        DispatchMessageA(&Message);
    }
    return 0;
}

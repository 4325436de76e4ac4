// The five dialogs of the installer and the one record through which they get their texts and
// give back the user's choice.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Setup/base/DlgIds.h"
#include "Setup/base/DlgRec.h"

extern HFONT LinkFont;   // underlined font of control 107 while a link is shown

INT_PTR CALLBACK DlgProc(HWND Dlg, UINT Msg, WPARAM WParam, LPARAM LParam);

// Puts one of the templates' questions as the run's side does (UserDoor.h); returns the id of the
// ending button. Shown, it is modal, without owner. A quiet run shows nothing and takes what the
// user could have taken without a change: OK, the proposed folder (once: a folder that can't be
// made is given up, IDABORT), the preset or default button of a file conflict, and for a file in
// use the replacement at the next restart.
int ShowDialog(const char* Template);

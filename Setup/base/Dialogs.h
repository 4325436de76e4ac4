// The five dialogs of the installer and the one record through which they get their texts and
// give back the user's choice.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "Setup/base/DlgIds.h"

const int32_t dkFileConflict = 1;   // MSGBOXSOC
const int32_t dkInstallPath = 2;    // PATHSEL
const int32_t dkLogFile = 3;        // MSGBOXLOGFILE
const int32_t dkContinue = 4;       // MSGBOXCONTINUE
const int32_t dkInUse = 5;          // MSGBOXINUSE

struct TDlgRec {
    int32_t Kind;
    std::string Text;       // the message in control 101
    char* Buf;              // caller's buffer: edit field 102, or the link text of 107
    int32_t BufSize;        // capacity of Buf, NUL included
    const char* NamePart;   // PATHSEL: last component of the proposal, kept when browsing
    int32_t Result;         // button that ended the dialog last: 1, 2, 4, 108 or 109
    bool Always;            // "always", kept from one file conflict to the next
    bool Backup;            // "with Backup to", kept likewise
    int32_t Preset;         // button that Enter presses, from an answer file; 0: the template's
    bool WebLink;           // MSGBOXCONTINUE: Buf is the script's web link, which a click opens
};

extern TDlgRec DlgRec;
extern HFONT LinkFont;   // underlined font of control 107 while a link is shown

INT_PTR CALLBACK DlgProc(HWND Dlg, UINT Msg, WPARAM WParam, LPARAM LParam);

// Shows one of the templates modally, without owner; returns the id of the ending button. A quiet
// run shows nothing and takes what the user could have taken without a change: OK, the
// proposed folder (once: a folder that can't be made is given up), the preset or default
// button of a file conflict, and for a file in use the replacement at the next restart.
int ShowDialog(const char* Template);

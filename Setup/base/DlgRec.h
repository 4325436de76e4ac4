// The record through which each question (one of the dialogs) gets its texts and gives back the
// answer, whoever answers it: the user, a quiet run or a plan.
#pragma once
#include <cstdint>
#include <string>

#include "Setup/base/DlgIds.h"   // the buttons that answer

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

// The one record. It lies below the dialogs, as a quiet run and a plan answer through it too.
inline TDlgRec DlgRec = {};

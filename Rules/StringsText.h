// Text rules of the [Strings] pass that need no system call.
#pragma once
#include <string>

enum TStringsKey {
    skPlain,          // the installer's own names: the INF value, expanded
    skProgramFiles,   // from the Windows setup key, never from the INF
    skShellFolder,    // any other name: a shell folder or setup value of that name, else the INF
};

TStringsKey ClassifyStringsKey(const std::string& Key);

// The first %NAME% reference of Raw, both percent signs included; empty when there is none.
std::string FirstReference(const std::string& Raw);

// The drive root of the Windows directory ("D:\"), or "C:\" when windir is no drive path.
std::string WindowsDriveRoot(const std::string& WinDir);

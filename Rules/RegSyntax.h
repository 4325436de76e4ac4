// Text forms of registry lines that need no system call: root-key names and DWORD texts.
#pragma once
#include <cstdint>

enum TRootKey { rkNone = -1, rkHKLM, rkHKCU, rkHKCR };

// The root named by the whole field, letter case ignored, nothing trimmed.
TRootKey ScanRootKey(const char* Text);

// The short name of a root for messages: "HKLM", "HKCU", "HKCR", else "????".
const char* RootKeyText(TRootKey Root);

enum TDWordScan { dsOk, dsTooLong, dsNotHex };

// A hexadecimal number of at most 8 digits, blanks (0x20 only) trimmed at both ends; an empty
// text gives 0.
TDWordScan ScanDWordText(const char* Text, uint32_t& Value);

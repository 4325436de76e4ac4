// Registry roots and DWORD texts of INF lines, with the messages a script author sees.
#pragma once
#include <windows.h>

#include <cstdint>

// The predefined key that the root field names. Ends the run with a syntax message for any
// other text.
HKEY ParseRootKey(const char* Text);

// The predefined key that Text names, nullptr for any other text.
HKEY RootKeyOf(const char* Text);

// "HKLM", "HKCU", "HKCR", or "????" for any other key.
const char* RootKeyName(HKEY Key);

// The hexadecimal number of a Reg_DWORD value; false after showing why it is none.
bool ParseDWordText(const char* Text, uint32_t& Value);

// What the [Files] section will copy, in bytes, counted before its first copy so that the
// progress window's bar can go by bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Setup/base/SettingsDoor.h"   // TProfileLine

// The bytes of the files that Entries (the section's lines) take from beside the INF file in
// InfDir, as the walk takes them. Each folder is listed once, whatever the number of entries or
// keys that look into it, and no file is opened: the listings tell every size. An estimate where
// the walk would find more than a listing does (a short name, a file made meanwhile), or less
// (a destination inside its own source, holding an earlier installation).
uint64_t FilesTotal(const std::vector<TProfileLine>& Entries, const std::string& InfDir);

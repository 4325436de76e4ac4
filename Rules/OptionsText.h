// The [Options] section of a script: how each of its values is read, without the system.
#pragma once
#include <string>
#include <vector>

const char* const OptionsSection = "Options";
const char* const FilesInUseKey = "FilesInUse";
const char* const RollbackKey = "Rollback";

// What the run does when a file it must replace is in use: fail that file (the default), ask the
// user, or replace it when Windows restarts.
enum TFilesInUse { fuFail, fuAsk, fuRestart };

// The value of FilesInUse, letter case ignored as in every key and value of a script; false (and
// Value left as it was) for any other text.
bool ParseFilesInUse(const std::string& Text, TFilesInUse& Value);

// The values FilesInUse knows, in the spelling the documentation uses.
const std::vector<std::string>& FilesInUseValues();

// The value of Rollback: Yes or No, letter case ignored; false (and Value left as it was) for any
// other text.
bool ParseRollback(const std::string& Text, bool& Value);

// The keys [Options] knows, in the spelling the documentation uses.
const std::vector<std::string>& OptionsKeys();

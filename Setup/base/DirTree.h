// Creating a directory with every missing level of its path.
#pragma once
#include <string>

// 0: the directory exists or is a drive root; 1: created, each level made beyond the first
// attempt logged as "<path>\t created" into Log; -1: failed, already shown and logged.
int CreateDirTree(const std::string& Path, std::string& Log);

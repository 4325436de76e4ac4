// Path rules of the dialogs that need no system call.
#pragma once
#include <string>

// The folder picked in the install-path browser, with the proposal's last component appended
// unless the picked path already contains it somewhere.
std::string WithNamePart(const std::string& Picked, const char* NamePart);

// A web address (http:// or https://, in any letter case, and something after it): the only
// kind of link text the continue prompt hands to the shell, which would open or run a path.
bool IsWebAddress(const char* Text);

// Text written as a JSON string, for the reports that tools read: the checker's findings and
// the installer's plan.
#pragma once
#include <string>

// Text in double quotes, with '"', '\' and the control characters escaped; other bytes, those of
// the system's code page among them, stay as they are.
std::string JsonText(const std::string& Text);

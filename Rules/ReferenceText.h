// The %NAME% references of a script's values, found without expanding them.
#pragma once
#include <string>
#include <vector>

// Whether a variable may fill in part of Text: a field with a '%' can only be judged on the
// user's machine.
bool HasReference(const std::string& Text);

// The names of Text's %NAME% references, read as the installer expands it: each % opens a
// reference that the next one closes, and after a reference the scan goes on behind its closing
// %. Only names of variables count, not texts such as "%1" or "100% sure, 50%".
std::vector<std::string> ReferencedNames(const std::string& Text);

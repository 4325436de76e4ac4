// The %NAME% expansion rule itself, apart from the process environment that supplies the values.
#pragma once
#include <cstddef>
#include <string>

// Looks a variable up: true and its value when it is defined, false when it is not.
typedef bool (*TLookupVar)(const char* Name, std::string& Value);

// The longest text that an expansion builds from values. The first reference whose value would
// take the text past it, and every reference after it, stay as written, as undefined ones do:
// variables that refer to each other grow a text with every pass, and a hostile script must not
// make that exhaust memory or time.
const size_t ExpandLimit = size_t(1) << 24;

// Text with every %NAME% reference to a defined variable replaced by its value. A reference to an
// undefined variable (an empty name among them) stays as written and the scan goes on after its
// closing %; a % without a closing one stays with the rest of the text. Inserted values are not
// scanned again, so references never chain within one expansion.
std::string ExpandText(const char* Text, TLookupVar Lookup);

// %NAME% references in INF texts, resolved through the process environment.
#pragma once
#include <stdexcept>
#include <string>

// A fixed-capacity expansion whose result did not fit. Nothing catches it but the outermost
// frame, which shows its message and ends the run.
class EBufferOverflow : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole expansion of Text; a reference to an undefined variable stays as written.
std::string ExpandVars(const std::string& Text);

// The expansion of S in at most 520 characters; throws EBufferOverflow when it needs more.
std::string ExpandEnvPasString(const std::string& S);

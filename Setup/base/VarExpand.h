// %NAME% references in INF texts, resolved through the process environment.
#pragma once
#include <exception>
#include <string>

// A fixed-capacity expansion whose result did not fit. Nothing catches it but the outermost
// frame, which shows its message and ends the run. It keeps its message itself: taking it from
// std::runtime_error would link the run-time's second string type, a tenth of the program.
class EBufferOverflow : public std::exception {
public:
    explicit EBufferOverflow(std::string Text) : Message(std::move(Text)) {}
    const char* what() const noexcept override { return Message.c_str(); }

private:
    std::string Message;
};

// The whole expansion of Text; a reference to an undefined variable stays as written.
std::string ExpandVars(const std::string& Text);

// ExpandVars for a system folder's path: windir and SystemRoot are the Windows directory as the
// system names it, whatever the environment that started the run says; other variables come from
// the environment as usual.
std::string ExpandSystemVars(const std::string& Text);

// Removes from the process environment the variables that only this run sets (the installation
// directory, the start-menu folder, the INF directory, ...), so that values left there by
// whatever started the run are never taken for the script's or the user's choice. Call it before
// anything expands a script text.
void ForgetInheritedVars();

// The expansion of S in at most PasStringSize - 1 characters; throws EBufferOverflow when it
// needs more.
std::string ExpandEnvPasString(const std::string& S);

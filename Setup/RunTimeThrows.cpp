// The C++ run-time's throws of its own errors (a string longer than memory allows, a position
// past a text's end), linked into SETUP.EXE alone. The run-time's versions throw
// std::length_error and its kin, whose message is kept in a second kind of string that brings its
// whole library along: a quarter of the program, for texts that can only ever reach the outermost
// frame. These throw the same texts in an exception that frame catches like any std::exception:
// it shows what() and ends the run, as it did before. Should the program one day call a throw
// that is missing here, the run-time's own file of throws comes in and the link fails on the
// ones defined twice: add the missing one here.
#include <cstdarg>
#include <exception>
#include <new>
#include <string>

#include "Setup/base/RunTimeText.h"

namespace {

class ERunTimeError : public std::exception {
public:
    explicit ERunTimeError(std::string Text) : Message(std::move(Text)) {}
    const char* what() const noexcept override { return Message.c_str(); }

private:
    std::string Message;
};

} // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_length_error(const char* Text) { throw ERunTimeError(Text); }

void __throw_logic_error(const char* Text) { throw ERunTimeError(Text); }

void __throw_out_of_range(const char* Text) { throw ERunTimeError(Text); }

void __throw_invalid_argument(const char* Text) { throw ERunTimeError(Text); }

void __throw_out_of_range_fmt(const char* Format, ...)
{
    va_list Args;
    va_start(Args, Format);
    std::string Text = FormatRunTimeText(Format, Args);
    va_end(Args);
    throw ERunTimeError(Text);
}

} // namespace std

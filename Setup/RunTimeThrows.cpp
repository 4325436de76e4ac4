// The C++ run-time's throws of its own errors (a string longer than memory allows, a position
// past a text's end), linked into SETUP.EXE alone. The run-time's versions throw
// std::length_error and its kin, whose message is kept in a second kind of string that brings its
// whole library along: a quarter of the program, for texts that could only ever reach the
// outermost frame. SETUP.EXE is built without exceptions, so these do what that frame did: show
// the same text in the error box and end the run. Should the program one day call a throw that
// is missing here, the run-time's own file of throws comes in and the link fails on the ones
// defined twice: add the missing one here.
#include <cstdarg>
#include <string>

#include "Setup/base/Report.h"
#include "Setup/base/RunTimeText.h"

namespace std {

void __throw_bad_alloc()
{
    EndOnFailure("std::bad_alloc");
}

void __throw_bad_array_new_length()
{
    EndOnFailure("std::bad_array_new_length");
}

void __throw_length_error(const char* Text)
{
    EndOnFailure(Text);
}

void __throw_logic_error(const char* Text)
{
    EndOnFailure(Text);
}

void __throw_out_of_range(const char* Text)
{
    EndOnFailure(Text);
}

void __throw_invalid_argument(const char* Text)
{
    EndOnFailure(Text);
}

void __throw_out_of_range_fmt(const char* Format, ...)
{
    va_list Args;
    va_start(Args, Format);
    std::string Text = FormatRunTimeText(Format, Args);
    va_end(Args);
    EndOnFailure(Text);
}

}   // namespace std

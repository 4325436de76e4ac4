// The C++ run-time's throws of its own errors (a string longer than memory allows, a position
// past a text's end), linked into SETUP.EXE alone. The run-time's versions throw
// std::length_error and its kin, whose message is kept in a second kind of string that brings its
// whole library along: a quarter of the program, for texts that could only ever reach the
// outermost frame. SETUP.EXE is built without exceptions, so these do what that frame did: show
// the same text in the error box and end the run. Should the program one day call a throw that
// is missing here, the run-time's own file of throws comes in and the link fails on the ones
// defined twice: add the missing one here.
#include <cstdarg>
#include <cstdlib>
#include <new>
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

// The run-time's operator new throws std::bad_alloc, and that one throw brings the whole machinery
// of exceptions along (the unwinder, the personality routine, type information, the exceptions'
// own heap): a sixth of the program, in a program built without exceptions. Memory that can't be
// had ends the run as the run-time's throw did, with the same text.
void* operator new(std::size_t Size)
{
    if (void* Memory = std::malloc(Size ? Size : 1))
        return Memory;
    std::__throw_bad_alloc();
}

void* operator new(std::size_t Size, const std::nothrow_t&) noexcept
{
    return std::malloc(Size ? Size : 1);
}

void* operator new[](std::size_t Size)
{
    return operator new(Size);
}

void operator delete(void* Memory) noexcept
{
    std::free(Memory);
}

void operator delete(void* Memory, std::size_t) noexcept
{
    std::free(Memory);
}

void operator delete[](void* Memory) noexcept
{
    std::free(Memory);
}

void operator delete[](void* Memory, std::size_t) noexcept
{
    std::free(Memory);
}

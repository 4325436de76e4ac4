// The texts of the C++ run-time's own errors, as SETUP.EXE's replacements of its throws
// (Setup/RunTimeThrows.cpp) write them.
#pragma once
#include <cstdarg>
#include <string>

// Format with Args as the run-time fills its error texts: %s takes a const char*, %zu a size_t,
// %% is one '%'; any other '%' is copied as it stands.
std::string FormatRunTimeText(const char* Format, va_list Args);

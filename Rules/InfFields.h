// Fields of comma-separated INF lines, which may be enclosed in double quotes.
#pragma once
#include <string>

// Where the field that starts at P ends: right after its closing quote for a quoted field
// (a doubled quote inside stands for one quote), else at the next comma; the end of the text
// when there is neither. Never beyond the terminating NUL.
const char* FieldEnd(const char* P);

// The text of the field at P (null counts as none): for a field opened by Quote, the text up to
// its closing quote with doubled quotes reduced to one; otherwise the whole rest of the text.
void Dequote(const char* P, char Quote, std::string& Field);

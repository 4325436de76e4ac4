// Fuzz target: FieldEnd and Dequote on arbitrary text, alone and the way the line readers
// combine them.
#include "Rules/InfFields.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static void CheckField(const char* P)
{
    const char* Stop = P + std::strlen(P);
    const char* End = FieldEnd(P);
    Check(End >= P && End <= Stop, "FieldEnd inside the text");
    if (*P != '"') {
        Check(*End == ',' || End == Stop, "unquoted field ends at a comma or the end");
        Check(std::memchr(P, ',', size_t(End - P)) == nullptr, "no comma inside an unquoted field");
    } else {
        Check(End == Stop || (End - P >= 2 && End[-1] == '"'), "quoted field ends after a quote");
    }

    std::string Field = "garbage";
    Dequote(P, '"', Field);
    Check(Field.size() <= size_t(Stop - P), "Dequote never lengthens");
    if (*P != '"')
        Check(Field == P, "unquoted field is the rest of the text");

    // Quoting the result again must give a field that ends exactly at its end and dequotes back.
    if (Field.find('\0') == std::string::npos) {
        std::string Again = Quoted(Field);
        Check(FieldEnd(Again.c_str()) == Again.c_str() + Again.size(), "requoted field is whole");
        std::string Back;
        Dequote(Again.c_str(), '"', Back);
        Check(Back == Field, "requoted field dequotes back");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Text = NulEnded(Data, Size);
    const char* Start = Text.data();
    size_t Length = std::strlen(Start);

    CheckField(Start);   // the whole text as one field, not cut anywhere

    // Any quote character: the result still comes only from the text.
    std::string Field;
    Dequote(Start, Size > 0 ? char(Data[0]) : '"', Field);
    Check(Field.size() <= Length, "Dequote with any quote never lengthens");
    Dequote(nullptr, '"', Field);
    Check(Field.empty(), "no position gives an empty field");

    // The line readers' loop: cut at FieldEnd, step over the comma, skip blanks. It must make
    // progress and never leave the text, and every field it cuts must behave like a whole text.
    std::vector<char> Line(Text);
    char* const LineEnd = Line.data() + Length;
    size_t Fields = 0;
    for (char* P = Line.data();;) {
        while (*P == ' ')
            ++P;
        char* End = P + (FieldEnd(P) - P);
        Check(End >= P && End <= LineEnd, "cut inside the line");
        ++Fields;
        Check(Fields <= Length + 1, "one field per character at most");
        bool Last = End == LineEnd;
        *End = '\0';
        CheckField(P);
        if (Last)
            break;
        P = End + 1;
    }
    return 0;
}

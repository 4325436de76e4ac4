// Fuzz target: a message on one line and broken into lines of any width, checked by what the
// lines may hold and that breaking loses and adds nothing.
#include "Rules/MessageText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool IsLineEnd(char C)
{
    return C == '\r' || C == '\n';
}

// Text without blanks and line ends, to see that breaking lines loses and adds nothing.
static std::string Solid(const std::string& Text)
{
    std::string Result;
    for (char C : Text)
        if (C != ' ' && !IsLineEnd(C))
            Result += C;
    return Result;
}

static void CheckMessage(const std::string& Message, size_t Width)
{
    std::string Line = OneLine(Message);
    Check(Line.size() <= Message.size(), "one line never longer");
    Check(Line.find_first_of("\r\n") == std::string::npos, "no line end left");
    Check(Line.empty() || (Line.back() != ' ' && Line.back() != '\t'), "no blank at the end");
    Check(OneLine(Line) == Line, "one line is idempotent");

    std::string Broken = BrokenLines(Message, Width);
    Check(Solid(Broken) == Solid(Line), "breaking keeps every character");
    size_t Limit = Width == 0 ? 1 : Width;
    for (size_t Start = 0; Start < Broken.size();) {
        size_t End = Broken.find("\r\n", Start);
        if (End == std::string::npos)
            End = Broken.size();
        std::string Piece = Broken.substr(Start, End - Start);
        Check(!Piece.empty() && Piece.size() <= Limit, "every line fits the width");
        Check(Piece.front() != ' ' && Piece.back() != ' ', "no blank at a line's ends");
        Check(Piece.find_first_of("\r\n") == std::string::npos, "lines split at CR LF only");
        Start = End + 2;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    size_t Width = TakeNumber(In, 1);
    CheckMessage(TakeFields(In, 1)[0], Width);
    return 0;
}

#include "Rules/MessageText.h"

static bool IsLineEnd(char C)
{
    return C == '\r' || C == '\n';
}

std::string OneLine(const std::string& Message)
{
    std::string Line;
    for (size_t I = 0; I < Message.size(); ++I) {
        if (!IsLineEnd(Message[I])) {
            Line += Message[I];
            continue;
        }
        while (I + 1 < Message.size() && IsLineEnd(Message[I + 1]))
            ++I;   // CR LF, and any run of empty lines, is one break
        Line += ' ';
    }
    while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\t'))
        Line.pop_back();
    return Line;
}

std::string BrokenLines(const std::string& Message, size_t Width)
{
    if (Width == 0)
        Width = 1;
    std::string Text = OneLine(Message);
    std::string Result, Line;
    auto EndLine = [&]() {
        if (!Result.empty())
            Result += "\r\n";
        Result += Line;
        Line.clear();
    };
    size_t At = 0;
    while (At < Text.size()) {
        size_t End = Text.find(' ', At);
        if (End == std::string::npos)
            End = Text.size();
        std::string Word = Text.substr(At, End - At);
        At = End + 1;
        if (Word.empty())
            continue;   // blanks between words collapse into the one a break or join supplies
        if (!Line.empty() && Line.size() + 1 + Word.size() > Width)
            EndLine();
        if (!Line.empty())
            Line += ' ';
        while (Line.size() + Word.size() > Width) {
            size_t Room = Width - Line.size();
            Line += Word.substr(0, Room);
            Word.erase(0, Room);
            EndLine();
        }
        Line += Word;
    }
    if (!Line.empty())
        EndLine();
    return Result;
}

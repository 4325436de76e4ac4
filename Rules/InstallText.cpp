#include "Rules/InstallText.h"

#include "Rules/DriverText.h"

#include <algorithm>
#include <vector>

namespace {

// Where the arguments of Entry begin: past ",Entry " (letter case ignored) and the blanks after
// it; npos when the command does not call that entry point.
size_t EntryArguments(const std::string& Command, const std::string& Entry)
{
    size_t At = FoldedText(Command).find(FoldedText("," + Entry + " "));
    if (At == std::string::npos)
        return std::string::npos;
    return Command.find_first_not_of(' ', At + Entry.size() + 2);
}

size_t AdvancedArguments(const std::string& Command)
{
    size_t Begin = EntryArguments(Command, "LaunchINFSection");
    if (Begin == std::string::npos)
        Begin = EntryArguments(Command, "LaunchINFSectionEx");
    // Inside quotes (a path with blanks) the words are the path's, not an entry point's.
    if (Begin != std::string::npos &&
        std::count(Command.begin(), Command.begin() + long(Command.rfind(',', Begin)), '"') % 2)
        return std::string::npos;
    return Begin;
}

// The comma-separated fields from Begin on, trailing blanks dropped; a field that begins with a
// double quote ends at the next one and may hold commas.
std::vector<std::string> AdvancedFields(const std::string& Command, size_t Begin)
{
    std::vector<std::string> Fields;
    size_t At = Begin;
    while (At <= Command.size()) {
        size_t End;
        if (At < Command.size() && Command[At] == '"') {
            size_t Close = Command.find('"', At + 1);
            End = Close == std::string::npos ? Command.size() : Close;
            Fields.push_back(Command.substr(At + 1, End - At - 1));
            End = std::min(Command.find(',', End), Command.size());
        } else {
            End = std::min(Command.find(',', At), Command.size());
            std::string Field = Command.substr(At, End - At);
            Field.erase(std::min(Field.find_last_not_of(' ') + 1, Field.size()));
            Fields.push_back(Field);
        }
        At = End + 1;
    }
    if (Fields.empty())
        Fields.emplace_back();
    return Fields;
}

} // namespace

std::string UninstallInfPath(const std::string& Command)
{
    size_t Advanced = AdvancedArguments(Command);
    if (Advanced != std::string::npos)
        return AdvancedFields(Command, Advanced)[0];
    if (Command.empty())
        return std::string();
    size_t Start, End;
    if (Command.back() == '"') {
        End = Command.size() - 1;
        size_t Open = End == 0 ? std::string::npos : Command.rfind('"', End - 1);
        Start = Open == std::string::npos ? 0 : Open + 1;
    } else {
        End = Command.size();
        size_t Blank = Command.rfind(' ');
        Start = Blank == std::string::npos ? 0 : Blank + 1;
    }
    if (Start == 0)
        return std::string();
    return Command.substr(Start, End - Start);
}

bool LineSubKey(const std::string& Line, std::string& SubKey)
{
    size_t First = Line.find(',');
    if (First == std::string::npos)
        return false;
    size_t Second = Line.find(',', First + 1);
    if (Second == std::string::npos)
        return false;
    SubKey = Line.substr(First + 1, Second - First - 1);
    return true;
}

std::string FirstDevicePath(const std::string& DevicePath)
{
    // Empty entries (";C:\Inf", a doubled separator) name no directory and are passed over.
    size_t Start = 0;
    while (Start <= DevicePath.size()) {
        size_t End = DevicePath.find(';', Start);
        if (End == std::string::npos)
            End = DevicePath.size();
        if (End > Start)
            return DevicePath.substr(Start, End - Start);
        Start = End + 1;
    }
    return std::string();
}

static char LowerAscii(char C) { return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C; }

bool HasInfExtension(const std::string& Path)
{
    size_t Dot = Path.rfind('.');
    size_t Slash = Path.rfind('\\');
    if (Dot == std::string::npos || (Slash != std::string::npos && Slash > Dot))
        return false;
    std::string Extension = Path.substr(Dot);
    for (char& C : Extension)
        C = LowerAscii(C);
    return Extension == ".inf";
}

std::string DirectoryPart(const std::string& Path)
{
    size_t Slash = Path.rfind('\\');
    return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

std::string JoinPath(const std::string& Dir, const std::string& Name)
{
    if (!Dir.empty() && Dir.back() == '\\')
        return Dir + Name;
    return Dir + "\\" + Name;
}

static bool IsLineEnd(char C) { return C == '\r' || C == '\n'; }

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

std::string UninstallSection(const std::string& Command)
{
    size_t Advanced = AdvancedArguments(Command);
    if (Advanced != std::string::npos) {
        std::vector<std::string> Fields = AdvancedFields(Command, Advanced);
        return Fields.size() > 1 && !Fields[1].empty() ? Fields[1] : "DefaultInstall";
    }
    const std::string Word = "InstallHinfSection";
    size_t At = FoldedText(Command).find(FoldedText(Word));
    if (At == std::string::npos)
        return std::string();
    size_t Begin = Command.find_first_not_of(" \t", At + Word.size());
    if (Begin == std::string::npos)
        return std::string();
    size_t End = std::min(Command.find_first_of(" \t", Begin), Command.size());
    return Command.substr(Begin, End - Begin);
}

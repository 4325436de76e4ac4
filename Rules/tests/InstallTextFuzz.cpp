// Fuzz target: the text rules of the INF directory, the earlier installation and the INF copy,
// checked by round trips between them and by what each result may hold.
#include "Rules/InstallText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool EndsWith(const std::string& Text, const std::string& Tail)
{
    return Text.size() >= Tail.size() &&
           Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

// The uninstall command finds the path that the INF copy wrote at its end, quoted or not.
static void CheckUninstall(const std::string& Command, const std::string& Path)
{
    std::string Found = UninstallInfPath(Command);
    Check(Found.empty() || Command.find(Found) != std::string::npos, "path from the command");

    const std::string Head = "RunDll setupx.dll,InstallHinfSection DefaultUninstall 132 ";
    if (Path.find('"') == std::string::npos)
        Check(UninstallInfPath(Head + Quoted(Path)) == Path, "quoted path comes back");
    if (!Path.empty() && Path.find_first_of(" \"") == std::string::npos)
        Check(UninstallInfPath(Head + Path) == Path, "bare path comes back");
}

static void CheckLine(const std::string& Line)
{
    std::string SubKey = "garbage";
    bool Found = LineSubKey(Line, SubKey);
    size_t First = Line.find(',');
    bool TwoCommas = First != std::string::npos && Line.find(',', First + 1) != std::string::npos;
    Check(Found == TwoCommas, "a subkey between two commas");
    if (Found)
        Check(Line.compare(First, SubKey.size() + 2, "," + SubKey + ",") == 0,
              "the second field as written");
    else
        Check(SubKey == "garbage", "untouched without a second comma");
}

static void CheckDevicePath(const std::string& DevicePath)
{
    std::string First = FirstDevicePath(DevicePath);
    size_t Start = DevicePath.find_first_not_of(';');
    Check(First.empty() == (Start == std::string::npos), "empty only when only separators");
    if (!First.empty()) {
        Check(First.find(';') == std::string::npos, "one directory");
        Check(DevicePath.compare(Start, First.size(), First) == 0, "the first entry");
        size_t After = Start + First.size();
        Check(After == DevicePath.size() || DevicePath[After] == ';', "the whole entry");
    }
}

static void CheckPaths(const std::string& Dir, const std::string& Name)
{
    std::string Part = DirectoryPart(Dir);
    Check(Part.empty() || Part.back() == '\\', "directory part ends in a backslash");
    Check(Dir.compare(0, Part.size(), Part) == 0, "directory part is a prefix");
    Check(Dir.find('\\', Part.size()) == std::string::npos, "up to the last backslash");

    std::string Lower = Name;
    for (char& C : Lower)
        C = C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C;
    std::string FileName = Lower.substr(Lower.rfind('\\') + 1);
    Check(HasInfExtension(Name) == EndsWith(FileName, ".inf"), "file name ends in .inf");

    std::string Joined = JoinPath(Dir, Name);
    Check(Joined.compare(0, Dir.size(), Dir) == 0 && EndsWith(Joined, Name), "dir, then name");
    if (Name.find('\\') == std::string::npos)
        Check(DirectoryPart(Joined) == (EndsWith(Dir, "\\") ? Dir : Dir + "\\"),
              "the joined path's directory is Dir");
}

static bool IsLineEnd(char C) { return C == '\r' || C == '\n'; }

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
    std::vector<std::string> Fields = TakeFields(In, 2);
    for (const std::string& Text : Fields) {
        CheckUninstall(Text, Fields[0]);
        CheckLine(Text);
        CheckDevicePath(Text);
    }
    CheckPaths(Fields[0], Fields[1]);
    CheckPaths(Fields[1], Fields[0]);
    CheckMessage(Fields[1], Width);
    return 0;
}

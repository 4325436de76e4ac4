// Fuzz target: the command line's arguments and the script argument's folder and name, on
// arbitrary command lines and on ones built from a program name and an argument.
#include "Rules/CommandLineText.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

// The argument never holds a quote nor more than the command line, and a quoted argument after
// a quoted program name comes back whole, blanks and all.
static void CheckArgument(const char* CommandLine, const std::string& Program,
                          const std::string& Arg)
{
    std::string First = FirstArgument(CommandLine);
    Check(First.size() <= std::strlen(CommandLine), "argument within the command line");
    Check(First.find('"') == std::string::npos, "argument without quotes");

    if (Program.find_first_of(std::string("\"\0", 2)) != std::string::npos ||
        Arg.find_first_of(std::string("\"\0", 2)) != std::string::npos)
        return;
    std::string Line = Quoted(Program) + " " + Quoted(Arg) + " rest";
    Check(FirstArgument(Line.c_str()) == Arg, "quoted argument comes back whole");
}

static void CheckSplit(const std::string& Arg)
{
    std::string Dir = "garbage", Name = "garbage";
    bool Split = SplitInfArgument(Arg, Dir, Name);
    Check(Split == (Arg.find_first_of("\\:") != std::string::npos), "split at \\ or : only");
    if (Split) {
        Check(Dir + Name == Arg, "directory and name rebuild the argument");
        Check(Name.find_first_of("\\:") == std::string::npos, "name after the last separator");
    } else {
        Check(Dir == "garbage" && Name == "garbage", "nothing set for a bare name");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Whole = NulEnded(Data, Size);
    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    CheckArgument(Whole.data(), Fields[0], Fields[1]);
    CheckSplit(Fields[1]);
    return 0;
}

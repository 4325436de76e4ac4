// Fuzz target: the driver's text rules (signature, command line, INF argument, backslashes, error
// count and report, continue prompt, name comparison) on arbitrary text and counts.
#include "Rules/DriverText.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static void CheckSignature(const char* Value)
{
    std::string Upper = UpperAscii(Value);
    size_t At = Upper.find("KELVOR");
    Check(SignaturePosition(Value) == (At == std::string::npos ? 0 : int(At) + 1),
          "signature at the first KELVOR in any case");
}

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

static void CheckPath(const std::string& Arg)
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

    std::string Added = Arg;
    AddTrailingBackslash(Added);
    Check(!Added.empty() && Added.back() == '\\', "a backslash at the end");
    std::string Twice = Added;
    AddTrailingBackslash(Twice);
    Check(Twice == Added, "adding a backslash is idempotent");
    DropTrailingBackslash(Added);
    bool HadOne = !Arg.empty() && Arg.back() == '\\';
    Check(Added == (HadOne ? Arg.substr(0, Arg.size() - 1) : Arg), "drop undoes add");
}

static int ReportClass(int Count)
{
    const char* Text = ReportText(Count);
    if (std::strcmp(Text, "Installation successfully!") == 0)
        return 0;
    if (std::strcmp(Text, "Installation done with warnings!") == 0)
        return 1;
    Check(std::strcmp(Text, "Installation done without success!") == 0, "one of three reports");
    return 2;
}

static void CheckCount(int Count)
{
    int Class = ReportClass(Count);
    Check(Class == (Count == 0 ? 0 : Count >= 1 && Count <= 99 ? 1 : 2), "report by range");
    int Fatal = FatalErrorCount(Count);
    Check(ReportClass(Fatal) == 2, "after a fatal error the run fails");
    Check(Fatal >= 101 && Fatal >= Count, "a fatal error never lowers the count");
}

static void CheckNames(const std::string& A, const std::string& B)
{
    bool Same = SameText(A, B);
    Check(Same == SameText(B, A), "symmetric");
    Check(Same == (UpperAscii(A) == UpperAscii(B)), "equal but for ASCII letter case");
    Check(SameText(A, UpperAscii(A)), "a name equals its upper case");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Whole = NulEnded(Data, Size);
    CheckSignature(Whole.data());

    TFuzzBytes In = {Data, Size};
    int Count = int(TakeNumber(In, 4));
    std::vector<std::string> Fields = TakeFields(In, 2);
    CheckCount(Count);
    CheckArgument(Whole.data(), Fields[0], Fields[1]);
    CheckPath(Fields[1]);
    CheckNames(Fields[0], Fields[1]);

    std::string Prompt = ContinueMessage(Fields[1]);
    Check(Prompt.compare(0, Fields[1].size(), Fields[1]) == 0, "headline first");
    const std::string Question = "Continue Installation?";
    Check(Prompt.size() >= Question.size() &&
              Prompt.compare(Prompt.size() - Question.size(), Question.size(), Question) == 0,
          "question last");
    return 0;
}

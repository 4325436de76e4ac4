// Fuzz target: the switches of an unattended run. Arguments written into a command line split
// back into them, switches parsed and written again parse the same, the exit code says what the
// report says, and answer names and buttons read back.
#include "Rules/SwitchText.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/CommandLineText.h"
#include "Rules/ReportText.h"
#include "fuzz/FuzzInput.h"

static void CheckArguments(const char* CommandLine, const std::vector<std::string>& Parts)
{
    std::vector<std::string> Args = CommandArguments(CommandLine);
    Check(Args.empty() ? FirstArgument(CommandLine).empty() : Args[0] == FirstArgument(CommandLine),
          "the first argument as FirstArgument reads it");
    for (const std::string& Arg : Args)
        Check(Arg.find('"') == std::string::npos, "quotes are dropped");

    std::string Line = "\"C:\\Setup Files\\SETUP.EXE\"";
    std::vector<std::string> Written;
    for (const std::string& Part : Parts) {
        if (Part.find_first_of(std::string("\"\0", 2)) != std::string::npos)
            continue;
        Line += " " + Quoted(Part);
        Written.push_back(Part);
    }
    Check(CommandArguments(Line.c_str()) == Written, "quoted arguments come back whole");
}

static std::vector<std::string> Written(const TSwitches& Switches, const std::string& Script)
{
    std::vector<std::string> Args;
    if (Switches.Quiet)
        Args.push_back("/QUIET");
    if (!Switches.Dir.empty())
        Args.push_back("/Dir=" + Switches.Dir);
    if (!Script.empty())
        Args.push_back(Script);
    if (!Switches.Record.empty())
        Args.push_back("/record=" + Switches.Record);
    if (!Switches.Answers.empty())
        Args.push_back("/answers=" + Switches.Answers);
    if (!Switches.Plan.empty())
        Args.push_back("/PLAN=" + Switches.Plan);
    if (Switches.Help)
        Args.push_back("/?");
    return Args;
}

static void CheckSwitches(const std::vector<std::string>& Args)
{
    TSwitches Switches;
    std::string Script = "garbage", Bad = "garbage";
    if (ParseSwitches(Args, Switches, Script, Bad) != ssOk) {
        bool Given = false;
        for (const std::string& Arg : Args)
            Given = Given || Arg == Bad;
        Check(Given && !Bad.empty() && Bad[0] == '/', "the bad argument is a switch given");
        return;
    }
    Check(Bad.empty(), "nothing bad");
    std::string First;
    bool Any = false, Seen = false;
    for (const std::string& Arg : Args) {
        bool Switch = !Arg.empty() && Arg[0] == '/';
        Any = Any || Switch;
        if (!Switch && !Seen)
            First = Arg;
        Seen = Seen || !Switch;
    }
    Check(Switches.Any == Any, "any switch counts");
    Check(Script == First, "the first argument that is no switch is the script");

    TSwitches Again;
    std::string ScriptAgain, BadAgain;
    Check(ParseSwitches(Written(Switches, Script), Again, ScriptAgain, BadAgain) == ssOk,
          "written switches parse");
    Check(Again.Any == Switches.Any && Again.Quiet == Switches.Quiet && Again.Dir == Switches.Dir &&
              Again.Record == Switches.Record && Again.Answers == Switches.Answers &&
              Again.Plan == Switches.Plan && Again.Help == Switches.Help && ScriptAgain == Script,
          "and read back the same");
}

static void CheckExitCode(int32_t ErrorCount, uint32_t Flags)
{
    bool Completed = Flags & 1;
    TRunEnd End = TRunEnd(Flags / 2 % 4);
    int Code = RunExitCode(Completed, ErrorCount, End);
    if (End != reNone) {
        const int Codes[] = {ecSuccess, ecScriptNotFound, ecBadCommandLine, ecCancelled};
        Check(Code == Codes[End], "a run that did not get through has its own code");
        return;
    }
    if (!Completed) {
        Check(Code == ecFailed, "an incomplete run failed");
        return;
    }
    const char* Report = ReportText(ErrorCount);
    int Expected = std::strcmp(Report, "Installation successfully!") == 0         ? ecSuccess
                   : std::strcmp(Report, "Installation done with warnings!") == 0 ? ecWarnings
                                                                                  : ecFailed;
    Check(Code == Expected, "the exit code says what the report says");
}

static void CheckAnswers(const std::string& Text, int32_t Number)
{
    std::string Section = ConflictSection(Number);
    Check(Section == "Conflict" + std::to_string(Number), "Conflict and the number");

    for (int Button : {1, 2, 4})
        Check(ButtonOfAnswer(AnswerOfButton(Button)) == Button, "each button reads back");
    int Button = ButtonOfAnswer(Text);
    Check(ButtonOfAnswer(UpperAscii(Text)) == Button, "letter case does not count");
    Check(Button == 0 || SameText(AnswerOfButton(Button), Text), "a button is its name");
    Check(AnswerOfButton(Number).empty() == (Number != 1 && Number != 2 && Number != 4),
          "no name but for the three buttons");

    bool Backup = false;
    bool Policy = ParsePolicy(Text, Button, Backup);
    Check(Policy == (Button == 1 || Button == 4), "skip or overwrite");
    Check(!Backup || (Button == 4 && SameText(Text, "backup")), "backup overwrites");
    Check(!Policy || Backup || SameText(AnswerOfButton(Button), Text), "the policy is its name");
    TInUseAnswer InUse = InUseAnswerOf(Text);
    Check((InUse == iaNone) == (*InUseAnswerName(InUse) == '\0') &&
              (InUse == iaNone || SameText(InUseAnswerName(InUse), Text)),
          "an answer to files in use is its name");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Whole = NulEnded(Data, Size);
    TFuzzBytes In = {Data, Size};
    int32_t Number = int32_t(TakeNumber(In, 4));
    uint32_t Flags = TakeNumber(In, 1);
    std::vector<std::string> Parts = TakeFields(In, 4);

    CheckArguments(Whole.data(), Parts);
    CheckSwitches(CommandArguments(Whole.data()));
    CheckSwitches(Parts);
    CheckExitCode(Number, Flags);
    CheckAnswers(Parts[0], Number);
    return 0;
}

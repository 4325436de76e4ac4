#include "Rules/SwitchText.h"

#include "Rules/CaseText.h"

TSwitchScan ParseSwitches(const std::vector<std::string>& Args, TSwitches& Switches,
                          std::string& Script, std::string& Bad)
{
    Switches = TSwitches();
    Script.clear();
    bool ScriptSeen = false;
    for (const std::string& Arg : Args) {
        // "-?" is how many programs are asked for help; no script has that name.
        if (Arg.empty() || (Arg[0] != '/' && Arg != "-?")) {
            if (!ScriptSeen)
                Script = Arg;
            ScriptSeen = true;
            continue;
        }
        Bad = Arg;
        size_t Equals = Arg.find('=');
        std::string Name =
            Arg.substr(1, Equals == std::string::npos ? std::string::npos : Equals - 1);
        bool HasValue = Equals != std::string::npos;
        std::string Value = HasValue ? Arg.substr(Equals + 1) : "";
        std::string* Target = nullptr;
        if (SameText(Name, "quiet")) {
            if (HasValue)
                return ssBad;
            if (Switches.Quiet)
                return ssTwice;
            Switches.Quiet = true;
        } else if (SameText(Name, "rollback")) {
            if (HasValue)
                return ssBad;
            if (Switches.Rollback)
                return ssTwice;
            Switches.Rollback = true;
        } else if (SameText(Name, "?") || SameText(Name, "help")) {
            if (HasValue)
                return ssBad;
            Switches.Help = true;
        } else if (SameText(Name, "plan")) {
            Target = &Switches.Plan;
        } else if (SameText(Name, "dir")) {
            Target = &Switches.Dir;
        } else if (SameText(Name, "record")) {
            Target = &Switches.Record;
        } else if (SameText(Name, "answers")) {
            Target = &Switches.Answers;
        } else {
            return ssBad;
        }
        if (Target != nullptr) {
            if (Value.empty())
                return ssBad;
            if (!Target->empty())
                return ssTwice;
            *Target = Value;
        }
        Switches.Any = true;
    }
    Bad.clear();
    return ssOk;
}

std::string HelpText()
{
    return "SETUP.EXE [SCRIPT.INF] [switches]\r\n"
           "/quiet\tnothing on screen: the log and the exit code tell the outcome\r\n"
           "/dir=PATH\tthe installation folder, as if typed into the folder dialog\r\n"
           "/answers=FILE\tanswers the questions as recorded in FILE\r\n"
           "/record=FILE\trecords this run's answers in FILE\r\n"
           "/rollback\tundoes every change when the run fails or is cancelled\r\n"
           "/plan=FILE\twrites what the run would do to FILE (FILE.json: as JSON), changing "
           "nothing\r\n"
           "/bundle=OUT.EXE\tpacks this folder into the single setup file OUT.EXE\r\n"
           "/? or /help\tshows this text\r\n"
           "Exit codes: 0 installed, 1 installed with warnings, 2 no signed script, 87 bad "
           "command line, 1602 cancelled, 1603 failed, 3010 installed, restart to finish\r\n";
}

int RunExitCode(bool Completed, int32_t ErrorCount, TRunEnd End)
{
    switch (End) {
    case reScriptNotFound:
        return ecScriptNotFound;
    case reBadCommandLine:
        return ecBadCommandLine;
    case reCancelled:
        return ecCancelled;
    case reNone:
        break;
    }
    if (!Completed || ErrorCount >= 100 || ErrorCount < 0)
        return ecFailed;
    return ErrorCount == 0 ? ecSuccess : ecWarnings;
}

std::string ConflictSection(int Number)
{
    return "Conflict" + std::to_string(Number);
}

int ButtonOfAnswer(const std::string& Name)
{
    if (SameText(Name, "skip"))
        return 1;
    if (SameText(Name, "cancel"))
        return 2;
    if (SameText(Name, "overwrite"))
        return 4;
    return 0;
}

std::string AnswerOfButton(int Button)
{
    switch (Button) {
    case 1:
        return "skip";
    case 2:
        return "cancel";
    case 4:
        return "overwrite";
    default:
        return "";
    }
}

TInUseAnswer InUseAnswerOf(const std::string& Text)
{
    return SameText(Text, "restart") ? iaRestart : SameText(Text, "cancel") ? iaCancel : iaNone;
}

const char* InUseAnswerName(TInUseAnswer Answer)
{
    return Answer == iaRestart ? "restart" : Answer == iaCancel ? "cancel" : "";
}

bool ParsePolicy(const std::string& Text, int& Button, bool& Backup)
{
    Backup = SameText(Text, "backup");
    Button = Backup ? 4 : ButtonOfAnswer(Text);
    return Button == 1 || Button == 4;
}

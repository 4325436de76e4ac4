#include "Rules/CommandLineText.h"

static bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

std::vector<std::string> CommandArguments(const char* CommandLine)
{
    std::vector<std::string> Args;
    const char* P = CommandLine;
    // The program's name: a quoted one ends at its closing quote, as Windows reads it.
    if (*P == '"') {
        for (++P; *P && *P != '"'; ++P) {
        }
        if (*P)
            ++P;
    } else {
        while (*P && !IsBlank(*P))
            ++P;
    }
    for (;;) {
        while (IsBlank(*P))
            ++P;
        if (!*P)
            return Args;
        std::string Arg;
        bool Quoted = false;
        for (; *P && (Quoted || !IsBlank(*P)); ++P) {
            if (*P == '"')
                Quoted = !Quoted;
            else
                Arg += *P;
        }
        Args.push_back(Arg);
    }
}

std::string FirstArgument(const char* CommandLine)
{
    std::vector<std::string> Args = CommandArguments(CommandLine);
    return Args.empty() ? std::string() : Args[0];
}

bool SplitInfArgument(const std::string& Arg, std::string& Dir, std::string& Name)
{
    size_t Cut = Arg.find_last_of("\\:");
    if (Cut == std::string::npos)
        return false;
    Dir = Arg.substr(0, Cut + 1);
    Name = Arg.substr(Cut + 1);
    return true;
}

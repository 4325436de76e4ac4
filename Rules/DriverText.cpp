#include "Rules/DriverText.h"

#include <climits>
#include <cstring>

static char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C; }

int SignaturePosition(const char* Value)
{
    std::string Upper(Value);
    for (char& C : Upper)
        C = UpperAscii(C);
    size_t At = Upper.find("KELVOR");
    return At == std::string::npos ? 0 : int(At) + 1;
}

static bool IsBlank(char C) { return C == ' ' || C == '\t'; }

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

void DropTrailingBackslash(std::string& Path)
{
    if (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
}

void AddTrailingBackslash(std::string& Path)
{
    if (Path.empty() || Path.back() != '\\')
        Path += '\\';
}

static bool IsSlash(char C) { return C == '\\' || C == '/'; }

bool IsFullPath(const std::string& Path)
{
    if (Path.size() >= 2 && IsSlash(Path[0]) && IsSlash(Path[1]))
        return true;
    char Drive = UpperAscii(Path.empty() ? ' ' : Path[0]);
    return Path.size() >= 3 && Drive >= 'A' && Drive <= 'Z' && Path[1] == ':' && IsSlash(Path[2]);
}

int FatalErrorCount(int Count)
{
    // The count stops at its largest value rather than overflow into a count that reads as
    // success; the run has failed either way.
    return Count < 100 ? 101 : Count < INT_MAX ? Count + 1 : Count;
}

const char* ReportText(int Count)
{
    if (Count == 0)
        return "Installation successfully!";
    if (Count >= 1 && Count <= 99)
        return "Installation done with warnings!";
    return "Installation done without success!";
}

std::string ContinueMessage(const std::string& Headline)
{
    return Headline.empty() ? "Continue Installation?" : Headline + "\rContinue Installation?";
}

std::string FoldedText(std::string Text)
{
    for (char& C : Text)
        C = UpperAscii(C);
    return Text;
}

bool SameText(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I]))
            return false;
    return true;
}

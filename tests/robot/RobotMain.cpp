// robot.exe: runs a program with the dialog robot and prints what it saw, for trying out
// scripts by hand and for writing the answers of a new whole-run test.
//
//   robot.exe [--defaults] [--timeout MS] [--answers FILE] [--transcript FILE]
//             [--workdir DIR] [--env NAME=VALUE | --env NAME]... [--at-once] [--timing]
//             -- PROGRAM ARGS...
//
// --at-once answers each dialog as soon as it shows, and --timing ends the output with the line
// "Timing: first dialog <ms> ms, lifetime <ms> ms" (-1: no dialog), for the benchmark.
//
// The answers file holds one answer per dialog appearance (see ParseAnswer); blank lines and
// lines starting with '#' are skipped. Exit codes: see TRobotExit.
#include "Robot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <iostream>
#include <sstream>

namespace {

const char* Usage = "usage: robot.exe [--defaults] [--timeout MS] [--answers FILE] "
                    "[--transcript FILE] [--workdir DIR] [--env NAME[=VALUE]]... [--at-once] "
                    "[--timing] -- PROGRAM ARGS...\n";

// Quotes an argument so that the program's startup code splits it back out unchanged.
std::string QuoteArg(const std::string& Arg)
{
    if (!Arg.empty() && Arg.find_first_of(" \t\"") == std::string::npos)
        return Arg;
    std::string Quoted = "\"";
    size_t Backslashes = 0;
    for (char C : Arg) {
        if (C == '"')
            Quoted.append(Backslashes + 1, '\\');   // backslashes before a quote are doubled
        Backslashes = C == '\\' ? Backslashes + 1 : 0;
        Quoted += C;
    }
    Quoted.append(Backslashes, '\\');   // ... and so are those before the closing quote
    return Quoted + "\"";
}

bool ReadAnswers(const char* Path, std::vector<TAnswer>& Answers)
{
    std::ifstream File(Path);
    if (!File) {
        std::cerr << "can't read " << Path << "\n";
        return false;
    }
    std::string Line, Error;
    for (int Number = 1; std::getline(File, Line); ++Number) {
        size_t First = Line.find_first_not_of(" \t\r");
        if (First == std::string::npos || Line[First] == '#')
            continue;
        TAnswer Answer;
        if (!ParseAnswer(Line, Answer, Error)) {
            std::cerr << Path << ":" << Number << ": " << Error << "\n";
            return false;
        }
        Answers.push_back(Answer);
    }
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    TRunOptions Options;
    const char* TranscriptPath = nullptr;
    bool Timing = false;
    int Arg = 1;
    for (; Arg < argc && std::strcmp(argv[Arg], "--") != 0; ++Arg) {
        std::string Option = argv[Arg];
        bool HasValue = Arg + 1 < argc;
        if (Option == "--defaults") {
            Options.DefaultsForRest = true;
        } else if (Option == "--at-once") {
            Options.AtOnce = true;
        } else if (Option == "--timing") {
            Timing = true;
        } else if (Option == "--timeout" && HasValue) {
            Options.TimeoutMs = static_cast<unsigned>(std::strtoul(argv[++Arg], nullptr, 10));
        } else if (Option == "--answers" && HasValue) {
            if (!ReadAnswers(argv[++Arg], Options.Answers))
                return rxBadCommandLine;
        } else if (Option == "--transcript" && HasValue) {
            TranscriptPath = argv[++Arg];
        } else if (Option == "--workdir" && HasValue) {
            Options.WorkDir = argv[++Arg];
        } else if (Option == "--env" && HasValue) {
            std::string Var = argv[++Arg];
            size_t Eq = Var.find('=');
            if (Eq == std::string::npos)
                Options.Env.push_back({Var, std::nullopt});
            else
                Options.Env.push_back({Var.substr(0, Eq), Var.substr(Eq + 1)});
        } else {
            std::cerr << "unknown option " << Option << "\n" << Usage;
            return rxBadCommandLine;
        }
    }
    if (Arg + 1 >= argc) {
        std::cerr << Usage;
        return rxBadCommandLine;
    }
    for (++Arg; Arg < argc; ++Arg)
        Options.CommandLine += (Options.CommandLine.empty() ? "" : " ") + QuoteArg(argv[Arg]);

    TRunResult Result = RunWithRobot(Options);
    std::string Transcript = DescribeRun(Result);
    if (Timing) {
        char Line[100];
        std::snprintf(Line, sizeof Line, "Timing: first dialog %.1f ms, lifetime %.1f ms\n",
                      Result.FirstDialogMs, Result.LifetimeMs);
        Transcript += Line;
    }
    if (TranscriptPath) {
        std::ofstream(TranscriptPath, std::ios::binary) << Transcript;
    } else {
        _setmode(_fileno(stdout), _O_BINARY);   // "\n" stays "\n" for the unix side of Wine
        std::fwrite(Transcript.data(), 1, Transcript.size(), stdout);
    }
    return RobotExitCode(Result);
}

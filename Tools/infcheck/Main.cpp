// infcheck: checks an installation script for SETUP.EXE before it ships.
// Exit code: 0 without errors, 1 with errors (or warnings under --werror), 2 when the script
// cannot be read or the command line is wrong.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Tools/infcheck/Checker.h"
#include "Tools/infcheck/Medium.h"

namespace {

const char Usage[] =
    "usage: infcheck [options] SCRIPT.INF\n"
    "  --medium DIR        the folder with the files beside the script (default: the script's\n"
    "                      folder); --medium - leaves the medium unchecked\n"
    "  --install-dir PATH  the sample installation folder for the length checks (default: the\n"
    "                      one the script proposes)\n"
    "  --define NAME       a variable that the installation's environment provides\n"
    "  --format text|json  findings as compiler lines (default) or as a JSON array\n"
    "  --werror            warnings count as errors for the exit code\n";

}   // namespace

int main(int Argc, char** Argv)
{
    std::string Script, Format = "text", Medium, InstallDir;
    bool Werror = false;
    TCheckOptions Options;
    for (int I = 1; I < Argc; ++I) {
        std::string Arg = Argv[I];
        bool HasValue = I + 1 < Argc;
        if (Arg == "--werror")
            Werror = true;
        else if (Arg == "--define" && HasValue)
            Options.Defines.push_back(Argv[++I]);
        else if (Arg == "--format" && HasValue)
            Format = Argv[++I];
        else if (Arg == "--medium" && HasValue)
            Medium = Argv[++I];
        else if (Arg == "--install-dir" && HasValue)
            InstallDir = Argv[++I];
        else if (Arg == "--help" || Arg.compare(0, 2, "--") == 0 || !Script.empty())
            Script = "\n";   // no script can have that name: the usage follows
        else
            Script = Arg;
    }
    if (Script.empty() || Script == "\n" || (Format != "text" && Format != "json")) {
        std::fputs(Usage, stderr);
        return 2;
    }

    std::ifstream In(Script, std::ios::binary);
    std::ostringstream Bytes;
    if (In)
        Bytes << In.rdbuf();   // an empty file leaves Bytes empty, which is no failure
    if (!In.is_open() || In.bad()) {
        std::fprintf(stderr, "%s: cannot read the script\n", Script.c_str());
        return 2;
    }

    // The script's folder and name, whichever separator the command line used.
    size_t Slash = Script.find_last_of("\\/");
    std::string Folder = Slash == std::string::npos ? "." : Script.substr(0, Slash + 1);
    Options.ScriptName = Script.substr(Slash + 1);
    Options.InstallDir = InstallDir;
    TFolderMedium Files(Medium.empty() ? Folder : Medium);
    if (Medium != "-")
        Options.Medium = &Files;
    std::vector<TFinding> Findings = CheckScript(ReadInfText(Bytes.str()), Options);

    TFindingCounts Counts = CountFindings(Findings);
    std::string Out =
        Format == "json" ? FindingsJson(Script, Findings) : FindingsText(Script, Findings);
    std::fputs(Out.c_str(), stdout);
    return Counts.Errors || (Werror && Counts.Warnings) ? 1 : 0;
}

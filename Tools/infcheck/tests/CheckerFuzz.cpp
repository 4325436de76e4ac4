// Whole scripts, any bytes, fed to the checker without a medium: it never crashes or hangs, and
// its findings are well formed: sorted by line, each on a line of the script, named and worded.
#include "Tools/infcheck/Checker.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string Bytes(reinterpret_cast<const char*>(Data), Size);
    TInfFile File = ReadInfText(Bytes);
    TCheckOptions Options;
    Options.ScriptName = "FUZZ.INF";
    std::vector<TFinding> Findings = CheckScript(File, Options);
    // UTF-16 takes two bytes a character, so a line can't lie beyond a line end of either form.
    int Lines = 1 + int(std::count(Bytes.begin(), Bytes.end(), '\n') +
                        std::count(Bytes.begin(), Bytes.end(), '\r'));
    int Previous = 1;
    for (const TFinding& F : Findings) {
        Check(F.Line >= Previous && F.Line <= Lines, "findings sorted, on lines of the script");
        Check(!F.Check.empty() && !F.Text.empty(), "every finding named and worded");
        Check(F.Severity == svError || F.Severity == svWarning || F.Severity == svNote,
              "a known severity");
        Previous = F.Line;
    }
    return 0;
}

// The values of [Options], read with the installer's own rule.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/OptionsText.h"
#include "Tools/infcheck/LikelyName.h"

// SETUP.EXE takes an unknown value of FilesInUse for Fail, the default, and says so only in its
// log: the author hears of it now, with the value the slip most likely meant. An empty value is
// the default, as a missing key is.
void CheckOptions(TChecker& Checker)
{
    const TInfLine* Line = Checker.Key(OptionsSection, FilesInUseKey);
    TFilesInUse Value;
    if (!Line || Line->Value.empty() || ParseFilesInUse(Line->Value, Value))
        return;
    const std::vector<std::string>& Known = FilesInUseValues();
    const char* Likely = LikelyName(Line->Value, Known);
    std::string Values;
    for (size_t I = 0; I < Known.size(); ++I)
        Values += (I == 0 ? "" : I + 1 == Known.size() ? " or " : ", ") + Known[I];
    Checker.Add(Line->Line, svError,
                "unknown value '" + Line->Value + "' of " + FilesInUseKey + " in [" +
                    OptionsSection + "]" +
                    (Likely ? std::string("; did you mean '") + Likely + "'?"
                            : ": " + Values + " (SETUP.EXE takes " + Known[fuFail] + ")"),
                "unknown-value");
}

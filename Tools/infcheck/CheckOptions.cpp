// The values of [Options], read with the installer's own rule.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/OptionsText.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

// One key of [Options]: the values the installer takes, and the one it runs with when the value
// is none of them (its default).
struct TOptionValues {
    const char* Key;
    std::vector<std::string> Known;
    std::string Default;
    bool (*Takes)(const std::string& Text);
};

bool TakesFilesInUse(const std::string& Text)
{
    TFilesInUse Value;
    return ParseFilesInUse(Text, Value);
}

bool TakesRollback(const std::string& Text)
{
    bool Value;
    return ParseRollback(Text, Value);
}

// SETUP.EXE takes an unknown value for the key's default and says so only in its log: the author
// hears of it now, with the value the slip most likely meant. An empty value is the default, as a
// missing key is.
void CheckValue(TChecker& Checker, const TOptionValues& Option)
{
    const TInfLine* Line = Checker.Key(OptionsSection, Option.Key);
    if (!Line || Line->Value.empty() || Option.Takes(Line->Value))
        return;
    const std::vector<std::string>& Known = Option.Known;
    const char* Likely = LikelyName(Line->Value, Known);
    std::string Values;
    for (size_t I = 0; I < Known.size(); ++I)
        Values += (I == 0 ? "" : I + 1 == Known.size() ? " or " : ", ") + Known[I];
    Checker.Add(Line->Line, svError,
                "unknown value '" + Line->Value + "' of " + Option.Key + " in [" + OptionsSection +
                    "]" +
                    (Likely ? std::string("; did you mean '") + Likely + "'?"
                            : ": " + Values + " (SETUP.EXE takes " + Option.Default + ")"),
                "unknown-value");
}

}   // namespace

void CheckOptions(TChecker& Checker)
{
    const std::vector<std::string>& InUse = FilesInUseValues();
    const TOptionValues Options[] = {
        {FilesInUseKey, InUse, InUse[fuFail], TakesFilesInUse},
        {RollbackKey, {"Yes", "No"}, "No", TakesRollback},
    };
    for (const TOptionValues& Option : Options)
        CheckValue(Checker, Option);
}

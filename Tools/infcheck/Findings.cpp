#include "Tools/infcheck/Findings.h"

#include "Rules/JsonText.h"

const char* SeverityText(TSeverity Severity)
{
    return Severity == svError ? "error" : Severity == svWarning ? "warning" : "note";
}

TFindingCounts CountFindings(const std::vector<TFinding>& Findings)
{
    TFindingCounts Counts;
    for (const TFinding& F : Findings) {
        Counts.Errors += F.Severity == svError;
        Counts.Warnings += F.Severity == svWarning;
        Counts.Notes += F.Severity == svNote;
    }
    return Counts;
}

std::string FindingsText(const std::string& Script, const std::vector<TFinding>& Findings)
{
    std::string Out;
    for (const TFinding& F : Findings)
        Out += Script + ":" + std::to_string(F.Line) + ": " + SeverityText(F.Severity) + ": " +
               F.Text + " [" + F.Check + "]\n";
    TFindingCounts Counts = CountFindings(Findings);
    Out += std::to_string(Counts.Errors) + (Counts.Errors == 1 ? " error, " : " errors, ") +
           std::to_string(Counts.Warnings) + (Counts.Warnings == 1 ? " warning" : " warnings");
    if (Counts.Notes)
        Out += ", " + std::to_string(Counts.Notes) + (Counts.Notes == 1 ? " note" : " notes");
    return Out + "\n";
}

std::string FindingsJson(const std::string& Script, const std::vector<TFinding>& Findings)
{
    std::string Out = "[";
    for (size_t I = 0; I < Findings.size(); ++I) {
        const TFinding& F = Findings[I];
        Out += std::string(I ? "," : "") + "\n  {\"file\": " + JsonText(Script) +
               ", \"line\": " + std::to_string(F.Line) + ", \"severity\": \"" +
               SeverityText(F.Severity) + "\", \"check\": " + JsonText(F.Check) +
               ", \"text\": " + JsonText(F.Text) + "}";
    }
    return Out + (Findings.empty() ? "]\n" : "\n]\n");
}

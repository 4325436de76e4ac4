// What the checker found, and the two forms in which it reports it: compiler lines, as an editor
// jumps to them, or a JSON array for a build pipeline.
#pragma once
#include <string>
#include <vector>

enum TSeverity { svError, svWarning, svNote };

struct TFinding {
    int Line;
    TSeverity Severity;
    std::string Text;
    std::string Check;   // the name of the check, which the author can look up
};

const char* SeverityText(TSeverity Severity);

struct TFindingCounts {
    int Errors = 0;
    int Warnings = 0;
    int Notes = 0;
};

TFindingCounts CountFindings(const std::vector<TFinding>& Findings);

// One line a finding, "SCRIPT:LINE: SEVERITY: TEXT [CHECK]", then the counts.
std::string FindingsText(const std::string& Script, const std::vector<TFinding>& Findings);

// A JSON array of objects with file, line, severity, check and text.
std::string FindingsJson(const std::string& Script, const std::vector<TFinding>& Findings);

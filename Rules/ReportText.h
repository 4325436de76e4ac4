// What the run's error count means: the fatal-error rule, the report it ends with, and the
// question of the continue prompt.
#pragma once
#include <string>

// A fatal error: 101 below 100, otherwise one more, so repeated failures stay countable; the
// largest count stays as it is.
int FatalErrorCount(int Count);

// The report for an error count: none, warnings only, or failure.
const char* ReportText(int Count);

// The question of the continue prompt, below an optional headline.
std::string ContinueMessage(const std::string& Headline);

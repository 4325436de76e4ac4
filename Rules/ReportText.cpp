#include "Rules/ReportText.h"

#include <climits>

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

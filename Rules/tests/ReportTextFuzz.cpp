// Fuzz target: the report of any error count, the fatal-error rule, and the continue prompt
// below any headline.
#include "Rules/ReportText.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static int ReportClass(int Count)
{
    const char* Text = ReportText(Count);
    if (std::strcmp(Text, "Installation successfully!") == 0)
        return 0;
    if (std::strcmp(Text, "Installation done with warnings!") == 0)
        return 1;
    Check(std::strcmp(Text, "Installation done without success!") == 0, "one of three reports");
    return 2;
}

static void CheckCount(int Count)
{
    int Class = ReportClass(Count);
    Check(Class == (Count == 0 ? 0 : Count >= 1 && Count <= 99 ? 1 : 2), "report by range");
    int Fatal = FatalErrorCount(Count);
    Check(ReportClass(Fatal) == 2, "after a fatal error the run fails");
    Check(Fatal >= 101 && Fatal >= Count, "a fatal error never lowers the count");
}

static void CheckPrompt(const std::string& Headline)
{
    std::string Prompt = ContinueMessage(Headline);
    Check(Prompt.compare(0, Headline.size(), Headline) == 0, "headline first");
    const std::string Question = "Continue Installation?";
    Check(Prompt.size() >= Question.size() &&
              Prompt.compare(Prompt.size() - Question.size(), Question.size(), Question) == 0,
          "question last");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    CheckCount(int(TakeNumber(In, 4)));
    CheckPrompt(TakeFields(In, 1)[0]);
    return 0;
}

#include "Setup/base/Report.h"

#include <cstdlib>

#include "Rules/MessageText.h"
#include "Rules/ReportText.h"
#include "Setup/base/Plan.h"
#include "Setup/base/Progress.h"
#include "Setup/base/RunState.h"

std::string LogText;

void LogLine(const std::string& Line)
{
    LogText += Line + "\r\n";
}

void QuietLine(const std::string& Text)
{
    std::string Line = OneLine(Text) + "\r\n";
    if (LogText.size() < Line.size() ||
        LogText.compare(LogText.size() - Line.size(), Line.size(), Line) != 0)
        LogText += Line;
}

int MessageOrDefault(const std::string& Text, const char* Title, UINT Type)
{
    if (!Switches.Quiet) {
        ProgressQuestion(true);
        int Answer = MessageBoxA(nullptr, Text.c_str(), Title, Type);
        ProgressQuestion(false);
        return Answer;
    }
    // The plan of a shown run names the box; a quiet run (and its plan) logs its text.
    if (Planning && PlanShown)
        PlanLine("would show the box \"" + OneLine(Text) + "\"");
    else
        QuietLine(Text);
    switch (Type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

void ErrorBox(const std::string& Text)
{
    MessageOrDefault(Text, Caption.c_str(), MB_OK | MB_ICONERROR);
}

void TellStarter(const std::string& Text, const char* Title, bool Failure, bool Quiet)
{
    HANDLE Out = GetStdHandle(Failure ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD Done;
    if (Out && Out != INVALID_HANDLE_VALUE &&
        WriteFile(Out, Text.data(), DWORD(Text.size()), &Done, nullptr) &&
        WriteFile(Out, "\r\n", 2, &Done, nullptr))
        return;
    if (!Quiet)
        MessageBoxA(nullptr, Text.c_str(), Title,
                    MB_OK | (Failure ? MB_ICONERROR : MB_ICONINFORMATION));
}

void ReportFailure(const std::string& Box, TAfterFailure After, const std::string& Line, bool Plain)
{
    // A failure shown on screen is in the log as well; quiet, the box's own line follows only
    // when it says something else.
    LogLine(Line.empty() ? OneLine(Box) : Line);
    MessageOrDefault(Box, Caption.c_str(), Plain ? MB_OK : MB_OK | MB_ICONERROR);
    if (After == afWarning)
        ++ErrorCount;
    else if (After == afFatal)
        MarkFatal();
}

void ReportAndEnd(const std::string& Box, bool Fatal, const std::string& Line)
{
    ReportFailure(Box, Fatal ? afFatal : afGoOn, Line);
    EndRun();
}

void MarkFatal()
{
    ErrorCount = FatalErrorCount(ErrorCount);
}

void EndRun()
{
    std::exit(0);
}

void EndOnFailure(const std::string& Text)
{
    ErrorBox(Text);
    std::exit(1);
}

void CancelRun(const char* Line)
{
    RunEnd = reCancelled;
    MarkFatal();
    LogText += Line;
    EndRun();
}

void FatalError()
{
    MarkFatal();
    EndRun();
}

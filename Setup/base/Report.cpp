#include "Setup/base/Report.h"

#include <cstdlib>

#include "Rules/DriverText.h"
#include "Rules/InstallText.h"
#include "Setup/base/RunState.h"

std::string LogText;

void LogLine(const std::string& Line) { LogText += Line + "\r\n"; }

void QuietLine(const std::string& Text)
{
    std::string Line = OneLine(Text) + "\r\n";
    if (LogText.size() < Line.size() || LogText.compare(LogText.size() - Line.size(), Line.size(), Line) != 0)
        LogText += Line;
}

int MessageOrDefault(const std::string& Text, const char* Title, UINT Type)
{
    if (!Switches.Quiet)
        return MessageBoxA(nullptr, Text.c_str(), Title, Type);
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

void MarkFatal() { ErrorCount = FatalErrorCount(ErrorCount); }

void EndRun() { std::exit(0); }

void EndOnFailure(const std::string& Text)
{
    ErrorBox(Text);
    std::exit(1);
}

void FatalError()
{
    MarkFatal();
    EndRun();
}

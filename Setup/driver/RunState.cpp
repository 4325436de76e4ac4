#include "Setup/driver/RunState.h"

#include <cstdlib>

#include "Setup/driver/DriverText.h"
#include "Setup/driver/InstallText.h"
#include "Setup/log/Log.h"

int32_t ErrorCount = 0;
std::string Caption;
bool Completed = false;
PROCESS_INFORMATION InfoProcess = {};
PROCESS_INFORMATION DiffDirProcess = {};
std::string SourceDir;
std::string InfFileName;
std::string SourceInfPath;
std::string TargetInfPath;
std::string PreviousInfPath;
std::string ProjectVersion;
bool InfDirNotWritable = false;
bool UseSetupx = false;
TSwitches Switches;
TRunEnd RunEnd = reNone;

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

void FatalError()
{
    MarkFatal();
    EndRun();
}

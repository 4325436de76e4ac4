#include "Setup/base/RunState.h"

#include <cstdlib>

#include "Rules/ReportText.h"
#include "Setup/base/LogLines.h"

int32_t ErrorCount = 0;
std::string Caption;
bool Completed = false;
PROCESS_INFORMATION InfoProcess = {};
PROCESS_INFORMATION DiffDirProcess = {};
std::string MediumDir;
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
bool RestartNeeded = false;

void ResetRunState()
{
    Completed = false;
    ErrorCount = 0;
    InfoProcess = PROCESS_INFORMATION{};
    LogText.clear();
}

void MarkFatal()
{
    ErrorCount = FatalErrorCount(ErrorCount);
}

void EndRun()
{
    std::exit(0);
}

void CancelRun(const char* Line)
{
    RunEnd = reCancelled;
    MarkFatal();
    LogPart(Line);
    EndRun();
}

void FatalError()
{
    MarkFatal();
    EndRun();
}

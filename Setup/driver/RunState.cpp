#include "Setup/driver/RunState.h"

#include <cstdlib>

#include "Setup/driver/DriverText.h"

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

void ErrorBox(const std::string& Text)
{
    MessageBoxA(nullptr, Text.c_str(), Caption.c_str(), MB_OK | MB_ICONERROR);
}

void MarkFatal() { ErrorCount = FatalErrorCount(ErrorCount); }

void EndRun() { std::exit(0); }

void FatalError()
{
    MarkFatal();
    EndRun();
}

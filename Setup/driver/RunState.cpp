#include "Setup/driver/RunState.h"

#include <cstdlib>
#include <vector>

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

std::string ReadProfile(const char* Section, const char* Key, const std::string& File,
                        const char* Default)
{
    // A cut value would be a different file name or text, so grow until the whole value fits:
    // a cut value comes back with exactly capacity - 1 characters.
    std::vector<char> Buf(2601);
    for (;;) {
        DWORD Got = GetPrivateProfileStringA(Section, Key, Default, Buf.data(), DWORD(Buf.size()),
                                             File.c_str());
        if (Got + 1 < Buf.size() || Buf.size() >= (1u << 24))
            return std::string(Buf.data(), Got);
        Buf.resize(Buf.size() * 4);
    }
}

bool ReadEnv(const char* Name, std::string& Value)
{
    std::vector<char> Buf(261);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD Got = GetEnvironmentVariableA(Name, Buf.data(), DWORD(Buf.size()));
        if (Got == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                return false;
            Value.clear();
            return true;
        }
        if (Got < Buf.size()) {
            Value.assign(Buf.data(), Got);
            return true;
        }
        Buf.resize(Got);            // too small: Got is the size it needs
    }
}

#include "Setup/base/Report.h"

#include <cstdlib>

#include "Rules/MessageText.h"
#include "Setup/base/UserDoor.h"

int MessageOrDefault(const std::string& Text, const char* Title, UINT Type)
{
    return User().Box(Text, Title, Type);
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

void EndOnFailure(const std::string& Text)
{
    ErrorBox(Text);
    std::exit(1);
}

#include "Setup/base/LogLines.h"

#include "Rules/Capacities.h"
#include "Rules/LogFileName.h"
#include "Rules/MessageText.h"
#include "Rules/PathParts.h"
#include "Setup/base/WinText.h"

std::string LogText;

void LogLine(const std::string& Line)
{
    LogText += Line + "\r\n";
}

void LogPart(const std::string& Text)
{
    LogText += Text;
}

void EndLogPart()
{
    if (!LogText.empty() && LogText.back() != '\n')
        LogText += "\r\n";
}

void QuietLine(const std::string& Text)
{
    std::string Line = OneLine(Text) + "\r\n";
    if (LogText.size() < Line.size() ||
        LogText.compare(LogText.size() - Line.size(), Line.size(), Line) != 0)
        LogText += Line;
}

bool TempDirectory(std::string& Dir)
{
    return (ReadEnv("tmp", Dir) && !Dir.empty()) || (ReadEnv("temp", Dir) && !Dir.empty());
}

bool TempLogPath(std::string& Path)
{
    std::string Dir;
    if (!TempDirectory(Dir) || Dir.size() >= LineBufSize)
        return false;
    AddTrailingBackslash(Dir);
    Path = Dir + LogFileName;
    return true;
}

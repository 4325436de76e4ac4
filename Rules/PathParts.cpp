#include "Rules/PathParts.h"

#include <cctype>

#include "Rules/CaseText.h"

std::string DirectoryPart(const std::string& Path)
{
    size_t Slash = Path.rfind('\\');
    return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

std::string FileNamePart(const std::string& Path)
{
    size_t Slash = Path.rfind('\\');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string JoinPath(const std::string& Dir, const std::string& Name)
{
    if (!Dir.empty() && Dir.back() == '\\')
        return Dir + Name;
    return Dir + "\\" + Name;
}

void DropOneTrailingBackslash(std::string& Path)
{
    if (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
}

void DropAllTrailingBackslashes(std::string& Path)
{
    while (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
}

void AddTrailingBackslash(std::string& Path)
{
    if (Path.empty() || Path.back() != '\\')
        Path += '\\';
}

static bool IsSlash(char C)
{
    return C == '\\' || C == '/';
}

bool IsFullPath(const std::string& Path)
{
    if (Path.size() >= 2 && IsSlash(Path[0]) && IsSlash(Path[1]))
        return true;
    char Drive = FoldedChar(Path.empty() ? ' ' : Path[0]);
    return Path.size() >= 3 && Drive >= 'A' && Drive <= 'Z' && Path[1] == ':' && IsSlash(Path[2]);
}

bool IsAbsoluteFolder(const std::string& Path)
{
    if (Path.empty())
        return false;
    return Path[0] == '%' || Path.compare(0, 2, "\\\\") == 0 ||
           (Path.size() >= 3 && std::isalpha((unsigned char)Path[0]) && Path[1] == ':' &&
            Path[2] == '\\');
}

bool HasInfExtension(const std::string& Path)
{
    size_t Dot = Path.rfind('.');
    size_t Slash = Path.rfind('\\');
    if (Dot == std::string::npos || (Slash != std::string::npos && Slash > Dot))
        return false;
    return SameText(Path.substr(Dot), ".inf");
}

std::string FirstDevicePath(const std::string& DevicePath)
{
    // Empty entries (";C:\Inf", a doubled separator) name no directory and are passed over.
    size_t Start = 0;
    while (Start <= DevicePath.size()) {
        size_t End = DevicePath.find(';', Start);
        if (End == std::string::npos)
            End = DevicePath.size();
        if (End > Start)
            return DevicePath.substr(Start, End - Start);
        Start = End + 1;
    }
    return std::string();
}

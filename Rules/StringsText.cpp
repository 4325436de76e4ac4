#include "Rules/StringsText.h"

#include "Rules/CaseText.h"

TStringsKey ClassifyStringsKey(const std::string& Key)
{
    for (const char* Plain :
         {"rundll", "setupx", "InfPath", "ProjectVersion", "MyProgramPath", "MyStartMenu"})
        if (SameText(Key, Plain))
            return skPlain;
    return SameText(Key, "ProgramFiles") ? skProgramFiles : skShellFolder;
}

std::string FirstReference(const std::string& Raw)
{
    size_t Open = Raw.find('%');
    size_t Close = Open == std::string::npos ? Open : Raw.find('%', Open + 1);
    return Close == std::string::npos ? std::string() : Raw.substr(Open, Close - Open + 1);
}

std::string WindowsDriveRoot(const std::string& WinDir)
{
    return WinDir.size() >= 3 && WinDir[1] == ':' ? WinDir.substr(0, 3) : "C:\\";
}

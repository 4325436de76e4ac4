#include "Setup/run/InfDiscovery.h"

#include <windows.h>

#include "Rules/Capacities.h"
#include "Rules/CommandLineText.h"
#include "Rules/PathParts.h"
#include "Rules/SignatureText.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"

int CheckInfSignature(const std::string& InfPath)
{
    char Value[SignatureSize];
    NoteProfileFile(InfPath);
    if (GetPrivateProfileStringA("Version", "FormKv", "", Value, sizeof Value, InfPath.c_str()) ==
        0)
        return 0;
    return SignaturePosition(Value);
}

static bool IsPlainFile(const WIN32_FIND_DATAA& Found)
{
    return (Found.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// Directory of the program's own file, without trailing backslash; for a bundle, the folder its
// medium was unpacked into, which stands in for it.
static std::string OwnDirectory()
{
    if (!MediumDir.empty())
        return MediumDir;
    char Path[MAX_PATH + 1];
    DWORD Len = GetModuleFileNameA(nullptr, Path, sizeof Path);
    std::string Dir(Path, Len < sizeof Path ? Len : 0);
    Dir.resize(Dir.rfind('\\') == std::string::npos ? 0 : Dir.rfind('\\') + 1);
    DropOneTrailingBackslash(Dir);
    return Dir;
}

static bool PlainFileExists(const std::string& Path)
{
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA(Path.c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE)
        return false;
    bool Seen = false;
    do
        Seen = IsPlainFile(Found);
    while (!Seen && FindNextFileA(Search, &Found));
    FindClose(Search);
    return Seen;
}

[[noreturn]] static void Refuse(const std::string& Text, TRunEnd End = reNone)
{
    RunEnd = End;
    ReportAndEnd(Text, true);
}

static void EnterSourceDir()
{
    // "C:" alone would mean the drive's current directory, not its root.
    SetCurrentDirectoryA((SourceDir + "\\").c_str());
}

static void FindNamedInf(const std::string& Arg)
{
    if (!SplitInfArgument(Arg, SourceDir, InfFileName)) {
        SourceDir = OwnDirectory();
        InfFileName = Arg;
    }
    DropOneTrailingBackslash(SourceDir);
    std::string Path = SourceDir + "\\" + InfFileName;
    if (!PlainFileExists(Path))
        Refuse("Error: " + Path + "-not found!", reScriptNotFound);
    if (CheckInfSignature(Path) == 0)
        Refuse("Error: " + Path + " has not the required Version/Signature", reScriptNotFound);
}

std::string FirstSignedInf(const std::string& Dir, std::string& Last)
{
    Last.clear();
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Dir + "\\*.INF").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE)
        return std::string();
    bool Valid = false;
    do {
        if (!IsPlainFile(Found))
            continue;
        Last = Found.cFileName;
        Valid = CheckInfSignature(Dir + "\\" + Last) != 0;
    } while (!Valid && FindNextFileA(Search, &Found));
    FindClose(Search);
    return Valid ? Last : std::string();
}

static void SearchSignedInf()
{
    SourceDir = OwnDirectory();
    std::string Last;
    InfFileName = FirstSignedInf(SourceDir, Last);
    // Users and scripts know these messages as they are: keep "Dircetory".
    if (Last.empty())
        Refuse("Error: no *.INF-File found in the Dircetory " + SourceDir + " of SETUP.EXE",
               reScriptNotFound);
    if (InfFileName.empty())
        Refuse("Error: " + SourceDir + "\\" + Last + " has not the required Version/Signature" +
                   "\rand no other suitable *.INF found in this Directory",
               reScriptNotFound);
}

void FindInfFile(const std::string& Arg)
{
    if (Arg.empty())
        SearchSignedInf();
    else
        FindNamedInf(Arg);
    EnterSourceDir();
}

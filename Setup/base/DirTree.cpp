#include "Setup/base/DirTree.h"

#include <windows.h>

#include "Rules/PathParts.h"
#include "Setup/base/Plan.h"
#include "Setup/base/Report.h"

static bool IsDirectory(const std::string& Path)
{
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA(Path.c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(Search);
    return (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A plan makes its folders only in its own books, and says what the run would make.
static bool IsFolder(const std::string& Path)
{
    return IsDirectory(Path) || (Planning && PlanMadeDir(Path));
}

bool MakeFolder(const std::string& Path)
{
    return Planning ? PlanMakeDir(Path) : CreateDirectoryA(Path.c_str(), nullptr) != FALSE;
}

static int Failed(const std::string& Tried)
{
    ReportFailure("Error to create the " + Tried + " directory", afFatal);
    return -1;
}

int CreateDirTree(const std::string& Path, std::string& Log)
{
    std::string Whole = Path;
    DropOneTrailingBackslash(Whole);
    if (IsFolder(Whole))
        return 0;
    size_t Colon = Path.find(':');
    if (Colon != std::string::npos && Path.size() - Colon - 1 == 1)
        return 0;
    if (MakeFolder(Whole))
        return 1;

    // Walk up until a level can be made: the highest missing one, whose parent exists.
    std::string Part = Whole;
    for (;;) {
        size_t Cut = Part.rfind('\\');
        Part.resize(Cut == std::string::npos ? 0 : Cut);
        if (MakeFolder(Part))
            break;
        if (Part.size() < 2)
            return Failed(Part);
    }
    Log += Part + "\t created\r\n";

    // Then down again, one level at a time.
    while (Part.size() < Whole.size()) {
        size_t Next = Whole.find('\\', Part.size() + 1);
        Part = Whole.substr(0, Next == std::string::npos ? Whole.size() : Next);
        if (!MakeFolder(Part))
            return Failed(Part);
        Log += Part + "\t created\r\n";
    }
    return 1;
}

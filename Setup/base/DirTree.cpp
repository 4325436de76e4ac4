#include "Setup/base/DirTree.h"

#include <windows.h>

#include "Rules/PathParts.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Report.h"

static int Failed(const std::string& Tried)
{
    ReportFailure("Error to create the " + Tried + " directory", afFatal);
    return -1;
}

// Every look and every folder made goes through the run's door: a plan makes them in its books.
int CreateDirTree(const std::string& Path, std::string& Log)
{
    std::string Whole = Path;
    DropOneTrailingBackslash(Whole);
    if (Files().IsFolder(Whole))
        return 0;
    size_t Colon = Path.find(':');
    if (Colon != std::string::npos && Path.size() - Colon - 1 == 1)
        return 0;
    if (Files().MakeFolder(Whole))
        return 1;

    // Walk up until a level can be made: the highest missing one, whose parent exists.
    std::string Part = Whole;
    for (;;) {
        size_t Cut = Part.rfind('\\');
        Part.resize(Cut == std::string::npos ? 0 : Cut);
        if (Files().MakeFolder(Part))
            break;
        if (Part.size() < 2)
            return Failed(Part);
    }
    Log += Part + "\t created\r\n";

    // Then down again, one level at a time.
    while (Part.size() < Whole.size()) {
        size_t Next = Whole.find('\\', Part.size() + 1);
        Part = Whole.substr(0, Next == std::string::npos ? Whole.size() : Next);
        if (!Files().MakeFolder(Part))
            return Failed(Part);
        Log += Part + "\t created\r\n";
    }
    return 1;
}

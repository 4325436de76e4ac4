#include "Setup/base/FileDoor.h"

static TFileDoor* Door = nullptr;

TFileDoor& Files()
{
    return Door != nullptr ? *Door : RealFileDoor();
}

void ChooseFileDoor(bool Plan)
{
    Door = Plan ? &PlanFileDoor() : nullptr;
}

void UseFileDoor(TFileDoor* Fake)
{
    Door = Fake;
}

bool FolderReady(const std::string& Path)
{
    return Files().IsFolder(Path) || (!Path.empty() && Files().MakeFolder(Path));
}

#include "Setup/base/UserDoor.h"

#include "Setup/base/Progress.h"
#include "Setup/base/RunState.h"

static TUserDoor* Side = nullptr;

TUserDoor& User()
{
    return Side != nullptr ? *Side : ShownUser();
}

void ChooseUserDoor(bool Plan)
{
    Side = Plan ? &PlannedUser(!Switches.Quiet) : Switches.Quiet ? &QuietUser() : &ShownUser();
    ProgressMayShow(!Plan && !Switches.Quiet);
}

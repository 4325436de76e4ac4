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

TOwnOpen OpenOwnLog(const std::string& Path, bool Append, HANDLE& File, bool& Existed,
                    std::string& Beside)
{
    TOwnOpen Found = OpenOwnFile(Path, Append, File, Existed);
    if (Found == ooForeign) {
        std::string Fresh;
        File = CreateBeside(Path, Fresh);
        if (File != INVALID_HANDLE_VALUE)
            Beside = Fresh;
    }
    return Found;
}

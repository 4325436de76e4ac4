#include "Setup/base/Door.h"

#include "Setup/base/FileDoor.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/UserDoor.h"

bool Planning = false;

void ChooseDoors(bool Plan)
{
    Planning = Plan;
    ChooseUserDoor(Plan);
    ChooseFileDoor(Plan);
    ChooseSettingsDoor(Plan);
}

#include "Setup/base/Door.h"

#include "Setup/base/SettingsDoor.h"

bool Planning = false;

void ChooseDoors(bool Plan)
{
    Planning = Plan;
    ChooseSettingsDoor(Plan);
}

#include "Setup/base/Door.h"

#include "Setup/base/FileDoor.h"

bool Planning = false;

void ChooseDoors(bool Plan)
{
    Planning = Plan;
    ChooseFileDoor(Plan);
}

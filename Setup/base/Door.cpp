#include "Setup/base/Door.h"

bool Planning = false;

void ChooseDoors(bool Plan)
{
    Planning = Plan;
}

#include "Setup/base/Journal.h"

static bool On = false;

bool Journaling()
{
    return On;
}

void StartJournal()
{
    On = true;
}

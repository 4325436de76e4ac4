#include "Setup/base/Door.h"

#include "Setup/base/FileDoor.h"
#include "Setup/base/Journal.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/UserDoor.h"

void ChooseDoors(bool Plan)
{
    ChooseUserDoor(Plan);
    ChooseFileDoor(Plan);
    ChooseSettingsDoor(Plan);
}

void ChooseJournalDoors()
{
    StartJournal();
    UseFileDoor(&JournalFileDoor());
    UseSettingsDoor(JournalSettingsDoor());
}

#include "Setup/base/SettingsDoor.h"

#include "Rules/Capacities.h"

static TSettingsDoor* Door = nullptr;   // null: the real door, which a run has from its start

TSettingsDoor& Settings()
{
    return Door ? *Door : RealSettingsDoor();
}

void ChooseSettingsDoor(bool Plan)
{
    Door = Plan ? &PlanSettingsDoor() : &RealSettingsDoor();
}

void UseSettingsDoor(TSettingsDoor& Chosen)
{
    Door = &Chosen;
}

bool WriteProfile(const char* Section, const std::string& Key, const std::string& Value,
                  const std::string& File)
{
    return Settings().WriteEntry({Section, Key, Value, File, false});
}

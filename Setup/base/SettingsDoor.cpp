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

bool EntryFits(const TIniEntry& Entry)
{
    for (const std::string* Text : {&Entry.Section, &Entry.Key, &Entry.Value, &Entry.File})
        if (Text->size() >= SystemTextSize)
            return false;
    return true;
}

TStoredValue KnownValue(DWORD Type, const std::string& Data, size_t Limit)
{
    TStoredValue Stored;
    Stored.Found = true;
    Stored.Type = Type;
    Stored.Whole = Data.size() < Limit;
    if (Stored.Whole)
        Stored.Data = Data;
    return Stored;
}

bool WriteProfile(const char* Section, const std::string& Key, const std::string& Value,
                  const std::string& File)
{
    return Settings().WriteEntry({Section, Key, Value, File, false});
}

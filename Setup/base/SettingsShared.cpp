// What both doors to the settings share: the limits of the system's profile texts, a value as
// the word for setting it needs it, and where a new key is made. A file of its own, below both
// doors and the choice between them.
#include "Setup/base/SettingsDoor.h"

#include <vector>

#include "Rules/Capacities.h"

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

LONG OpenKeyParent(HKEY Root, const std::string& SubKey, HKEY& Parent, size_t& Cut)
{
    std::string Part = SubKey;
    for (;;) {
        Cut = Part.rfind('\\');
        Part.resize(Cut == std::string::npos ? 0 : Cut);
        Cut = Part.empty() ? 0 : Cut + 1;
        LONG Code = RegOpenKeyExA(Root, Part.empty() ? nullptr : Part.c_str(), 0,
                                  KEY_CREATE_SUB_KEY, &Parent);
        if (Code != ERROR_FILE_NOT_FOUND || Part.empty())
            return Code;
    }
}

TStoredValue ReadStoredValue(HKEY Key, const std::string& Name, size_t Limit)
{
    TStoredValue Stored;
    DWORD Size = 0;
    if (!Key ||
        RegQueryValueExA(Key, Name.c_str(), nullptr, &Stored.Type, nullptr, &Size) != ERROR_SUCCESS)
        return Stored;
    Stored.Found = true;
    if (Size >= Limit)
        return Stored;
    std::vector<char> Data(Size + 1);
    DWORD Type = REG_NONE;
    // A value changed under our feet between the two reads is not compared.
    Stored.Whole = RegQueryValueExA(Key, Name.c_str(), nullptr, &Type,
                                    reinterpret_cast<BYTE*>(Data.data()), &Size) == ERROR_SUCCESS &&
                   Type == Stored.Type;
    if (Stored.Whole)
        Stored.Data.assign(Data.data(), Size);
    return Stored;
}

// A machine of the test's own behind the settings door: keys, values, INI entries and links in
// memory, each named as the log names it ("HKCU\Software\Key", a value "\\Name" after its key).
// Put in place with UseSettingsDoor; the sections' decisions then run without touching the
// machine.
#pragma once
#include <map>
#include <set>
#include <string>

#include "Setup/base/RegKeys.h"
#include "Setup/base/SettingsDoor.h"

class TFakeSettings : public TSettingsDoor {
public:
    std::set<std::string> Keys;       // the keys there are
    std::set<std::string> Closed;     // keys that may be read but not given subkeys
    std::set<std::string> ReadOnly;   // keys whose values may be read but not set
    std::map<std::string, std::pair<DWORD, std::string>> Values;
    std::map<std::string, std::string> Entries;   // "File [Section] Key" -> value
    std::map<std::string, TLinkFields> Links;     // by the link's file
    std::set<std::string> Unwritable;             // INI files and links that can't be written

    bool OpenKey(HKEY Root, const std::string& SubKey) override
    {
        Open = Name(Root, SubKey);
        return Keys.count(Open) != 0;
    }
    bool CreateKey(HKEY Root, const std::string& SubKey) override
    {
        Open = Name(Root, SubKey);
        // The nearest key above that is there decides, as the registry's rights do.
        for (std::string Part = Open; Part.find('\\') != std::string::npos;) {
            Part.resize(Part.rfind('\\'));
            if (Keys.count(Part) || Part.find('\\') == std::string::npos) {
                if (Closed.count(Part))
                    return false;
                break;
            }
        }
        Keys.insert(Open);
        return true;
    }
    void CloseKey() override { Open.clear(); }
    TStoredValue ReadValue(const std::string& ValueName, size_t Limit) override
    {
        auto Found = Values.find(Open + "\\\\" + ValueName);
        return Found == Values.end() ? TStoredValue()
                                     : KnownValue(Found->second.first, Found->second.second, Limit);
    }
    LONG SetValue(const std::string& ValueName, DWORD Type, const std::string& Data) override
    {
        if (ReadOnly.count(Open))
            return ERROR_ACCESS_DENIED;
        Values[Open + "\\\\" + ValueName] = {Type, Data};
        return ERROR_SUCCESS;
    }
    std::string ReadEntry(const char* Section, const char* Key, const std::string& File) override
    {
        auto Found = Entries.find(File + " [" + Section + "] " + Key);
        return Found != Entries.end() ? Found->second : "";
    }
    std::vector<TProfileLine> ReadEntries(const char* Section, const std::string& File) override
    {
        std::string Head = File + " [" + Section + "] ";
        std::vector<TProfileLine> Lines;
        for (auto At = Entries.lower_bound(Head);
             At != Entries.end() && At->first.compare(0, Head.size(), Head) == 0; ++At)
            Lines.push_back({At->first.substr(Head.size()), At->second});
        return Lines;
    }
    bool WriteEntry(const TIniEntry& Entry) override
    {
        if (Unwritable.count(Entry.File)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        Entries[Entry.File + " [" + Entry.Section + "] " + Entry.Key] = Entry.Value;
        return true;
    }
    bool LinkDate(const std::string& LinkFile, std::string& Date) override
    {
        Date = "06/01/2020 12:00:00";
        return Links.count(LinkFile) != 0;
    }
    bool CreateLink(const TLinkFields& Link, const std::string& LinkFile) override
    {
        if (Unwritable.count(LinkFile))
            return false;
        Links[LinkFile] = Link;
        return true;
    }

private:
    std::string Open;   // the open key's name
    static std::string Name(HKEY Root, const std::string& SubKey)
    {
        return std::string(RootKeyName(Root)) + "\\" + SubKey;
    }
};

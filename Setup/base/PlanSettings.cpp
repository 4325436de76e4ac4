// The plan's door to the settings: it changes nothing. It keeps books of the keys, values and
// entries that the run would have made by then, for the lines after them, and asks the system
// whether the run would have the right to make each change.
#include <algorithm>
#include <map>
#include <set>

#include "LnkOleU/LnkOleU.h"
#include "Rules/CaseText.h"
#include "Rules/ProfileText.h"
#include "Setup/base/Plan.h"
#include "Setup/base/PlanBooks.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/WinText.h"

namespace {

class TPlanSettings : public TSettingsDoor {
public:
    bool OpenKey(HKEY Root, const std::string& SubKey) override;
    bool CreateKey(HKEY Root, const std::string& SubKey) override;
    void CloseKey() override;
    TStoredValue ReadValue(const std::string& Name, size_t Limit) override;
    LONG SetValue(const std::string& Name, DWORD Type, const std::string& Data) override;
    std::string ReadEntry(const char* Section, const char* Key, const std::string& File) override;
    std::vector<TProfileLine> ReadEntries(const char* Section, const std::string& File) override;
    bool WriteEntry(const TIniEntry& Entry) override;
    bool LinkDate(const std::string& LinkFile, std::string& Date) override;
    bool CreateLink(const TLinkFields& Link, const std::string& LinkFile) override;

private:
    // The open key; Key only where it is there already (one the run would create has none).
    HKEY Root = nullptr;
    std::string SubKey;
    HKEY Key = nullptr;
    bool Held = false;
    LONG Found = ERROR_SUCCESS;   // what the last opening of a key not held found
    // An entry that the run would have written by then: its key as first written, its value, and
    // its place among the entries written (a file keeps a key where it first wrote it).
    struct TBookedEntry {
        std::string Key, Value;
        size_t Order = 0;
    };
    // Keys, values and entries by their names, letter case ignored as the system ignores it.
    std::set<std::string> Keys;
    std::map<std::string, std::pair<DWORD, std::string>> Values;
    std::map<std::string, TBookedEntry> Entries;
    std::string KeyName() const
    {
        return std::to_string(uintptr_t(Root)) + "\\" + FoldedText(SubKey);
    }
    void Hold(HKEY NewRoot, const std::string& NewSubKey, HKEY NewKey);
};

std::string EntryName(const std::string& File, const std::string& Section, const std::string& Key)
{
    return FoldedText(File) + "\n" + FoldedText(Section) + "\n" + FoldedText(Key);
}

// A value written as the profile functions give it back: blanks trimmed, enclosing quotes gone.
std::string ReadBack(const std::string& Value)
{
    return UnquotedValue(TrimmedBlanks(Value));
}

void TPlanSettings::Hold(HKEY NewRoot, const std::string& NewSubKey, HKEY NewKey)
{
    Root = NewRoot;
    SubKey = NewSubKey;
    Key = NewKey;
    Held = true;
}

bool TPlanSettings::OpenKey(HKEY NewRoot, const std::string& NewSubKey)
{
    if (Held && Root == NewRoot && SubKey == NewSubKey)
        return true;
    CloseKey();
    Root = NewRoot;
    SubKey = NewSubKey;
    HKEY Opened = nullptr;
    Found = RegOpenKeyA(NewRoot, NewSubKey.c_str(), &Opened);
    // A key that the plan has made is there for the lines after it, without a handle.
    if (Found != ERROR_SUCCESS && !Keys.count(KeyName()))
        return false;
    Hold(NewRoot, NewSubKey, Found == ERROR_SUCCESS ? Opened : nullptr);
    return true;
}

bool TPlanSettings::CreateKey(HKEY NewRoot, const std::string& NewSubKey)
{
    CloseKey();
    // A key that is there but refused the opening is refused to the creation as well.
    HKEY Parent;
    size_t Cut;
    if (Found != ERROR_FILE_NOT_FOUND ||
        OpenKeyParent(NewRoot, NewSubKey, Parent, Cut) != ERROR_SUCCESS)
        return false;
    RegCloseKey(Parent);
    Hold(NewRoot, NewSubKey, nullptr);
    Keys.insert(KeyName());
    return true;
}

void TPlanSettings::CloseKey()
{
    if (Key)
        RegCloseKey(Key);
    Key = nullptr;
    Held = false;
}

TStoredValue TPlanSettings::ReadValue(const std::string& Name, size_t Limit)
{
    // A value that an earlier line would have set is the one the run finds.
    auto Planned = Values.find(KeyName() + "\\\\" + FoldedText(Name));
    if (Planned == Values.end())
        return ReadStoredValue(Key, Name, Limit);
    return KnownValue(Planned->second.first, Planned->second.second, Limit);
}

LONG TPlanSettings::SetValue(const std::string& Name, DWORD Type, const std::string& Data)
{
    // A key that the run would create takes its values; one that is there tells whether it
    // would take them.
    LONG Code = ERROR_SUCCESS;
    HKEY Probe;
    if (Key &&
        (Code = RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_SET_VALUE, &Probe)) == ERROR_SUCCESS)
        RegCloseKey(Probe);
    if (Code == ERROR_SUCCESS)
        Values[KeyName() + "\\\\" + FoldedText(Name)] = {Type, Data};
    return Code;
}

std::string TPlanSettings::ReadEntry(const char* Section, const char* EntryKey,
                                     const std::string& File)
{
    auto Written = Entries.find(EntryName(File, Section, EntryKey));
    return Written != Entries.end() ? ReadBack(Written->second.Value)
                                    : ReadProfile(Section, EntryKey, File);
}

// The section as the file has it, then the entries that the run would have written into it, in
// the order written: a key that is there takes its new value in place, a new one comes last
// (where the key list has ended already after a line without a name).
std::vector<TProfileLine> TPlanSettings::ReadEntries(const char* Section, const std::string& File)
{
    bool Listless = false;
    std::vector<TProfileLine> Lines = ReadSection(Section, File, &Listless);
    std::string Head = EntryName(File, Section, "");
    std::vector<const TBookedEntry*> Written;
    for (auto At = Entries.lower_bound(Head);
         At != Entries.end() && At->first.compare(0, Head.size(), Head) == 0; ++At)
        Written.push_back(&At->second);
    if (Written.empty())
        return Lines;
    std::sort(Written.begin(), Written.end(),
              [](const TBookedEntry* A, const TBookedEntry* B) { return A->Order < B->Order; });
    // A section of thousands of keys is searched by name, not line by line for each entry.
    std::multimap<std::string, size_t> Places;
    for (size_t At = 0; At < Lines.size(); ++At)
        Places.emplace(FoldedText(Lines[At].Key), At);
    for (const TBookedEntry* Entry : Written) {
        auto Same = Places.equal_range(FoldedText(Entry->Key));
        if (Same.first == Same.second && !Listless)
            Lines.push_back({Entry->Key, ReadBack(Entry->Value)});
        for (auto At = Same.first; At != Same.second; ++At)   // every line that lists the name
            Lines[At->second].Value = ReadBack(Entry->Value);
    }
    return Lines;
}

bool TPlanSettings::WriteEntry(const TIniEntry& Entry)
{
    // The log has no line for an entry of the script's; the plan names each.
    if (Entry.Named)
        PlanLine("IniWrite " + Entry.File + " [" + Entry.Section + "] " + Entry.Key + "=" +
                 Entry.Value);
    if (!EntryFits(Entry)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!MayWriteFile(Entry.File))
        return false;   // the error as writing would give it
    TBookedEntry& Booked = Entries[EntryName(Entry.File, Entry.Section, Entry.Key)];
    if (Booked.Order == 0)
        Booked = {Entry.Key, "", Entries.size()};
    Booked.Value = Entry.Value;
    return true;
}

bool TPlanSettings::LinkDate(const std::string& LinkFile, std::string& Date)
{
    return RealSettingsDoor().LinkDate(LinkFile, Date);
}

// A plan writes no link: the link object takes the fields or not (a target that the plan installs
// is taken as there), and the link's file could be written or not.
bool TPlanSettings::CreateLink(const TLinkFields& Link, const std::string& LinkFile)
{
    return (PlanHasFile(Link.Target) ||
            CreateShellLink(Link.Target.c_str(), Link.Arguments.c_str(), Link.WorkDir.c_str(),
                            Link.IconFile.c_str(), Link.IconIndex, nullptr) == 0) &&
           MayWriteFile(LinkFile);
}

}   // namespace

TSettingsDoor& PlanSettingsDoor()
{
    static TPlanSettings Door;
    return Door;
}

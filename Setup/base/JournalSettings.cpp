// The settings door of a run that undoes itself: keys made and values set are noted in the journal
// with what they held before; INI files and links are kept whole as files are (JournalUndo.cpp
// undoes the records).
#include "Setup/base/SettingsDoor.h"

#include "Setup/base/Journal.h"
#include "Setup/base/RegKeys.h"

namespace {

const size_t WholeValue = size_t(1) << 30;   // a value's old data is kept whatever its size

class TJournalSettings : public TSettingsDoor {
public:
    bool OpenKey(HKEY Root, const std::string& SubKey) override
    {
        return Held(Real.OpenKey(Root, SubKey), Root, SubKey);
    }
    bool CreateKey(HKEY Root, const std::string& SubKey) override
    {
        HKEY Parent;
        size_t Cut = 0;
        bool Noted = false;
        if (OpenKeyParent(Root, SubKey, Parent, Cut) == ERROR_SUCCESS) {
            RegCloseKey(Parent);
            std::string Top = SubKey.substr(0, SubKey.find('\\', Cut));
            Noted = Note(jkKey, {RootKeyName(Root), SubKey, Top}, false);
            if (!Noted)
                return false;
        }
        bool Created = Real.CreateKey(Root, SubKey);
        if (!Created && Noted)
            VoidLast();
        return Held(Created, Root, SubKey);
    }
    void CloseKey() override { Real.CloseKey(); }
    TStoredValue ReadValue(const std::string& Name, size_t Limit) override
    {
        return Real.ReadValue(Name, Limit);
    }
    LONG SetValue(const std::string& Name, DWORD Type, const std::string& Data) override
    {
        TStoredValue Old = Real.ReadValue(Name, WholeValue);
        if (!Note(jkValue,
                  {RootKeyName(Root), SubKey, Name, Old.Found ? "1" : "0", HexNumber(Old.Type),
                   Old.Data},
                  Old.Found))
            return LONG(GetLastError());
        LONG Code = Real.SetValue(Name, Type, Data);
        if (Code != ERROR_SUCCESS)
            VoidLast();
        return Code;
    }
    std::string ReadEntry(const char* Section, const char* Key, const std::string& File) override
    {
        return Real.ReadEntry(Section, Key, File);
    }
    std::vector<TProfileLine> ReadEntries(const char* Section, const std::string& File) override
    {
        return Real.ReadEntries(Section, File);
    }
    bool WriteEntry(const TIniEntry& Entry) override
    {
        return BeforeInPlace(Entry.File) && Real.WriteEntry(Entry);
    }
    bool LinkDate(const std::string& LinkFile, std::string& Date) override
    {
        return Real.LinkDate(LinkFile, Date);
    }
    bool CreateLink(const TLinkFields& Link, const std::string& LinkFile) override
    {
        TReplacing Replacing;
        if (!BeforeWhole(LinkFile, Replacing))
            return false;
        bool Created = Real.CreateLink(Link, LinkFile);
        AfterWhole(LinkFile, Replacing, Created);
        return Created;
    }

private:
    TSettingsDoor& Real = RealSettingsDoor();
    HKEY Root = nullptr;   // the open key, as the values' records name it
    std::string SubKey;

    bool Held(bool Open, HKEY OpenRoot, const std::string& OpenSubKey)
    {
        if (Open) {
            Root = OpenRoot;
            SubKey = OpenSubKey;
        }
        return Open;
    }
};

TJournalSettings JournalSettings;

}   // namespace

TSettingsDoor& JournalSettingsDoor()
{
    return JournalSettings;
}

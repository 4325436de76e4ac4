// The settings door of a run that undoes itself: keys made and values set are noted in the journal
// with what they held before; INI files and links are kept whole as files are. The undoing of
// those records.
#include "Setup/base/SettingsDoor.h"

#include "Setup/base/Journal.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/RegKeys.h"
#include "Setup/base/WinText.h"

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

void Failed(const std::string& What, LONG Code, int& NotUndone)
{
    std::string Reason;
    SystemErrorText(DWORD(Code), 0, Reason);
    LogLine(NotUndoneLine(What, DWORD(Code), Reason));
    ++NotUndone;
}

// The key Root\Path when it holds neither keys nor values: a key the run made, unless someone
// else put something in it meanwhile.
LONG RemoveEmptyKey(HKEY Root, const std::string& Path)
{
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &Key);
    if (Code != ERROR_SUCCESS)
        return Code;
    DWORD Keys = 0, Values = 0;
    Code = RegQueryInfoKeyA(Key, nullptr, nullptr, nullptr, &Keys, nullptr, nullptr, &Values,
                            nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(Key);
    if (Code != ERROR_SUCCESS)
        return Code;
    return Keys || Values ? LONG(ERROR_DIR_NOT_EMPTY) : RegDeleteKeyA(Root, Path.c_str());
}

void UndoKey(HKEY Root, const std::string& Name, std::string Path, const std::string& Top,
             int& NotUndone)
{
    for (; Path.size() >= Top.size();
         Path.resize(Path.rfind('\\') == std::string::npos ? 0 : Path.rfind('\\'))) {
        LONG Code = RemoveEmptyKey(Root, Path);
        std::string What = Name + "\\" + Path;
        if (Code == ERROR_SUCCESS)
            LogLine(RemovedLine(What));
        else if (Code == ERROR_DIR_NOT_EMPTY)
            LogLine(StaysLine(What, "it holds what the run did not make"));
        else if (Code != ERROR_FILE_NOT_FOUND)
            Failed(What, Code, NotUndone);
        if (Path.empty() || Code != ERROR_SUCCESS)
            return;
    }
}

void UndoValue(HKEY Root, const std::vector<std::string>& Fields, int& NotUndone)
{
    std::string What = ValueWhat(Fields[0] + "\\" + Fields[1], Fields[2]);
    unsigned long Type = REG_NONE;
    HKEY Key;
    LONG Code = RegOpenKeyExA(Root, Fields[1].c_str(), 0, KEY_SET_VALUE, &Key);
    if (Code == ERROR_FILE_NOT_FOUND && Fields[3] == "0")
        return;   // the key went, and the value with it
    if (Code == ERROR_SUCCESS) {
        if (Fields[3] == "1" && ParseHexNumber(Fields[4], Type))
            Code = RegSetValueExA(Key, Fields[2].c_str(), 0, DWORD(Type),
                                  reinterpret_cast<const BYTE*>(Fields[5].data()),
                                  DWORD(Fields[5].size()));
        else
            Code = RegDeleteValueA(Key, Fields[2].c_str());
        RegCloseKey(Key);
    }
    if (Code == ERROR_SUCCESS)
        LogLine(Fields[3] == "1" ? RestoredLine(What) : RemovedLine(What));
    else if (Code != ERROR_FILE_NOT_FOUND)
        Failed(What, Code, NotUndone);
}

}   // namespace

TSettingsDoor& JournalSettingsDoor()
{
    return JournalSettings;
}

bool UndoSettingsRecord(const TJournalRecord& Record, int& NotUndone)
{
    if (Record.Kind != jkKey && Record.Kind != jkValue)
        return false;
    HKEY Root = RootKeyOf(Record.Fields[0].c_str());
    if (Root == nullptr)
        Failed(Record.Fields[0] + "\\" + Record.Fields[1], ERROR_INVALID_DATA, NotUndone);
    else if (Record.Kind == jkKey)
        UndoKey(Root, Record.Fields[0], Record.Fields[1], Record.Fields[2], NotUndone);
    else
        UndoValue(Root, Record.Fields, NotUndone);
    return true;
}

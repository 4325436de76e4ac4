// The real door to the settings: each change is made as the system's calls make it.
#include <vector>

#include "FileInfoKv/FileInfoKv.h"
#include "LnkOleU/LnkOleU.h"
#include "Setup/base/SettingsDoor.h"
#include "Setup/base/WinText.h"

namespace {

class TRealSettings : public TSettingsDoor {
public:
    bool OpenKey(HKEY Root, const std::string& SubKey) override;
    bool CreateKey(HKEY Root, const std::string& SubKey) override;
    void CloseKey() override;
    TStoredValue ReadValue(const std::string& Name, size_t Limit) override;
    LONG SetValue(const std::string& Name, DWORD Type, const std::string& Data) override;
    std::string ReadEntry(const char* Section, const char* Key, const std::string& File) override;
    std::vector<TProfileLine> ReadEntries(const char* Section, const std::string& File) override
    {
        return ReadSection(Section, File);
    }
    bool WriteEntry(const TIniEntry& Entry) override;
    bool LinkDate(const std::string& LinkFile, std::string& Date) override;
    bool CreateLink(const TLinkFields& Link, const std::string& LinkFile) override;

private:
    // The key that the last line wrote into, kept open for the next line: scripts write many
    // values into one key, and opening and closing it for each is two requests to the registry.
    HKEY Root = nullptr;
    std::string SubKey;
    HKEY Key = nullptr;
    void Hold(HKEY NewRoot, const std::string& NewSubKey, HKEY NewKey);
};

void TRealSettings::Hold(HKEY NewRoot, const std::string& NewSubKey, HKEY NewKey)
{
    Root = NewRoot;
    SubKey = NewSubKey;
    Key = NewKey;
}

bool TRealSettings::OpenKey(HKEY NewRoot, const std::string& NewSubKey)
{
    if (Key && Root == NewRoot && SubKey == NewSubKey)
        return true;
    CloseKey();
    HKEY Opened;
    if (RegOpenKeyA(NewRoot, NewSubKey.c_str(), &Opened) != ERROR_SUCCESS)
        return false;
    Hold(NewRoot, NewSubKey, Opened);
    return true;
}

bool TRealSettings::CreateKey(HKEY NewRoot, const std::string& NewSubKey)
{
    CloseKey();
    HKEY Parent;
    size_t Cut;
    if (OpenKeyParent(NewRoot, NewSubKey, Parent, Cut) != ERROR_SUCCESS)
        return false;
    HKEY Created;
    LONG Code = RegCreateKeyA(Parent, NewSubKey.c_str() + Cut, &Created);
    RegCloseKey(Parent);
    if (Code != ERROR_SUCCESS)
        return false;
    Hold(NewRoot, NewSubKey, Created);
    return true;
}

void TRealSettings::CloseKey()
{
    if (Key)
        RegCloseKey(Key);
    Key = nullptr;
}

TStoredValue TRealSettings::ReadValue(const std::string& Name, size_t Limit)
{
    return ReadStoredValue(Key, Name, Limit);
}

LONG TRealSettings::SetValue(const std::string& Name, DWORD Type, const std::string& Data)
{
    return RegSetValueExA(Key, Name.c_str(), 0, Type, reinterpret_cast<const BYTE*>(Data.data()),
                          DWORD(Data.size()));
}

std::string TRealSettings::ReadEntry(const char* Section, const char* EntryKey,
                                     const std::string& File)
{
    return ReadProfile(Section, EntryKey, File);
}

bool TRealSettings::WriteEntry(const TIniEntry& Entry)
{
    if (!EntryFits(Entry)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    NoteProfileFile(Entry.File);
    return WritePrivateProfileStringA(Entry.Section.c_str(), Entry.Key.c_str(), Entry.Value.c_str(),
                                      Entry.File.c_str());
}

bool TRealSettings::LinkDate(const std::string& LinkFile, std::string& Date)
{
    if (GetFileAttributesA(LinkFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    int64_t Time;
    GetFileDate(LinkFile.c_str(), fdLastWrite, Time, Date);
    return true;
}

bool TRealSettings::CreateLink(const TLinkFields& Link, const std::string& LinkFile)
{
    return CreateShellLink(Link.Target.c_str(), Link.Arguments.c_str(), Link.WorkDir.c_str(),
                           Link.IconFile.c_str(), Link.IconIndex, LinkFile.c_str()) == 0;
}

}   // namespace

TSettingsDoor& RealSettingsDoor()
{
    static TRealSettings Door;
    return Door;
}

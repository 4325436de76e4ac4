#include "Setup/driver/WinText.h"

#include <windows.h>

#include <cstring>

#include "Setup/driver/InstallText.h"

const size_t ProfileLimit = 1u << 24;

// Reads with a growing buffer until the profile function no longer reports a cut: it returns
// capacity - 1 for a cut value and capacity - 2 for a cut key list.
static std::vector<char> ReadWhole(const char* Section, const char* Key, const char* Default,
                                   const std::string& File, DWORD& Got)
{
    std::vector<char> Buf(2601);
    DWORD CutAt = Key != nullptr ? 1 : 2;
    for (;;) {
        Got = GetPrivateProfileStringA(Section, Key, Default, Buf.data(), DWORD(Buf.size()),
                                       File.c_str());
        if (Got + CutAt < Buf.size() || Buf.size() >= ProfileLimit)
            return Buf;
        Buf.resize(Buf.size() * 4);
    }
}

std::string ReadProfile(const char* Section, const char* Key, const std::string& File,
                        const char* Default)
{
    DWORD Got;
    std::vector<char> Buf = ReadWhole(Section, Key, Default, File, Got);
    return std::string(Buf.data(), Got);
}

std::vector<std::string> ReadKeyList(const char* Section, const std::string& File)
{
    DWORD Got;
    std::vector<char> Buf = ReadWhole(Section, nullptr, "", File, Got);
    std::vector<std::string> Keys;
    for (size_t At = 0; At < Got && Buf[At] != 0; At += Keys.back().size() + 1)
        Keys.emplace_back(&Buf[At]);
    return Keys;
}

bool DirectoryExists(const std::string& Path)
{
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadEnv(const char* Name, std::string& Value)
{
    if (std::strlen(Name) >= SystemTextSize)
        return false;   // no variable has such a name; the system would report a bad parameter
    std::vector<char> Buf(261);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD Got = GetEnvironmentVariableA(Name, Buf.data(), DWORD(Buf.size()));
        if (Got == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                return false;
            Value.clear();
            return true;
        }
        if (Got < Buf.size()) {
            Value.assign(Buf.data(), Got);
            return true;
        }
        Buf.resize(Got);   // Got is the size it needs
    }
}

static bool SystemTakes(const std::string& Text) { return Text.size() < SystemTextSize; }

bool SetEnv(const std::string& Name, const std::string& Value)
{
    if (!SystemTakes(Name) || !SystemTakes(Value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return SetEnvironmentVariableA(Name.c_str(), Value.c_str());
}

bool WriteProfile(const char* Section, const std::string& Key, const std::string& Value,
                  const std::string& File)
{
    if (!SystemTakes(Section) || !SystemTakes(Key) || !SystemTakes(Value) || !SystemTakes(File)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return WritePrivateProfileStringA(Section, Key.c_str(), Value.c_str(), File.c_str());
}

bool SystemErrorText(DWORD Code, size_t Width, std::string& Text)
{
    char* Message = nullptr;
    DWORD Length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, Code, 0, reinterpret_cast<char*>(&Message), 0, nullptr);
    std::string Raw(Message != nullptr ? Message : "", Message != nullptr ? Length : 0);
    if (Message != nullptr)
        LocalFree(Message);
    Text = Width == 0 ? OneLine(Raw) : BrokenLines(Raw, Width);
    return Length != 0 && Message != nullptr;
}

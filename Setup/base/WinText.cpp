#include "Setup/base/WinText.h"

#include <windows.h>

#include <cstring>
#include <unordered_map>

#include "Rules/InstallText.h"
#include "Rules/VarExpandText.h"

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

static std::string Trimmed(const std::string& Text)
{
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return std::string();
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

// The value as the profile functions hand out one key's: a value that starts with a quote and
// ends with the same one loses both.
static std::string Unquoted(const std::string& Value)
{
    if (Value.size() >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value.back() == Value[0])
        return Value.substr(1, Value.size() - 2);
    return Value;
}

// Names compare without regard to case; false for a name with letters beyond ASCII, whose case
// systems fold differently: such a key is read on its own.
static bool FoldedKey(std::string Key, std::string& Folded)
{
    for (char& C : Key) {
        if (static_cast<unsigned char>(C) >= 0x80)
            return false;
        if (C >= 'a' && C <= 'z')
            C = char(C - 'a' + 'A');
    }
    Folded = Key;
    return true;
}

std::vector<TProfileLine> ReadSection(const char* Section, const std::string& File)
{
    // GetPrivateProfileSectionA returns capacity - 2 when the section does not fit.
    std::vector<char> Buf(1u << 16);
    DWORD Got;
    for (;;) {
        Got = GetPrivateProfileSectionA(Section, Buf.data(), DWORD(Buf.size()), File.c_str());
        if (Got + 2 < Buf.size() || Buf.size() >= ProfileLimit)
            break;
        Buf.resize(Buf.size() * 4);
    }
    // The value of each name's first line. Which lines are keys at all (a line without "=", one
    // without a name) is the key list's to say, as systems differ there.
    std::unordered_map<std::string, std::string> Values;
    for (size_t At = 0; At < Got && Buf[At] != 0;) {
        std::string Entry(&Buf[At]);
        At += Entry.size() + 1;
        size_t Equals = Entry.find('=');
        std::string Folded;
        // Some systems hand the lines out as the file has them: blanks around name and value
        // are not part of either.
        if (FoldedKey(Trimmed(Entry.substr(0, Equals)), Folded))
            Values.emplace(Folded, Equals == std::string::npos
                                       ? ""
                                       : Unquoted(Trimmed(Entry.substr(Equals + 1))));
    }
    std::vector<TProfileLine> Lines;
    for (const std::string& Key : ReadKeyList(Section, File)) {
        std::string Folded;
        auto Found = FoldedKey(Key, Folded) ? Values.find(Folded) : Values.end();
        // A name the section's text shows otherwise is read on its own.
        Lines.push_back({Key, Found != Values.end() ? Found->second
                                                    : ReadProfile(Section, Key.c_str(), File)});
    }
    return Lines;
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

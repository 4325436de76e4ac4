#include "Setup/base/WinText.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/MessageText.h"
#include "Rules/PathParts.h"
#include "Rules/ProfileText.h"
#include "Rules/VarExpandText.h"
#include "Setup/base/FileDoor.h"

const size_t ProfileLimit = 1u << 24;

// The files that the profile functions have read or written in this run, full and folded: the
// system may keep its copy of each and take it for the file again while the file's last-write
// time stays the same, also after the file was replaced by another of the same time.
static std::set<std::string> ProfileFiles;
static std::string LastProfileFile;   // most calls name the file of the call before

void NoteProfileFile(const std::string& File)
{
    if (File == LastProfileFile)
        return;
    LastProfileFile = File;
    ProfileFiles.insert(FoldedText(FullPath(File)));
}

void ProfileFileReplaced(const std::string& Path)
{
    if (ProfileFiles.empty() || ProfileFiles.erase(FoldedText(FullPath(Path))) == 0)
        return;
    LastProfileFile.clear();
    ReleaseProfile(Path);
}

// Reads with a growing buffer until the profile function no longer reports a cut: it returns
// capacity - 1 for a cut value and capacity - 2 for a cut key list.
static std::vector<char> ReadWhole(const char* Section, const char* Key, const char* Default,
                                   const std::string& File, DWORD& Got, size_t Start = TextBufSize)
{
    std::vector<char> Buf(Start);
    DWORD CutAt = Key != nullptr ? 1 : 2;
    NoteProfileFile(File);
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

// Names compare without regard to case; false for a name with letters beyond ASCII, whose case
// systems fold differently: such a key is read on its own.
static bool FoldedKey(std::string Key, std::string& Folded)
{
    for (char C : Key)
        if (static_cast<unsigned char>(C) >= 0x80)
            return false;
    Folded = FoldedText(std::move(Key));
    return true;
}

typedef std::vector<std::pair<std::string, std::string>> TFoldedValues;   // name, first value

// The lines of the section's text: each folded name with the value of its first line, sorted by
// name. TextSize gets the text's length. Thousands of keys make every copy of the section count:
// the names and values are kept once, in a sorted table instead of a hash map, and the text goes
// as soon as it has been read.
static TFoldedValues SectionValues(const char* Section, const std::string& File, DWORD& TextSize)
{
    // GetPrivateProfileSectionA returns capacity - 2 when the section does not fit.
    std::vector<char> Buf(1u << 16);
    NoteProfileFile(File);
    for (;;) {
        TextSize = GetPrivateProfileSectionA(Section, Buf.data(), DWORD(Buf.size()), File.c_str());
        if (TextSize + 2 < Buf.size() || Buf.size() >= ProfileLimit)
            break;
        Buf.resize(Buf.size() * 2);
    }
    TFoldedValues Values;
    Values.reserve(size_t(std::count(Buf.begin(), Buf.begin() + TextSize, '\0')));
    // The value of each name's first line. Which lines are keys at all (a line without "=", one
    // without a name) is the key list's to say, as systems differ there.
    for (size_t At = 0; At < TextSize && Buf[At] != 0;) {
        const char* Entry = &Buf[At];
        size_t Length = std::strlen(Entry);
        At += Length + 1;
        const char* Equals = static_cast<const char*>(std::memchr(Entry, '=', Length));
        std::string Folded;
        // Some systems hand the lines out as the file has them: blanks around name and value
        // are not part of either.
        std::string Key = TrimmedBlanks(std::string(Entry, Equals ? Equals : Entry + Length));
        if (FoldedKey(Key, Folded))
            Values.emplace_back(
                std::move(Folded),
                Equals ? UnquotedValue(TrimmedBlanks(std::string(Equals + 1, Entry + Length)))
                       : "");
    }
    // Stable: among lines of one name the first stays first, and the search finds it.
    std::stable_sort(Values.begin(), Values.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    return Values;
}

std::vector<TProfileLine> ReadSection(const char* Section, const std::string& File, bool* Listless)
{
    DWORD TextSize;
    TFoldedValues Values = SectionValues(Section, File, TextSize);
    if (Listless != nullptr)   // the empty name sorts first
        *Listless = !Values.empty() && Values.front().first.empty();

    // The key list is never longer than the section's text: one read.
    DWORD Got;
    std::vector<char> Keys = ReadWhole(Section, nullptr, "", File, Got, TextSize + 2);
    std::vector<TProfileLine> Lines;
    Lines.reserve(size_t(std::count(Keys.begin(), Keys.begin() + Got, '\0')));
    for (size_t At = 0; At < Got && Keys[At] != 0;) {
        std::string Key(&Keys[At]);
        At += Key.size() + 1;
        std::string Folded;
        auto Found = Values.end();
        if (FoldedKey(Key, Folded)) {
            Found = std::lower_bound(
                Values.begin(), Values.end(), Folded,
                [](const auto& Entry, const std::string& Name) { return Entry.first < Name; });
            if (Found != Values.end() && Found->first != Folded)
                Found = Values.end();
        }
        // A name the section's text shows otherwise is read on its own.
        std::string Value =
            Found != Values.end() ? Found->second : ReadProfile(Section, Key.c_str(), File);
        Lines.push_back({std::move(Key), std::move(Value)});
    }
    return Lines;
}

void ReleaseProfile(const std::string& File)
{
    // The documented way to flush: all three names null.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, File.c_str());
}

bool DirectoryExists(const std::string& Path)
{
    return Files().IsFolder(Path);
}

bool ReadEnv(const char* Name, std::string& Value)
{
    if (std::strlen(Name) >= SystemTextSize)
        return false;   // no variable has such a name; the system would report a bad parameter
    std::vector<char> Buf(PathBufSize);
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

std::string FullPath(const std::string& Path)
{
    std::vector<char> Full(MAX_PATH);
    for (int Tries = 0; Tries < 3; ++Tries) {
        DWORD Got = GetFullPathNameA(Path.c_str(), DWORD(Full.size()), Full.data(), nullptr);
        if (Got == 0)
            return Path;
        if (Got < Full.size())
            return std::string(Full.data(), Got);
        Full.resize(Got);   // Got is the size it needs; the current directory may change meanwhile
    }
    return Path;
}

std::string AbsolutePath(const std::string& Path)
{
    return Path.empty() || IsFullPath(Path) ? Path : FullPath(Path);
}

static bool SystemTakes(const std::string& Text)
{
    return Text.size() < SystemTextSize;
}

bool SetEnv(const std::string& Name, const std::string& Value)
{
    if (!SystemTakes(Name) || !SystemTakes(Value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return SetEnvironmentVariableA(Name.c_str(), Value.c_str());
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

std::string UpperCase(std::string Text)
{
    if (!Text.empty())
        CharUpperBuffA(&Text[0], DWORD(Text.size()));
    return Text;
}

// The door to the machine's settings: registry keys and values, entries of INI files, shell
// links. Every change of a setting passes here, and so does every look at a setting that decides
// the log's word for a change. A run has the real door; a plan has one that keeps books of what
// the run would have set by then and asks the system whether the run would have had the right.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a key holds under a value's name, as far as the word for setting it needs.
struct TStoredValue {
    bool Found = false;   // the key has a value of that name
    DWORD Type = REG_NONE;
    bool Whole = false;   // Data holds all of it: it was shorter than the limit asked for
    std::string Data;
};

// One entry of an INI file, written as the system's profile functions write it.
struct TIniEntry {
    std::string Section, Key, Value, File;
    bool Named;   // a line of the script's [IniWrite]: the log has no line for it, a plan names it
};

// One key of a section with the value that the profile functions give for it.
struct TProfileLine {
    std::string Key;
    std::string Value;
};

// The fields a shell link takes.
struct TLinkFields {
    std::string Target, Arguments, WorkDir, IconFile;
    int32_t IconIndex;
};

class TSettingsDoor {
public:
    virtual ~TSettingsDoor() = default;
    // Makes Root\SubKey the open key for the lines after, when it is there (a key held from the
    // line before is not opened again); false when it is not there or can't be opened.
    virtual bool OpenKey(HKEY Root, const std::string& SubKey) = 0;
    // Creates Root\SubKey and makes it the open key; false when that is refused.
    virtual bool CreateKey(HKEY Root, const std::string& SubKey) = 0;
    // Lets go of the open key: the lines that wrote into it have ended.
    virtual void CloseKey() = 0;
    // The value Name of the open key; Data only when it is shorter than Limit bytes.
    virtual TStoredValue ReadValue(const std::string& Name, size_t Limit) = 0;
    // Sets the value Name of the open key: ERROR_SUCCESS, or the code of the refusal.
    virtual LONG SetValue(const std::string& Name, DWORD Type, const std::string& Data) = 0;
    // The entry as the run finds it now, "" when there is none.
    virtual std::string ReadEntry(const char* Section, const char* Key,
                                  const std::string& File) = 0;
    // The section's keys in the order the file lists them, each with its value, as the run finds
    // them now: read whole (ReadSection), since a script's long section read key by key costs
    // minutes.
    virtual std::vector<TProfileLine> ReadEntries(const char* Section, const std::string& File) = 0;
    // Writes the entry; false (GetLastError tells why) when it is not written, never cut.
    virtual bool WriteEntry(const TIniEntry& Entry) = 0;
    // Whether a file is at LinkFile; Date its last write, as the log words a file's date.
    virtual bool LinkDate(const std::string& LinkFile, std::string& Date) = 0;
    // Writes the link LinkFile; false when the link takes not all fields or can't be written.
    virtual bool CreateLink(const TLinkFields& Link, const std::string& LinkFile) = 0;
};

// The run's door to the settings: the real one until ChooseSettingsDoor says otherwise.
TSettingsDoor& Settings();

// Chooses the run's door to the settings: the plan's when Plan, else the real one.
void ChooseSettingsDoor(bool Plan);

// Puts Door in place of the run's door until the next choice: tests run the sections on a
// machine of their own.
void UseSettingsDoor(TSettingsDoor& Door);

// The two doors that a run chooses from, each kept in a file of its own.
TSettingsDoor& RealSettingsDoor();
TSettingsDoor& PlanSettingsDoor();
TSettingsDoor& JournalSettingsDoor();   // the real one, with each change journaled first

// The key nearest above Root\SubKey that is there, opened to be given subkeys, and in Cut where
// the rest of SubKey starts, the part to create below it: ERROR_SUCCESS, or the code that
// refuses it. A new key is made below the nearest key there, with that key's right to take one,
// whatever the root's handle allows; and so a plan asks the same question as the run.
LONG OpenKeyParent(HKEY Root, const std::string& SubKey, HKEY& Parent, size_t& Cut);

// A value whose type and bytes are known (to a plan's books, say), as ReadValue gives it.
TStoredValue KnownValue(DWORD Type, const std::string& Data, size_t Limit);

// The value Name of the open Key as the real door reads it (the plan too, for a value that it
// has not set); nothing found when Key is null.
TStoredValue ReadStoredValue(HKEY Key, const std::string& Name, size_t Limit);

// Whether the system's profile functions take the entry whole: each text below the limit of the
// system's texts. A longer one would be stored cut.
bool EntryFits(const TIniEntry& Entry);

// Writes one profile value of our own records (the installed INF) through the run's door; false
// (last error ERROR_INVALID_PARAMETER), and nothing written, when a text is too long for the
// system, so that a value is never stored cut.
bool WriteProfile(const char* Section, const std::string& Key, const std::string& Value,
                  const std::string& File);

// Text rules of the [Files] section and of the per-file copy decision that need no system call:
// taking a key apart, ordering versions, the decision table and the texts shown and logged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A [Files] key taken apart.
struct TFilesKey {
    std::string SubDir;    // the part before the last backslash; "" when there is none before it
    std::string Pattern;   // the part after the last backslash: a name, maybe with * and ?
    bool Recursive;        // the key ended in "/s" (in any case), which the pattern loses
};

// Splits a key such as bin\*.dll/s. Nothing but the "/s" is removed: a blank before it stays
// part of the pattern.
TFilesKey SplitFilesKey(const std::string& Key);

// A pattern that names one entry as it is spelled: none of the characters that a directory
// search takes for wildcards (* ? and the DOS forms < > "), and no trailing dot or blank, which
// the system drops before it searches.
bool IsLiteralName(const std::string& Pattern);

// The entries of one folder as a directory search listed them, to look up many single names
// without a search each. Letter case counts only outside A-Z, so that the index never finds a
// name that the file system would not; a name it does not find may still exist (short names,
// devices, other alphabets) and is asked of the system.
class TNameIndex {
public:
    struct TEntry {
        std::string Name;      // as the search gave it
        uint32_t Attributes;   // the search's file attributes
        uint64_t Size;         // the file's size in bytes, as the search gave it
    };
    void Add(const std::string& Name, uint32_t Attributes, uint64_t Size = 0);
    void Seal();   // after the last Add, before the first Find
    // The entry called Name; nullptr when the index does not have it.
    const TEntry* Find(const std::string& Name) const;
    size_t Size() const { return Entries.size(); }

private:
    std::vector<TEntry> Entries;
};

// A file being installed is written under a temporary name in its destination folder first:
// TempPrefix, eight hexadecimal digits made of the process id and a count, TempSuffix. A run that
// was killed leaves such files behind; the next run into that folder removes them, and only them:
// a user's "~setupkv notes.tmp" is no leftover. Earlier versions wrote sixteen digits (the
// process id, then the count), which are leftovers of ours as well.
const char* const TempPrefix = "~setupkv";
const char* const TempSuffix = ".tmp";
const char* const TempPattern = "~setupkv*.tmp";   // what a directory search for them asks
std::string TempFileName(uint32_t ProcessId, uint32_t Count);
// Exactly such a name, of either length; letter case ignored, as the file system does.
bool IsTempFileName(const std::string& Name);

// The name that a file of ours gets when Name is taken by a file that is not ours: Name with
// "-" and the process id (and "-" and Try after the first try) before its extension, as
// "LOGFILKV-1234.LOG", "LOGFILKV-1234-2.LOG".
std::string NumberedName(const std::string& Name, uint32_t ProcessId, uint32_t Try);

// Name with Insert before its extension, which is what follows the name's last dot; a name
// without one, or whose only dot comes first (".profile"), gets Insert at its end.
std::string BeforeExtension(const std::string& Name, const std::string& Insert);

// A name that Windows takes for a device in every folder (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// COM and LPT with a superscript 1, 2 or 3 in ANSI or UTF-8),
// also with an extension or trailing blanks and dots ("nul.txt", "COM1 ."): opening it opens the
// device, never a file.
bool IsDeviceName(const std::string& Name);

// The log line of a copy that failed: the words of its message box and the system's reason.
std::string CopyFailedLine(const std::string& A, const std::string& B, unsigned long Code,
                           const std::string& Reason);

// How many first bytes of a file tell whether it may hold a version resource.
const int VersionHeadSize = 2;

// False when the first bytes of a file (Size of them, at most VersionHeadSize) rule out a
// version resource: the version library finds one only in an executable image, which starts
// with "MZ", or in a file compressed by COMPRESS.EXE ("SZDD...") that unpacks into one.
bool MayHoldVersion(const char* Head, size_t Size);

// A product version, part by part.
struct TVersionNumbers {
    uint16_t Major;
    uint16_t Minor;
    uint16_t Release;
    uint16_t Build;
};

// -1, 0 or 1 as A is older than, equal to or newer than B, comparing Major, then Minor, then
// Release, then Build. Every part counts in full, so 1.0.1000.0 is older than 1.1.0.0.
int CompareVersions(const TVersionNumbers& A, const TVersionNumbers& B);

// What the copy decision knows of one file: the new one on the medium, or the one on the system.
struct TFileFacts {
    int64_t Value;             // version value: -1 without version information (or file), 0 for
                               // version 0.0.0.0, which counts as none; above 0 otherwise
    TVersionNumbers Version;   // the numbers behind Value, when Value is above 0
    std::string VersionText;   // "1.02.0000.0015"; "" when Value is -1
    std::string Translation;   // the translation read right after the version
    std::string DateText;      // the last-write date; "" when the file can't be opened
    int64_t WriteTime;         // the exact last-write time behind DateText
};

// Why the system's file is kept unless the user says otherwise.
enum TConflict {
    cfNone,      // the new file is as new or newer, or nothing can be compared: copy
    cfVersion,   // the system's file has the higher version
    cfDate,      // neither has a version and the system's file was written later
};

// The decision before the user is asked, with the labels of both files as the texts show them.
struct TCopyPlan {
    TConflict Conflict;
    std::string LabelA;   // new file: its version text, or its date when it has no version
    std::string LangA;    // its translation when it has a version, else ""
    std::string LabelB;   // file on the system, labelled the same way as the new file
    std::string LangB;
};

// The decision table: versions when the new file has one, else last-write times; a system file
// that is missing (or has no version when the new file has one) is never a conflict.
TCopyPlan PlanCopy(const TFileFacts& New, const TFileFacts& Old);

// The question of the file-conflict dialog about the system's file B.
std::string ConflictMessage(const std::string& B, const TCopyPlan& Plan);

// The new file carries the same label and language as the system's: copying it refreshes.
bool IsRefresh(const TCopyPlan& Plan);

// The log line of a file that was copied (Copied) or that stayed.
std::string OutcomeLine(const std::string& B, const TCopyPlan& Plan, bool Copied);

// The log line of a backup of B into Dir (as the user wrote it), done or failed.
std::string BackupLine(const std::string& B, const TCopyPlan& Plan, const std::string& Dir,
                       bool Done);

// Where B's backup goes: Dir, a backslash unless it ends in one, and B's file name.
std::string BackupTarget(const std::string& Dir, const std::string& B);

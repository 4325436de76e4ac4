// The journal of a run that undoes itself when it fails or is cancelled: how its records are
// written and read back, the names of what it keeps, and the words its undoing logs. Text rules
// only, without the system.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// What one record of the journal says was changed; written before the change is made.
enum TJournalKind : char {
    jkFolder = 'D',       // Path: a folder made
    jkNewFile = 'N',      // Path: a file made where none was
    jkKept = 'K',         // Path, Kept: the file at Path moved aside to Kept, its name taken next
    jkAttributes = 'A',   // Path, old attributes (hex): the attributes set anew
    jkWaiting = 'W',      // To, Waiting: Waiting written to replace To at the next restart
    jkWithdrawn = 'P',    // To, Waiting: an earlier run's replacement of To at the next restart
                          // taken back (its waiting file is kept aside by the next record)
    jkKey = 'k',          // Root, SubKey, Top: the key made, Top the first level that was missing
    jkValue = 'v',        // Root, SubKey, Name, Found (0/1), Type (hex), Data: a value set anew
    jkKeep = 'C',         // "": the run ended kept; what remains is to drop its kept files
    jkLog = 'L',          // Path: the run's log, which a folder that goes can't keep
    jkVoid = 'X',         // "": the change that the record before names was not made after all
};

// One record: its kind and fields, any text in each (a value's bytes too).
struct TJournalRecord {
    TJournalKind Kind;
    std::vector<std::string> Fields;
};

// The record as one line of the journal, CR LF at its end. The fields are separated by tabs;
// backslash, tab, CR, LF and NUL inside a field are written as \\, \t, \r, \n and \0.
std::string JournalLine(TJournalKind Kind, std::initializer_list<std::string_view> Fields);

// The record that Line (without its CR LF) holds; false for a line that is none (a kind that
// isn't known, a field count that doesn't fit the kind, a bad escape): a run killed while it
// wrote its last record leaves such a line.
bool ParseJournalLine(const std::string& Line, TJournalRecord& Record);

// Every whole record of the journal's Text in order; a last line without its CR LF is left out.
std::vector<TJournalRecord> JournalRecords(const std::string& Text);

// The journal's first line: which program wrote it, so that another file is never read as one.
const char* const JournalHead = "SETUP.EXE journal 1";

// Folders that hold a run's journal, in the user's temporary folder: "~setupkvj" + 16 hex digits.
// Only names of exactly this form are ever taken for a killed run's journal.
const char* const JournalDirPrefix = "~setupkvj";
const size_t JournalDirNameSize = 26;   // the name with its NUL
void JournalDirName(uint64_t Random, char (&Name)[JournalDirNameSize]);
bool IsJournalDirName(const char* Name);
const char* const JournalFileName = "journal.txt";

// The name a replaced file is kept under beside it until the run ends: "~setupkv" + eight hex
// digits made of the process id and a count + ".kept". A temporary file's name it is not: the
// removal of killed runs' temporary files leaves it for the undoing.
std::string KeptFileName(uint32_t ProcessId, uint32_t Count);
bool IsKeptFileName(const std::string& Name);

// The log's words for undoing. Every line of the undoing starts with RollbackPrefix.
const char* const RollbackPrefix = "Rollback: ";
std::string RollbackStartLine(size_t Changes);       // "Rollback: undoing 12 changes"
std::string RemovedLine(const std::string& What);    // "Rollback: removed X"
std::string RestoredLine(const std::string& What);   // "Rollback: restored X"
std::string WithdrawnLine(const std::string& To);    // the restart's replacement taken back
std::string StaysLine(const std::string& What, const std::string& Why);   // "... stays: why"
std::string NotUndoneLine(const std::string& What, unsigned long Code, const std::string& Reason);
// The undoing's last line and the report's added sentence.
std::string RollbackEndLine(int NotUndone);
std::string RollbackReport(int NotUndone);
// A run that found a killed run's journal undoes it first and says so.
std::string KilledRunLine(const std::string& JournalPath);
// The log made in a folder that goes moves into the temporary folder.
std::string LogMovedLine(const std::string& To);

// Hexadecimal numbers of the records (attributes, types), and back; false for any other text.
std::string HexNumber(unsigned long Value);
bool ParseHexNumber(const std::string& Text, unsigned long& Value);

// The words for a registry value in those lines.
std::string ValueWhat(const std::string& Key, const std::string& Name);   // "KEY [Name]"

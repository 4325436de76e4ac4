// A run that undoes itself: with rollback on (the script's [Options] Rollback=Yes, or /rollback),
// the run's doors write each change to a journal before they make it, and keep aside what a
// change replaces (a file by a rename on its own volume, a value or entry in the record). A run
// that ends failed or cancelled undoes every change in reverse order; one that ends otherwise
// keeps them and drops what it kept. A run that was killed leaves its journal behind, and the
// next run undoes it before anything else.
//
// The journal lies in a folder of the run's own in the user's temporary folder, made so that only
// the run's own rights reach it, and held open while the run lives: no other user can write a
// record that the undoing would follow, and no live run's journal is taken for a killed one's.
#pragma once
#include <windows.h>

#include <string>

#include "Rules/RollbackText.h"

// Whether the script or the command line asks for rollback (a plan's too, which has no journal).
extern bool RollbackWanted;

// Whether this run journals its changes.
bool Journaling();

// Turns the journal on, which the journal's doors write (ChooseJournalDoors puts them in place);
// the journal itself is made with the first change. Never in a plan: a plan changes nothing.
void StartJournal();

// Writes Record to the journal before the change it names is made; Durable: on the disk before
// the change too (for a change that destroys something, so that a power cut can't lose the way
// back). False, with the system's code, when it can't be written: the change is not made then.
bool Note(TJournalKind Kind, std::initializer_list<std::string_view> Fields, bool Durable);

// The file at Path is about to be written whole (installed, a link saved): BeforeWhole notes it
// as new, or moves the file there aside under a kept name beside it; AfterWhole puts the kept file
// back and voids the record when it was not written after all (the system's code stays). A file
// the write leaves alone (read-only, a folder) gets no record. False when the record or the move
// failed: nothing may be written then.
struct TReplacing {
    bool Noted = false;
    std::string Kept;   // empty for a new file
};
// Found: the attributes of what is at Path when the caller just looked.
bool BeforeWhole(const std::string& Path, TReplacing& Replacing,
                 DWORD Found = INVALID_FILE_ATTRIBUTES - 1);
void AfterWhole(const std::string& Path, const TReplacing& Replacing, bool Written);

// The file at Path is about to be changed in place (an INI entry written): the first time in the
// run, it is noted as new, or moved aside and a copy of it takes its name, which the changes go
// into. False when that failed: nothing may be changed then.
bool BeforeInPlace(const std::string& Path);

// Whether the file at Path was taken in place (BeforeInPlace) in this run: its later changes need
// no records of their own.
bool MadeWhole(const std::string& Path);

// Notes that the change the record before names was not made after all.
void VoidLast();

// How the run ends for the journal: undone (Undo: failed or cancelled), which logs each undoing,
// or kept, which drops what the run kept aside. The journal and its folder go either way. How
// many changes could not be undone.
int EndJournal(bool Undo);

// Undoes the journals of killed runs of this user, and logs it; false when there were none. Before
// the run changes anything.
bool UndoKilledRuns();

// The undoing of one record, by whoever made the change: false when the record is none of theirs.
// Each logs its own line (RemovedLine, RestoredLine, ...) and counts what it could not undo.
bool UndoFileRecord(const TJournalRecord& Record, int& NotUndone);
bool UndoSettingsRecord(const TJournalRecord& Record, int& NotUndone);
// What a kept run drops of one record: a kept copy goes.
void DropKept(const TJournalRecord& Record);

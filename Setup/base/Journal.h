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

// Whether this run journals its changes.
bool Journaling();

// Turns the journal on: the doors are the journal's from now on (the journal itself is made with
// the first change). Nothing in a plan: a plan changes nothing to undo.
void StartJournal();

// Writes Record to the journal before the change it names is made; Durable: on the disk before
// the change too (for a change that destroys something, so that a power cut can't lose the way
// back). False, with the system's code, when it can't be written: the change is not made then.
bool Note(const TJournalRecord& Record, bool Durable);

// Moves the file at Path aside, beside it under a kept name of the run's own, and notes that
// first; Kept gets that name. False when nothing is at Path (last error ERROR_FILE_NOT_FOUND) or
// it can't be moved.
bool KeepAside(const std::string& Path, std::string& Kept);

// Whether the file at Path was made or replaced whole by this run: its later changes (INI entries
// written into it) need no records of their own.
bool MadeWhole(const std::string& Path);
void NoteMadeWhole(const std::string& Path);

// How the run ends for the journal: undone (failed or cancelled) or kept. Undo logs each undoing
// and returns how many changes could not be undone; Keep drops what the run kept aside. Both
// remove the journal. Nothing when the run has none.
int UndoRun();
void KeepRun();

// Undoes the journals of killed runs of this user, and logs it. Before the run changes anything.
void UndoKilledRuns();

// The undoing of one record, by whoever made the change: false when the record is none of theirs.
// Each logs its own line (RemovedLine, RestoredLine, ...) and counts what it could not undo.
bool UndoFileRecord(const TJournalRecord& Record, int& NotUndone);
bool UndoSettingsRecord(const TJournalRecord& Record, int& NotUndone);
// What a kept run drops of one record: a kept copy goes.
void DropKept(const TJournalRecord& Record);

// Every change to the machine goes through a door, and so does every look at the machine that
// decides on a change. A run has the real doors; a plan (/plan=FILE) has doors that change
// nothing: they keep books of what the run would have made by then and ask the system whether the
// run would have had the right. The run chooses once, before its first step; the decisions behind
// the doors never ask which they have.
#pragma once

// Chooses the run's doors: the plan's when Plan, else the real ones (which a run has from its
// start).
void ChooseDoors(bool Plan);

// Puts the journal's doors around the real ones for the rest of the run: each change is noted
// before it is made, so that a failed run can be undone (Journal.h).
void ChooseJournalDoors();

// The progress window: which step the run is at, the file at hand and a bar, with a Cancel
// button. It shows only once a step has taken longer than a moment, never in a quiet run or a
// plan, and never takes the focus. The copy loops call it for every file, and the copy of a
// large file between its chunks: it looks at the clock only every few files or megabytes and
// paints at most ten times a second, so that it costs them nothing.
#pragma once
#include <cstdint>

// The steps, as the window names them.
extern const char* const StepChecking;
extern const char* const StepUnpacking;
extern const char* const StepCopying;
extern const char* const StepRegistry;
extern const char* const StepStartMenu;

// A new step begins: its name, and the units (bytes, entries) of a full bar; 0: the bar stays
// empty.
void ProgressStep(const char* Step, uint64_t Total);

// No step is under way until the next ProgressStep: the window, if shown, goes away meanwhile,
// so that it tells nothing stale while the run asks its first questions.
void ProgressIdle();

// The step comes to the file Name of Units units; the file before it is done. Where the user
// has cancelled in the window, asks first whether to cancel the installation, and ends the run
// then. While a file is copied, the bar goes on by its bytes, and the question comes between two
// of its chunks: a Yes there stops the copy, which fails with ERROR_CANCELLED and leaves the
// destination as it was, and the run ends at the failure's report or the next file.
void ProgressItem(const char* Name, uint64_t Units);

// Whether the window may show at all: the run's side chooses, once.
void ProgressMayShow(bool May);

// Whether the window may show in this run: only then is a step's total worth counting.
bool ProgressWanted();

// Where the user has said Yes to the question during a copy: ends the run as cancelled.
void ProgressEndIfCancelled();

// A question is about to be shown (Asking) or has been answered. The window then shows where the
// run stands, and takes no click until the answer: the question is the user's business.
void ProgressQuestion(bool Asking);

// The run ends: the window goes before the report.
void ProgressClose();

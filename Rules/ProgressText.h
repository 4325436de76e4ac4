// When the progress window looks at the clock, when it shows and repaints, and where its bar
// stands: the rules that keep it from slowing the copies, apart from the window itself.
#pragma once
#include <cstdint>

const uint32_t ProgressLookItems = 8;          // files between two looks at the clock
const uint64_t ProgressLookBytes = 4u << 20;   // or bytes, for a medium of few large files
const uint32_t ProgressDelayMs = 500;          // a step that takes longer gets the window
const uint32_t ProgressPaintMs = 100;          // at most ten repaints a second
const int ProgressBarRange = 1000;             // the bar's positions, 0 to this

// Whether Items files or Bytes bytes since the last look call for a look at the clock.
bool ProgressLookDue(uint32_t Items, uint64_t Bytes);

enum TProgressDue {
    pdNothing,   // too early to show, or painted a moment ago
    pdShow,      // the step has taken longer than the delay: show the window
    pdPaint,     // shown: time to paint and to take the user's clicks
};

// What a look at the clock at Now calls for; tick counts wrap, so only differences count.
TProgressDue ProgressDue(bool Shown, uint32_t Now, uint32_t StepStart, uint32_t LastPaint,
                         uint32_t DelayMs);

// The bar's position for Done of Total (0 to ProgressBarRange); 0 without a total.
int ProgressBarPos(uint64_t Done, uint64_t Total);

// What the window's Cancel asks; with rollback on (Rollback), it says that nothing stays changed.
const char* CancelQuestion(bool Rollback);

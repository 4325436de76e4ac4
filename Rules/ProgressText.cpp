#include "Rules/ProgressText.h"

bool ProgressLookDue(uint32_t Items, uint64_t Bytes)
{
    return Items >= ProgressLookItems || Bytes >= ProgressLookBytes;
}

TProgressDue ProgressDue(bool Shown, uint32_t Now, uint32_t StepStart, uint32_t LastPaint,
                         uint32_t DelayMs)
{
    if (!Shown)
        return Now - StepStart >= DelayMs ? pdShow : pdNothing;
    return Now - LastPaint >= ProgressPaintMs ? pdPaint : pdNothing;
}

int ProgressBarPos(uint64_t Done, uint64_t Total)
{
    if (Total == 0)
        return 0;
    if (Done >= Total)
        return ProgressBarRange;
    // Totals too large for the product are divided first; no medium comes near them.
    const uint64_t Range = ProgressBarRange;
    uint64_t Pos = Total <= UINT64_MAX / Range ? Done * Range / Total : Done / (Total / Range);
    return int(Pos < Range ? Pos : Range);
}

const char* CancelQuestion(bool Rollback)
{
    return Rollback ? "Cancel the installation?\nEverything it changed so far will be undone."
                    : "Cancel the installation?";
}

// Song sequencing: which order and row come next after a row was read.
#include "engine/sound/module_player.h"

bool ModulePlayer::OrderPlayable(int order) const
{
    if (order < 0 || order >= orderCount)
        return false;
    int pattern = orders[order];
    // 254 and 255 are skipped, and so is an entry naming a pattern the module lacks.
    return pattern < 254 && pattern < patternCount && patterns[pattern];
}

bool ModulePlayer::SeekOrder(int order, bool* wrapped)
{
    *wrapped = false;
    if (order < 0)
        order = 0;
    if (order >= orderCount) {
        *wrapped = true;
        order = 0;
    }
    // One pass over the orders at most: a list of nothing but skips ends the song.
    for (int i = 0; i < orderCount; ++i) {
        int candidate = order + i;
        if (candidate >= orderCount) {
            candidate -= orderCount;
            *wrapped = true;
        }
        if (OrderPlayable(candidate)) {
            orderPos = candidate;
            return true;
        }
    }
    return false;
}

void ModulePlayer::EndOfSong()
{
    orderPos = 0;
    row = 0;
    endPending = true;
}

void ModulePlayer::AdvanceSong()
{
    bool wrapped = false;
    if (pendingJumpOrder >= 0 || pendingBreakRow >= 0) {
        int nextRow = pendingBreakRow >= 0 ? pendingBreakRow : 0;
        // A break on its own goes to the next order; with a jump it names the jump's row.
        int target = pendingJumpOrder >= 0 ? pendingJumpOrder : orderPos + 1;
        if (!SeekOrder(target, &wrapped) || (wrapped && !loop)) {
            EndOfSong();
            return;
        }
        // A break row past the end of its target pattern starts that pattern instead.
        row = nextRow < patternRows[orders[orderPos]] ? nextRow : 0;
        return;
    }
    if (pendingLoopJump) {
        row = loopRow;
        return;
    }
    row += 1;
    if (row < patternRows[orders[orderPos]])
        return;
    row = 0;
    if (!SeekOrder(orderPos + 1, &wrapped) || (wrapped && !loop))
        EndOfSong();
}

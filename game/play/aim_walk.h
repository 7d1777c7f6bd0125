#pragma once
// The straight line of a shot as the aim guide walks it: a step at a time from a point until the
// point leaves the screen, something on the board stops it or the steps run out. The board's aim
// guide asks what stands there now; a player that plans a shot may ask what will stand there.
#include "engine/core/fixed.h"

// Walks from `from` by `step`; `stop(point, n)` is asked at every point inside the screen, n
// counting the steps from 1. Returns the last point (the first one outside the screen, the one
// that stopped, or the one the steps ran out at); `steps` receives its step number.
template <class Stop>
FixedVec2 WalkAimLine(FixedVec2 from, const FixedVec2& step, Fixed width, Fixed height, int maxSteps, Stop&& stop,
                      int* steps = nullptr)
{
    FixedVec2 p = from;
    int n = 0;
    while (n < maxSteps) {
        ++n;
        p.AddAssign(step);
        if (p.x.raw < 0 || p.y.raw < 0 || p.x > width || p.y > height)
            break;
        if (stop(p, n))
            break;
    }
    if (steps)
        *steps = n;
    return p;
}

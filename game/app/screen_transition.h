#pragma once
// The application's screen-transition record: what kind of fade-in the next screen gets and the
// state of the quake and slide, filled by the screens that start them and run by GameScreen.
#include <cstdint>

#include "engine/core/fixed.h"

enum TransitionKind : int32_t {
    kTransitionFade = 0,
    kTransitionNone = 1,
    kTransitionQuake = 2,
    kTransitionSlide = 3,
};

// Updates the quake waits before its pieces move.
constexpr int32_t kQuakeCountdown = 22;

struct ScreenTransition {
    int32_t kind = kTransitionFade;
    Fixed16 scale;  // the zoom, 1.0 at rest
    Fixed16 rate;   // the zoom's speed per update
    FixedVec2 start;  // pan position
    FixedVec2 end;    // pan target
    FixedVec2 steps;  // largest pan move per update on each axis
    bool quake = false;  // waiting for the pieces to start moving
    int32_t quakeCountdown = 0;  // updates before the pieces move
    int32_t jitterIndex = 0;  // read position in the stage offsets, 0..20
    Fixed angle;
    Fixed nebulaOffset;
};

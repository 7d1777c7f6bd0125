#pragma once
// What the stylus did, as the window hands it to OnPointer: went down, was lifted, moved while
// down. The fourth is accepted from callers and ignored.

enum PointerPhase {
    kPointerDown = 1,
    kPointerUp = 2,
    kPointerMove = 3,
    kPointerOther = 4,
};

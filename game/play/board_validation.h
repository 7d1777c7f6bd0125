#pragma once
// The board's own rules, checked whole: the tests call these after every step, so a rule that
// breaks is caught on the frame it broke rather than frames later as a wrong picture or score.
// Each answers false at the first broken rule and names it.
class BallChain;
class GameplayScreen;

struct BoardFault {
    const char* rule = nullptr;  // the broken rule; null while none is
    int chain = -1;              // the chain's slot, -1 for the board's own fields
    int ball = -1;               // the ball's index in its chain, -1 for the chain's own fields
};

// A chain alone: count, curve, delays, speed ramp, and each ball in use (colour, growth, flags,
// gaps crossed, pull, serial), ordered from the head back along the track.
bool ValidateChain(const BallChain& chain, BoardFault* fault = nullptr);

// The board as a frame leaves it: every chain, the chain count and colour counts against the
// balls, the chains' tracks, the ball sprites, the one flying shot and the ball growing into place.
bool ValidateBoard(const GameplayScreen& screen, BoardFault* fault = nullptr);

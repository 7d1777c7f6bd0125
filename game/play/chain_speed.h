#pragma once
// The speed each chain is driven towards every frame: the fast roll-in, the steady normal speed,
// the ramp as the tail nears the danger point, the end speed past it, the rush into the hole while
// a life is lost, and the Reverse and Slow Down power-ups.
#include <cstdint>

#include "engine/core/fixed.h"
#include "game/play/difficulty.h"

class BallChain;
class CurvePath;

struct ChainSpeedState {
    const Difficulty* difficulty = nullptr;
    bool lifeLost = false;
    int32_t reverseTimer = 0;
    int32_t slowTimer = 0;
    uint8_t rollInActive[kBoardCurves] = {1, 1};
    int32_t chainsEntered = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    bool chainsOnBoard = false;  // some chain's head has passed its track's start distance
    Fixed collisionDistance;     // the ball spacing in a chain
    // Set when a track's roll-in ends; the board stops the looping roll-in sound and clears it.
    bool rollInEnded = false;
};

// The target speed of the chain this frame; pause is set when the chain must stop and wait.
Fixed ChainSpeed(ChainSpeedState& state, BallChain& chain, bool& pause);

// True when some chain holding balls has its head beyond its track's start distance.
bool ChainsOnBoard(const BallChain* const* chains, int count, const Fixed* startDistances);

// Where a track first comes onto the width x height screen, less back, at least 0; 0 for a track
// that never does. Whole pixels are walked from the track's start.
Fixed CurveStartDistance(CurvePath& path, int width, int height, Fixed back);

#pragma once
// The logical balls: a chain of up to 200 on one track, from the head (index 0, nearest the hole)
// to the tail, and the flying shot. The chain places its balls and ramps its speed; the rules
// that move them belong to the gameplay screen.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/invariant.h"

class BallSprite;
class BoardScreen;
class CurvePath;
class GameApp;

constexpr int kMaxChainBalls = 200;
constexpr int kMaxGapsCrossed = 5;

// A gap a shot passed through: its curve, its width in whole px and the serial of the ball behind.
struct GapCrossed {
    int32_t curve = 0, width = 0, key = 0;
};

class Ball {
public:
    Ball() { Reset(); }
    void Reset();
    void Assign(const Ball& other) { *this = other; }
    // A number no other ball made in this run has (never 0): a chain ball keeps it for life, so a
    // gap can be named by the ball behind it while the chain's slots shift.
    static int32_t NewSerial();

    void SetTrackDistance(int curve, int distance);
    int GetTrackDistance(int curve) const;
    bool AddGapCrossed(int curve, int width, int key);
    int SmallestGapCrossed() const;
    void SetGapBonus(int points, int count);
    int GetGapBonusPoints() const { return gapBonusPoints; }
    int GetGapBonusCount() const { return gapBonusCount; }
    int GetGapsCrossed() const { return gapCount; }

    Fixed distance;               // px along the track from the curve's start
    FixedVec2 position;           // px on the screen: the track point, or where a shot flies
    FixedVec2 previousPosition;   // a shot's position before its last step
    FixedVec2 velocity;           // px per step of a shot
    Fixed radius;                 // px; 0 but for balls laid out by LayOut
    FixedVec2 insertStart;        // px, where an inserted ball was when it hit the chain
    Fixed growth;                 // 0..1 of the way from the insertion start to the track; 1 settled
    uint8_t matched = 0;          // 1 while the ball belongs to a run being removed
    int32_t isNew = 0;            // 1 for a shot or a ball that just joined, 2 for one a returning run meets
    int32_t colour = 0;           // 0..5
    uint8_t tunnel = 0;           // 1 while a tunnel hides the ball's place on the track
    Fixed pullSpeed;              // px per frame a run rolls back to close a gap: 0 or less
    Fixed pullAcceleration;       // px per frame by which the pull-back grows
    BallSprite* sprite = nullptr; // the sprite that draws the ball; the ball sprite list owns it
    GapCrossed gaps[kMaxGapsCrossed];  // the gaps a shot passed through, by the ball behind each
    int32_t gapCount = 0;         // 0..5
    int32_t trackDistance[3] = {-1, -1, -1};  // whole px along curves 0 and 1 where a shot is over them, else -1; the third is spare
    int16_t gapBonusPoints = 0;   // points a shot through gaps brings
    int16_t gapBonusCount = 0;    // gaps of that bonus
    int32_t serial = 0;           // the ball's own number for life (NewSerial); 0 for a reset record
};

class BallChain {
public:
    explicit BallChain(GameApp* application);
    virtual ~BallChain() = default;

    void Reset();
    void LayOut(int n, Fixed startDistance);
    // Places every ball on the track and grows the inserted ones a step; the screen (may be null)
    // hears of each inserted ball settling. Without `grow` the balls are only placed, as they were.
    void Update(BoardScreen* screen, bool grow = true);
    void SetTargetSpeed(Fixed target, bool holdGaps);
    void StepSpeed();
    void RemoveBall(int index);
    void FlagForRemoval(int index)
    {
        KELO_ASSERT(index >= 0 && index < count);
        balls[index].matched = 1;
    }
    void ClearRemovalFlags();
    // False, changing nothing, on a full chain or an index outside 0..count (after: 0..count - 1).
    bool InsertAt(const Ball& ball, int index);
    bool InsertAfter(const Ball& ball, int index);
    static int FindRunStart(const Ball* balls, int i, Fixed spacing);

    void SetPath(CurvePath* path, int curveIndex)
    {
        this->path = path;
        this->curveIndex = curveIndex;
    }

    Ball balls[kMaxChainBalls];
    int32_t count = 0;
    CurvePath* path = nullptr;
    Fixed speed;
    Fixed targetSpeed;
    Fixed speedStep;
    int32_t speedDelay = 0;
    int32_t pullBackDelay = 0;
    int32_t pullRelaxDelay = 0;
    Fixed pathLength;
    uint8_t entering = 1;
    GameApp* application = nullptr;
    Fixed ballRadius;
    Fixed growthStep;
    Fixed lookAhead;
    Fixed ballDiameter;
    int32_t curveIndex = 0;
};

// Deletes the chain when there is one and nulls the pointer.
void DeleteBallChain(BallChain*& chain);

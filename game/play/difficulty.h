#pragma once
// The board's working values for one level: the colours in play, the chain speeds, the roll-in
// and danger distances of each track, the score target, the par time and the coin and power-up
// timers, worked out from the level's difficulty record and the display's layout table.
#include <cstdint>

#include "engine/core/fixed.h"

class LayoutTable;
class LevelTables;
struct LevelSettings;
struct ModeProgress;

constexpr int kBoardCurves = 2;
constexpr int kBallColours = 6;
constexpr int kPowerUpKinds = 4;  // Accuracy, Reverse, Proximity Bomb, Slow Down

struct Difficulty {
    uint8_t colourAllowed[kBallColours] = {};
    int32_t repeatChance = 0;  // percent
    int32_t scoreTarget = 0;   // the level score at which no more balls are fed
    Fixed progressFactor;      // 256 / points needed, for the progress bar
    int32_t parTime = 0;       // seconds
    uint8_t powerUpEnabled[kPowerUpKinds] = {};
    int32_t powerUpInterval[kPowerUpKinds] = {};  // frames
    int32_t coinInterval = 0;                     // frames
    Fixed rollInDistance[kBoardCurves];
    Fixed dangerDistance[kBoardCurves];
    Fixed rampFactor[kBoardCurves];
    Fixed rampLength;
    Fixed rollInSpeed, normalSpeed, endSpeed, rushSpeed, reverseSpeed;
    Fixed gapClosing[3];
    int32_t reverseDuration = 0;  // frames
    int32_t slowDuration = 0;     // frames
};

// What the set-up reads besides the tables: where the player stands and the loaded board.
struct DifficultyInput {
    const LayoutTable* layout = nullptr;
    const LevelTables* tables = nullptr;
    bool gauntlet = false;
    const ModeProgress* progress = nullptr;
    int curveCount = 1;
    Fixed curveLength[kBoardCurves];
    int32_t levelScore = 0;
};

// The map the progress stands at: the gauntlet's stored map, else the adventure stage's map.
// -1 for a stage outside 1..76 or a gauntlet map outside 0..21.
int CurrentLevelMap(bool gauntlet, const ModeProgress& progress);

// Fills out from the input; false, leaving out unchanged, when there is no map or no record.
// A second call runs the same steps again.
bool SetupDifficulty(Difficulty& out, const DifficultyInput& in);

// The roll-in speed for a normal speed and the first track's roll-in distance: fast enough to
// bring the chain to its roll-in distance quickly, slowing towards the normal speed.
Fixed RollInSpeedFor(Fixed normalSpeed, Fixed rollInDistance);
void ComputeRollInSpeed(Difficulty& d, Fixed normalSpeed);
// The fixed 0.7 scaling of the speeds (not the roll-in speed), then no speed left at 0.
void ScaleSpeeds(Difficulty& d);
// The 0.75 scaling on boards with two tracks; nothing on one.
void ScaleSpeedsForTwoCurves(Difficulty& d, int curveCount);

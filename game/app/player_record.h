#pragma once
// One player's profile and the progress of each game mode, as kept in global.opt.
#include <cstdint>
#include <limits>

#include "engine/core/fixed.h"
#include "game/tables/map_info.h"

class Archive;

constexpr int kPlayerNameBytes = 24;
constexpr int kRandomMapEntry = MapInfo::kCount;  // after the maps, the random choice
constexpr int kMapRankCount = kRandomMapEntry + 1;
constexpr int kRecentMapCount = 10;
// An id keys its player's resume saves as id * 2 + mode, so every id stays below this.
constexpr int32_t kPlayerIdLimit = std::numeric_limits<int32_t>::max() / 2;

// Scores and totals that meet: a profile's words are taken as they were saved, so a sum is made in
// 64 bits and held at the int range's ends instead of wrapping.
inline int32_t SaturatedAdd(int32_t a, int64_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}

struct ScoreEntry {
    int32_t score = 0;
    char name[kPlayerNameBytes] = {};
};

// The state of one game mode; 80 bytes on the handheld, kept field by field here.
struct ModeProgress {
    int32_t stage = 0;  // adventure stage or gauntlet level, 1-based
    int32_t score = 0;  // of the finished stages
    int32_t word2 = -1;
    int32_t lives = 3;
    int32_t totalFrames = 0;
    int32_t totalCombos = 0;
    int32_t totalCoins = 0;
    int32_t gapShots = 0;
    int32_t bestCombo = 0;
    int32_t bestChain = 0;
    uint8_t templeShown[4] = {1, 0, 0, 0};
    int32_t gauntletKind = 0;  // 0 survival, else practice
    int32_t gauntletMap = 0;
    bool randomMap = false;
    int8_t recentMaps[kRecentMapCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    bool levelUp = false;
    FixedVec2 holePositions[2];

    void Reset() { *this = ModeProgress(); }
    void Serialize(Archive& archive);
};

struct PlayerRecord {
    char name[kPlayerNameBytes] = {};
    int32_t mode = 0;  // 0 adventure, 1 gauntlet
    ModeProgress progress[2];
    int32_t id = -1;
    int8_t highestStage = 1;
    int8_t mapRanks[kMapRankCount] = {};
    uint8_t flagA = 1;
    uint8_t adventureFinished = 0;

    PlayerRecord() { Reset(); }
    void Reset();
    // A mode outside 0..1 is set to 0 first.
    ModeProgress* CurrentModeProgress();
    // Whether a saved board of level `number` of the mode was left behind by progress that moved
    // past it (the level won, the program ended before the next save). An adventure standing
    // further than the game ever takes it passed nothing: its board is the one to play.
    bool PassedLevel(int mode, int32_t number) const;
    void Serialize(Archive& archive);
};

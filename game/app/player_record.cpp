#include "game/app/player_record.h"

#include <cstring>

#include "engine/core/archive.h"
#include "engine/core/byte_order.h"
#include "game/tables/progression.h"

void ModeProgress::Serialize(Archive& archive)
{
    int32_t* words[10] = {&stage, &score, &word2, &lives, &totalFrames, &totalCombos, &totalCoins, &gapShots,
                          &bestCombo, &bestChain};
    for (int32_t* word : words)
        archive.SerializeValue(*word);
    archive.SerializeBytes(templeShown, sizeof templeShown);
    archive.SerializeValue(gauntletKind);
    archive.SerializeValue(gauntletMap);
    archive.SerializeBool(randomMap);
    archive.SerializeBytes(recentMaps, sizeof recentMaps);
    archive.SerializeBool(levelUp);
    // The two hole positions go as 16 raw bytes: four little-endian words.
    uint8_t holes[16];
    for (int i = 0; i < 2; ++i) {
        WriteLe32(holes + 8 * i, static_cast<uint32_t>(holePositions[i].x.raw));
        WriteLe32(holes + 8 * i + 4, static_cast<uint32_t>(holePositions[i].y.raw));
    }
    archive.SerializeBytes(holes, sizeof holes);
    if (!archive.IsSaving()) {
        for (int i = 0; i < 2; ++i) {
            holePositions[i].x.raw = static_cast<int32_t>(ReadLe32(holes + 8 * i));
            holePositions[i].y.raw = static_cast<int32_t>(ReadLe32(holes + 8 * i + 4));
        }
    }
}

void PlayerRecord::Reset()
{
    memset(name, 0, sizeof name);
    mode = 0;
    progress[0].Reset();
    progress[1].Reset();
    id = -1;
    highestStage = 1;
    memset(mapRanks, -1, sizeof mapRanks);
    // Two maps and the random choice are open from the start.
    mapRanks[3] = 0;
    mapRanks[13] = 0;
    mapRanks[kRandomMapEntry] = 0;
    flagA = 1;
    adventureFinished = 0;
}

ModeProgress* PlayerRecord::CurrentModeProgress()
{
    if (mode < 0 || mode > 1)
        mode = 0;
    return &progress[mode];
}

bool PlayerRecord::PassedLevel(int mode, int32_t number) const
{
    if (mode < 0 || mode > 1 || number < 1)
        return false;
    const int32_t stage = progress[mode].stage;
    return number < stage && (mode != 0 || stage <= kAdventureWonStage);
}

void PlayerRecord::Serialize(Archive& archive)
{
    archive.SerializeBytes(name, sizeof name);
    archive.SerializeInt8(highestStage);
    archive.SerializeBytes(mapRanks, sizeof mapRanks);
    archive.SerializeInt8(flagA);
    archive.SerializeInt8(adventureFinished);
    archive.SerializeValue(mode);
    progress[0].Serialize(archive);
    progress[1].Serialize(archive);
    archive.SerializeValue(id);
}

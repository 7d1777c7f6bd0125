#include "game/tables/progression.h"

#include <algorithm>
#include <iterator>

#include "engine/core/application.h"
#include "engine/core/strings.h"
#include "engine/ui/string_table.h"
#include "game/tables/map_info.h"

namespace {

// First stage of doors 1..13; door 13 is the final stage alone.
constexpr int kDoorFirstStage[] = {1, 6, 11, 16, 22, 28, 34, 41, 48, 55, 62, 69, 76};
constexpr int kDoorCount = static_cast<int>(std::size(kDoorFirstStage));
constexpr int kDoorsPerTemple = 3;
constexpr int kLastTemple = 3;
constexpr int kLevelsPerRank = 7;
constexpr int kTopRank = 3;

}  // namespace

namespace Adventure {

int DoorOfStage(int stage)
{
    if (stage < 1)
        return 0;
    // The number of doors that start at or before the stage.
    return static_cast<int>(std::upper_bound(std::begin(kDoorFirstStage), std::end(kDoorFirstStage), stage) -
                            std::begin(kDoorFirstStage));
}

int StageInDoor(int stage)
{
    if (stage < 1 || stage > kAdventureStageCount)
        return 0;
    return stage - DoorFirstStage(DoorOfStage(stage)) + 1;
}

int IsFirstStageOfDoor(int stage)
{
    return StageInDoor(stage) == 1 ? 1 : 0;
}

int DoorFirstStage(int door)
{
    if (door < 1 || door > kDoorCount)
        return 0;
    return kDoorFirstStage[door - 1];
}

int TempleOfDoor(int door)
{
    if (door < 1)
        return 0;
    if (door == kDoorCount)
        return -1;
    if (door > kDoorCount)
        return kLastTemple;
    return (door - 1) / kDoorsPerTemple;
}

}  // namespace Adventure

namespace Gauntlet {

int RankOfLevel(int level)
{
    if (level < 1)
        return -1;
    return std::min((level - 1) / kLevelsPerRank, kTopRank);
}

int RankFirstLevel(int rank)
{
    if (rank < 0)
        return 0;
    return std::min(rank, kTopRank) * kLevelsPerRank + 1;
}

}  // namespace Gauntlet

String& MapDisplayName(String& out, Application* application, int map)
{
    // The maps, then the gauntlet map's random-map entry, which follows them.
    if (map < 0 || map > MapInfo::kCount) {
        out.Assign(" ");
        return out;
    }
    StringTable* table = application ? application->GetLanguageTable() : nullptr;
    if (!table) {
        out.Assign(nullptr);
        return out;
    }
    return table->LookupOffset(out, "STR_DISPLAY_NAME_1", map);
}

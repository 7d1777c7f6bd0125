#include "game/tables/map_info.h"

#include "game/tables/level_tables.h"

namespace {

constexpr TreasurePoint kTreasure0[] = {{576, 431, 20, 0}, {77, 423, 35, 0}, {70, 57, 45, 0}};
constexpr TreasurePoint kTreasure1[] = {{76, 431, 32, 0}, {590, 437, 50, 0}, {584, 100, 60, 0}};
constexpr TreasurePoint kTreasure2[] = {{73, 71, 0, 0}, {73, 241, 60, 0}, {342, 125, 82, 0}};
constexpr TreasurePoint kTreasure3[] = {{76, 52, 0, 0}, {584, 63, 20, 0}, {34, 444, 60, 0}};
constexpr TreasurePoint kTreasure4[] = {{26, 128, 0, 0}, {563, 108, 45, 0}, {177, 87, 55, 0}};
constexpr TreasurePoint kTreasure5[] = {{319, 419, 15, 0}, {600, 446, 22, 0}, {603, 56, 30, 0}};
constexpr TreasurePoint kTreasure6[] = {{65, 439, 20, 0}, {31, 59, 36, 0}, {524, 277, 60, 0}};
constexpr TreasurePoint kTreasure7[] = {{45, 53, 0, 0}, {595, 68, 35, 0}, {587, 435, 45, 0}};
constexpr TreasurePoint kTreasure8[] = {{610, 230, 37, 0}, {610, 374, 42, 0}, {25, 137, 67, 0}};
constexpr TreasurePoint kTreasure9[] = {{551, 314, 25, 0}, {66, 82, 40, 0}, {70, 375, 60, 0}};
constexpr TreasurePoint kTreasure10[] = {{50, 66, 0, 0}, {55, 434, 38, 0}, {546, 328, 66, 0}};
constexpr TreasurePoint kTreasure11[] = {{212, 136, 60, 0}, {602, 163, 70, 0}, {516, 265, 85, 0}};
constexpr TreasurePoint kTreasure12[] = {{35, 108, 0, 0}, {602, 446, 22, 0}, {585, 50, 32, 0}};
constexpr TreasurePoint kTreasure13[] = {{574, 403, 0, 0}, {75, 400, 30, 0}, {71, 93, 40, 0}};
constexpr TreasurePoint kTreasure14[] = {{589, 62, 0, 0}, {48, 441, 0, 0}, {46, 118, 0, 40}};
constexpr TreasurePoint kTreasure15[] = {{26, 274, 34, 0}, {38, 433, 40, 0}, {123, 125, 0, 72}};
constexpr TreasurePoint kTreasure16[] = {{427, 103, 0, 0}, {587, 438, 44, 0}, {32, 88, 69, 0}};
constexpr TreasurePoint kTreasure17[] = {{577, 54, 0, 0}, {97, 70, 30, 0}, {67, 432, 40, 0}};
constexpr TreasurePoint kTreasure18[] = {{591, 426, 22, 0}, {53, 59, 0, 22}};
constexpr TreasurePoint kTreasure19[] = {{73, 142, 30, 0}, {595, 350, 50, 0}, {580, 55, 60, 0}};
constexpr TreasurePoint kTreasure20[] = {{536, 243, 10, 0}, {312, 420, 60, 0}};

constexpr OverlayImage kOverlays1[] = {{"left", 0, 118}, {"right", 311, 0}};
constexpr OverlayImage kOverlays5[] = {{"tunnel", 107, 157}};
constexpr OverlayImage kOverlays6[] = {{"tunnel", 240, 253}};
constexpr OverlayImage kOverlays10[] = {{"tunnel01", 0, 27}, {"tunnel02", 444, 74}};
constexpr OverlayImage kOverlays11[] = {{"tunnel", 34, 18}};
constexpr OverlayImage kOverlays12[] = {{"tunnel01", 0, 0}, {"tunnel02", 419, 0}};
constexpr OverlayImage kOverlays15[] = {{"serpentst", 0, 0}, {"serpentsm", 124, 76}, {"serpentsb", 64, 301}};
constexpr OverlayImage kOverlays16[] = {{"groovefest01", 402, 0}, {"groovefest02", 370, 269}, {"groovefest03", 0, 84}};
constexpr OverlayImage kOverlays20[] = {{"tunnel1", 0, 253}, {"tunnel2", 230, 0}};

struct MapRow {
    const char* name;
    int16_t frogX, frogY;
    uint8_t nebula, twoCurves;
    std::span<const TreasurePoint> treasure;
    std::span<const OverlayImage> overlays;
};

// In map-number order; every map's art has the name of its level folder.
const MapRow kMaps[MapInfo::kCount] = {
    {"tiltspiral", 242, 248, 0, 0, kTreasure0, {}},
    {"underover", 334, 247, 0, 0, kTreasure1, kOverlays1},
    {"longrange", 450, 240, 0, 0, kTreasure2, {}},
    {"claw", 333, 235, 0, 0, kTreasure3, {}},
    {"triangle", 369, 277, 0, 0, kTreasure4, {}},
    {"inversespiral", 424, 263, 0, 0, kTreasure5, kOverlays5},
    {"loopy", 325, 114, 0, 0, kTreasure6, kOverlays6},
    {"turnaround", 300, 230, 0, 0, kTreasure7, {}},
    {"squaresville", 324, 284, 0, 0, kTreasure8, {}},
    {"warshak", 305, 338, 0, 0, kTreasure9, {}},
    {"overunder", 307, 278, 0, 0, kTreasure10, kOverlays10},
    {"spaceinvaders", 271, 358, 0, 0, kTreasure11, kOverlays11},
    {"coaster", 325, 240, 0, 0, kTreasure12, kOverlays12},
    {"spiral", 327, 233, 0, 0, kTreasure13, {}},
    {"blackswirley", 320, 240, 0, 1, kTreasure14, {}},
    {"serpents", 339, 271, 0, 1, kTreasure15, kOverlays15},
    {"groovefest", 227, 236, 0, 0, kTreasure16, kOverlays16},
    {"riverbed", 274, 264, 0, 0, kTreasure17, {}},
    {"snakepit", 318, 240, 0, 1, kTreasure18, {}},
    {"targetglyph", 369, 222, 0, 0, kTreasure19, {}},
    {"tunnellevel", 215, 240, 0, 0, kTreasure20, kOverlays20},
    {"space", 246, 188, 1, 0, {}, {}},  // the final adventure stage's map
};

}  // namespace

// Four passes through the maps in one order, each adding three maps; 55-75 repeat 34-54.
const int32_t AdventureStageMaps[kAdventureStageCount] = {
    13, 3, 17, 19, 14, 0, 1, 9, 6, 18, 4, 12, 8, 20, 15,
    13, 3, 17, 19, 14, 7, 0, 1, 9, 6, 18, 16, 4, 12, 8, 20, 15, 10,
    13, 3, 17, 19, 14, 7, 2, 0, 1, 9, 6, 18, 16, 11, 4, 12, 8, 20, 15, 10, 5,
    13, 3, 17, 19, 14, 7, 2, 0, 1, 9, 6, 18, 16, 11, 4, 12, 8, 20, 15, 10, 5,
    21,
};

int AdventureStageMap(int stage)
{
    if (stage < 1 || stage > kAdventureStageCount)
        return -1;
    return AdventureStageMaps[stage - 1];
}

bool LevelTables::BuildMaps(MapTable& out)
{
    if (!out.Allocate(MapInfo::kCount))
        return false;
    for (int i = 0; i < MapInfo::kCount; ++i) {
        const MapRow& row = kMaps[i];
        MapInfo& map = out[i];
        map.name = row.name;
        map.art = row.name;
        map.number = static_cast<int8_t>(i);
        map.frogX = row.frogX;
        map.frogY = row.frogY;
        map.nebula = row.nebula;
        map.twoCurves = row.twoCurves;
        map.treasure = row.treasure;
        map.overlays = row.overlays;
    }
    return true;
}

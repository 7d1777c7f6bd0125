#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "game/tables/level_tables.h"
#include "game/tables/map_info.h"

namespace {

MapTable Built()
{
    MapTable maps;
    EXPECT_TRUE(LevelTables::BuildMaps(maps));
    return maps;
}

std::set<int> MapsWhere(const MapTable& maps, bool (*test)(const MapInfo&))
{
    std::set<int> found;
    for (const MapInfo& map : maps) {
        if (test(map))
            found.insert(map.number);
    }
    return found;
}

}  // namespace

TEST(MapRecords, TwentyTwoNumberedRecordsWithArtNamedLikeTheirFolder)
{
    MapTable maps = Built();
    ASSERT_EQ(maps.Count(), 22);
    for (int i = 0; i < maps.Count(); ++i) {
        const MapInfo& map = maps[i];
        EXPECT_EQ(map.number, i);
        ASSERT_NE(map.name, nullptr);
        EXPECT_STREQ(map.art, map.name);
        EXPECT_GT(map.frogX, 0);
        EXPECT_GT(map.frogY, 0);
    }
    EXPECT_STREQ(maps[0].name, "tiltspiral");
    EXPECT_STREQ(maps[21].name, "space");
    EXPECT_EQ(maps[15].frogX, 339);
    EXPECT_EQ(maps[15].frogY, 271);
}

TEST(MapRecords, FlagsSitOnTheirMapsOnly)
{
    MapTable maps = Built();
    EXPECT_EQ(MapsWhere(maps, [](const MapInfo& m) { return m.twoCurves != 0; }), (std::set<int>{14, 15, 18}));
    EXPECT_EQ(MapsWhere(maps, [](const MapInfo& m) { return m.nebula != 0; }), (std::set<int>{21}));
    EXPECT_EQ(MapsWhere(maps, [](const MapInfo& m) { return !m.overlays.empty(); }),
              (std::set<int>{1, 5, 6, 10, 11, 12, 15, 16, 20}));
}

TEST(MapRecords, CoinSpotsAndOverlays)
{
    MapTable maps = Built();
    for (const MapInfo& map : maps) {
        size_t expected = map.number == 21 ? 0 : (map.number == 18 || map.number == 20) ? 2 : 3;
        EXPECT_EQ(map.treasure.size(), expected) << "map " << int(map.number);
        for (const TreasurePoint& spot : map.treasure) {
            EXPECT_TRUE(spot.x >= 0 && spot.x < 640 && spot.y >= 0 && spot.y < 480);
            EXPECT_TRUE(spot.curve1Percent >= 0 && spot.curve1Percent < 100);
            // A condition on the second curve only exists where there is a second curve.
            if (!map.twoCurves) {
                EXPECT_EQ(spot.curve2Percent, 0);
            }
        }
    }
    // Map 14's first two spots set no condition on either chain; its third waits on curve 2.
    const MapInfo& swirl = maps[14];
    EXPECT_EQ(swirl.treasure[0].curve1Percent + swirl.treasure[0].curve2Percent, 0);
    EXPECT_EQ(swirl.treasure[2].curve2Percent, 40);
    ASSERT_EQ(maps[15].overlays.size(), 3u);
    EXPECT_STREQ(maps[15].overlays[1].image, "serpentsm");
    EXPECT_EQ(maps[15].overlays[1].x, 124);
    EXPECT_EQ(maps[15].overlays[1].y, 76);
}

TEST(MapRecords, FindAnswersNullOutsideTheTable)
{
    MapTable maps = Built();
    EXPECT_EQ(maps.Find(21), &maps[21]);
    EXPECT_TRUE(maps.Find(22) == nullptr && maps.Find(-1) == nullptr && MapTable().Find(0) == nullptr);
}

TEST(AdventureStageMaps, FourPassesThenTheFinalMap)
{
    for (int stage : {1, 16, 34, 55})
        EXPECT_EQ(AdventureStageMap(stage), 13) << "stage " << stage;
    EXPECT_EQ(AdventureStageMap(76), 21);
    for (int stage = 55; stage <= 75; ++stage)
        EXPECT_EQ(AdventureStageMap(stage), AdventureStageMap(stage - 21)) << "stage " << stage;
    // Each pass keeps the order of the one before: the first pass is the second without 7, 16, 10.
    std::vector<int> first, secondWithoutNew;
    for (int stage = 1; stage <= 15; ++stage)
        first.push_back(AdventureStageMap(stage));
    for (int stage = 16; stage <= 33; ++stage) {
        int map = AdventureStageMap(stage);
        if (map != 7 && map != 16 && map != 10)
            secondWithoutNew.push_back(map);
    }
    EXPECT_EQ(first, secondWithoutNew);

    std::set<int> seen;
    for (int stage = 1; stage <= 76; ++stage)
        seen.insert(AdventureStageMap(stage));
    EXPECT_EQ(seen.size(), 22u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 21);
}

TEST(AdventureStageMaps, StagesOutsideTheAdventureHaveNoMap)
{
    for (int stage : {0, -1, 77, 1000})
        EXPECT_EQ(AdventureStageMap(stage), -1) << "stage " << stage;
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/tables/level_tables.h"
#include "game/tables/progression.h"

namespace {

struct Tables {
    LevelTables tables;
    Tables() { EXPECT_TRUE(tables.Build()); }
    std::string Name(bool adventure, int stageOrLevel, int map) const
    {
        const LevelSettings* record = tables.SettingsFor(adventure, stageOrLevel, tables.maps.Find(map));
        return record && record->name ? record->name : "(none)";
    }
};

}  // namespace

TEST(LevelSettings, BuildersAnswerTheirCounts)
{
    SettingsTable table;
    EXPECT_EQ(LevelTables::BuildAdventureSettings(table), 76);
    EXPECT_EQ(LevelTables::BuildGauntletSettings(table), 30);
    EXPECT_EQ(LevelTables::BuildDualSettings(table), 24);
    EXPECT_EQ(table.Count(), 24);
}

TEST(LevelSettings, AdventureLabelsFollowTheDoors)
{
    Tables t;
    for (int stage = 1; stage <= 76; ++stage) {
        std::string label = "lvl" + std::to_string(Adventure::DoorOfStage(stage)) +
                            std::to_string(Adventure::StageInDoor(stage));
        EXPECT_EQ(t.tables.adventure[stage - 1].name, label);
    }
}

TEST(LevelSettings, ColumnsARecordLeavesKeepTheDefaults)
{
    Tables t;
    for (const SettingsTable* table : {&t.tables.adventure, &t.tables.gauntlet, &t.tables.dual}) {
        bool adventure = table == &t.tables.adventure;
        for (const LevelSettings& r : *table) {
            EXPECT_TRUE(r.coinInterval == 300 && r.dangerDistance == 600 && r.dangerRampLength == 500) << r.name;
            // Gauntlet par times are derived from the points; adventure power-ups keep one pace.
            EXPECT_EQ(r.parTime > 0, adventure) << r.name;
            if (!adventure)
                EXPECT_TRUE(r.reverseDuration == 99 && r.slowDuration == 363) << r.name;
            else
                EXPECT_EQ(r.powerUpInterval, 990) << r.name;
        }
    }
}

TEST(LevelSettings, AdventureExceptionsAndTargets)
{
    Tables t;
    int shortPowerUps = 0, moreRepeats = 0, topOfTheRest = 0;
    for (const LevelSettings& record : t.tables.adventure) {
        if (record.reverseDuration != 99 || record.slowDuration != 363) {
            ++shortPowerUps;
            EXPECT_STREQ(record.name, "lvl35");
            EXPECT_EQ(record.reverseDuration, 66);
            EXPECT_EQ(record.slowDuration, 165);
        }
        if (record.repeatColourPercent != 40) {
            ++moreRepeats;
            EXPECT_EQ(record.repeatColourPercent, 50) << record.name;
        }
        if (&record != &t.tables.adventure[75])
            topOfTheRest = std::max(topOfTheRest, record.pointsNeeded);
    }
    EXPECT_EQ(shortPowerUps, 1);
    EXPECT_EQ(moreRepeats, 2);
    EXPECT_STREQ(t.tables.adventure[1].name, "lvl12");
    EXPECT_EQ(t.tables.adventure[1].repeatColourPercent, 50);
    EXPECT_STREQ(t.tables.adventure[75].name, "lvl131");
    EXPECT_EQ(t.tables.adventure[75].pointsNeeded, 10000);
    EXPECT_EQ(t.tables.adventure[75].pointsNeeded, 2 * topOfTheRest);
}

TEST(LevelSettings, DecimalsRoundToTheNearest256th)
{
    Tables t;
    const LevelSettings& lvl125 = t.tables.adventure[72];
    ASSERT_STREQ(lvl125.name, "lvl125");
    EXPECT_EQ(lvl125.chainSpeed.raw, 200);  // 0.78 x 256 = 199.68
    const LevelSettings& lvl65 = t.tables.adventure[31];
    ASSERT_STREQ(lvl65.name, "lvl65");
    EXPECT_EQ(lvl65.endSpeedDivisor.raw, 1075);  // 4.2 x 256 = 1075.2
    const LevelSettings& level29 = t.tables.gauntlet[28];
    ASSERT_STREQ(level29.name, "level29");
    EXPECT_EQ(level29.chainSpeed.raw, 371);  // 1.45 x 256 = 371.2
    EXPECT_EQ(level29.powerUpInterval, 330);
    const LevelSettings& dual15 = t.tables.dual[14];
    ASSERT_STREQ(dual15.name, "dual15");
    EXPECT_EQ(dual15.repeatColourPercent, 42);
    EXPECT_EQ(dual15.endSpeedDivisor.raw, 512);
}

TEST(LevelSettings, LookUpPicksTheTableAndClampsTheIndex)
{
    Tables t;
    EXPECT_EQ(t.Name(false, 1, 0), "level1");
    EXPECT_EQ(t.Name(false, 30, 0), "level30");
    EXPECT_EQ(t.Name(false, 31, 0), "level30");
    EXPECT_EQ(t.Name(false, 25, 18), "dual24");
    EXPECT_EQ(t.Name(false, 5, 15), "dual5");
    EXPECT_EQ(t.Name(false, 5, 14), "dual5");
    // The adventure ignores the map's tracks: stage 5 is played on two-curve map 14.
    EXPECT_EQ(t.Name(true, 5, 14), "lvl15");
    EXPECT_EQ(t.Name(true, 76, 21), "lvl131");
    EXPECT_EQ(t.Name(true, 90, 21), "lvl131");
    // A stage or level of 0 or less from a damaged save takes the first record.
    for (int bad : {0, -3, INT32_MIN}) {
        EXPECT_EQ(t.Name(true, bad, 13), "lvl11");
        EXPECT_EQ(t.Name(false, bad, 0), "level1");
        EXPECT_EQ(t.Name(false, bad, 15), "dual1");
    }
    // No map record (a bad map number) plays the one-curve table.
    EXPECT_EQ(t.Name(false, 5, 99), "level5");
    LevelTables empty;
    EXPECT_EQ(empty.SettingsFor(true, 1, nullptr), nullptr);
}

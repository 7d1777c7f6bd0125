#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/core/strings.h"
#include "engine/ui/string_table.h"
#include "game/tables/progression.h"
#include "platform/files.h"
#include "support/plain_app.h"

namespace {

// The door grouping as the adventure map shows it.
struct Door {
    int number, first, last, temple;
};
constexpr Door kDoors[] = {
    {1, 1, 5, 0},     {2, 6, 10, 0},    {3, 11, 15, 0},   {4, 16, 21, 1},   {5, 22, 27, 1},
    {6, 28, 33, 1},   {7, 34, 40, 2},   {8, 41, 47, 2},   {9, 48, 54, 2},   {10, 55, 61, 3},
    {11, 62, 68, 3},  {12, 69, 75, 3},  {13, 76, 76, -1},
};

struct StageAnswer {
    int door, position, first;
};

StageAnswer Expected(int stage)
{
    for (const Door& door : kDoors) {
        if (stage >= door.first && stage <= door.last)
            return {door.number, stage - door.first + 1, stage == door.first ? 1 : 0};
    }
    return {stage < 1 ? 0 : 13, 0, 0};
}

// Reads the language file from disk rather than from a pack.
class DiskLanguageApp : public PlainApp {
public:
    DiskLanguageApp() { packsEnabled_ = false; }
};

std::string Text(const String& s)
{
    return s.CStr() ? s.CStr() : "";
}

}  // namespace

TEST(Adventure, StagesByDoor)
{
    for (int stage = 0; stage <= 78; ++stage) {
        StageAnswer expected = Expected(stage);
        EXPECT_EQ(Adventure::DoorOfStage(stage), expected.door) << "stage " << stage;
        EXPECT_EQ(Adventure::StageInDoor(stage), expected.position) << "stage " << stage;
        EXPECT_EQ(Adventure::IsFirstStageOfDoor(stage), expected.first) << "stage " << stage;
    }
    EXPECT_EQ(Adventure::DoorOfStage(-5), 0);
    EXPECT_EQ(Adventure::DoorOfStage(1000), 13);
    EXPECT_EQ(Adventure::StageInDoor(-5), 0);
}

TEST(Adventure, DoorsFirstStagesAndTemples)
{
    for (const Door& door : kDoors) {
        EXPECT_EQ(Adventure::DoorFirstStage(door.number), door.first) << "door " << door.number;
        EXPECT_EQ(Adventure::TempleOfDoor(door.number), door.temple) << "door " << door.number;
    }
    EXPECT_EQ(Adventure::DoorFirstStage(0), 0);
    EXPECT_EQ(Adventure::DoorFirstStage(14), 0);
    EXPECT_EQ(Adventure::DoorFirstStage(-1), 0);
    EXPECT_EQ(Adventure::TempleOfDoor(0), 0);
    EXPECT_EQ(Adventure::TempleOfDoor(-4), 0);
    EXPECT_EQ(Adventure::TempleOfDoor(14), 3);
    EXPECT_EQ(Adventure::TempleOfDoor(99), 3);
}

TEST(Gauntlet, RanksOfSevenLevels)
{
    for (int level = -1; level <= 100; ++level) {
        int expected = level <= 0 ? -1 : level <= 7 ? 0 : level <= 14 ? 1 : level <= 21 ? 2 : 3;
        EXPECT_EQ(Gauntlet::RankOfLevel(level), expected) << "level " << level;
    }
    const int firstLevels[][2] = {{-1, 0}, {0, 1}, {1, 8}, {2, 15}, {3, 22}, {4, 22}, {-2, 0}, {-100, 0}};
    for (const auto& [rank, first] : firstLevels) {
        EXPECT_EQ(Gauntlet::RankFirstLevel(rank), first) << "rank " << rank;
        if (rank >= 0) {
            EXPECT_EQ(Gauntlet::RankOfLevel(first), std::min(rank, 3)) << "rank " << rank;
        }
    }
}

TEST(MapDisplayName, ReadsTheNumberedFamilyOfTheLanguage)
{
    DiskLanguageApp app;
    std::string csv = hostpath::FromHost(std::string(KELO_TEST_DATA) + "/tables/display_names.csv");
    ASSERT_TRUE(app.CreateLanguageTable(csv.c_str()).ok());
    ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(0));
    String out;
    EXPECT_EQ(Text(MapDisplayName(out, &app, 0)), "Jade Spiral");
    EXPECT_EQ(Text(MapDisplayName(out, &app, 5)), "Board 5");
    EXPECT_EQ(Text(MapDisplayName(out, &app, 22)), "Random Map");
    // The row after the family and the one before it are never read.
    EXPECT_EQ(Text(MapDisplayName(out, &app, 23)), " ");
    EXPECT_EQ(Text(MapDisplayName(out, &app, -1)), " ");
    ASSERT_TRUE(app.GetLanguageTable()->SelectLanguage(1));
    EXPECT_EQ(Text(MapDisplayName(out, &app, 0)), "Jadespirale");
    EXPECT_EQ(Text(MapDisplayName(out, &app, 23)), " ");
}

TEST(MapDisplayName, NoLanguageTableGivesNoText)
{
    PlainApp app;
    String out("stale");
    EXPECT_TRUE(MapDisplayName(out, &app, 3).IsEmpty());
    EXPECT_EQ(Text(MapDisplayName(out, nullptr, 40)), " ");
}

#include "game/play/difficulty.h"

#include <gtest/gtest.h>

#include "game/app/player_record.h"
#include "game/tables/layout_table.h"
#include "game/tables/level_tables.h"

namespace {

// Small tables with known records: map 5 has two tracks; the adventure's stage 1 plays map 13.
struct Board {
    LayoutTable layout;
    LevelTables tables;
    ModeProgress progress;
    DifficultyInput in;

    explicit Board(Fixed scale)
    {
        EXPECT_TRUE(tables.maps.Allocate(MapInfo::kCount));
        tables.maps[5].twoCurves = 1;
        EXPECT_TRUE(tables.adventure.Allocate(2));
        EXPECT_TRUE(tables.gauntlet.Allocate(2));
        EXPECT_TRUE(tables.dual.Allocate(1));
        layout.fixed[kLayoutDesignScale] = scale;
        layout.fixed[kLayoutRollInSpeed] = Fixed::FromInt(3);
        layout.fixed[kLayoutNormalSpeed] = Fixed::FromInt(1);
        layout.fixed[kLayoutEndSpeed] = Fixed::Raw(128);
        layout.fixed[kLayoutRushSpeed] = Fixed::FromInt(8);
        layout.fixed[kLayoutReverseSpeed] = Fixed::FromInt(2);
        layout.fixed[kLayoutGapClosing] = Fixed::FromInt(4);
        layout.fixed[kLayoutGapClosing + 1] = Fixed::Raw(2);
        layout.fixed[kLayoutGapClosing + 2] = Fixed::Raw(1);
        in.layout = &layout;
        in.tables = &tables;
        in.progress = &progress;
    }
};

}  // namespace

TEST(Difficulty, OneTrackAdventureLevelWorkedThrough)
{
    Board board(Fixed::FromInt(1));
    board.tables.adventure[0].pointsNeeded = 1000;
    board.tables.adventure[0].parTime = 0;
    board.progress.stage = 1;
    board.in.curveLength[0] = Fixed::FromInt(2000);
    board.in.levelScore = 500;

    Difficulty d;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    // Door 1: four colours.
    const uint8_t colours[6] = {1, 1, 1, 1, 0, 0};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(d.colourAllowed[c], colours[c]) << c;
    EXPECT_EQ(d.repeatChance, 40);
    // 1000 points ask for 750; 35 s a thousand points is 26.25 s, rounded up to 30.
    EXPECT_EQ(d.scoreTarget, 1250);
    EXPECT_EQ(d.progressFactor.raw, 87);
    EXPECT_EQ(d.parTime, 30);
    EXPECT_EQ(d.coinInterval, 300);
    for (int i = 0; i < kPowerUpKinds; ++i) {
        EXPECT_EQ(d.powerUpEnabled[i], 1);
        EXPECT_EQ(d.powerUpInterval[i], 990);
    }
    // 40 % of 2000 px as 102/256, times 0.8 and 0.75: 478.6 px; danger 600 px from the end.
    EXPECT_EQ(d.rollInDistance[0].raw, 122519);
    EXPECT_EQ(d.dangerDistance[0], Fixed::FromInt(1400));
    EXPECT_EQ(d.rampLength, Fixed::FromInt(500));
    EXPECT_EQ(d.rampFactor[0].raw, 132);  // 4096 / (500 >> 4)
    // Normal 0.5 x 3 = 1.5, end a quarter of it, both then scaled by 0.7; the roll-in speed is not.
    EXPECT_EQ(d.normalSpeed.raw, 268);
    EXPECT_EQ(d.endSpeed.raw, 67);
    EXPECT_EQ(d.rollInSpeed.raw, 1757);
    EXPECT_EQ(d.rushSpeed.raw, 1432);
    EXPECT_EQ(d.reverseSpeed.raw, 358);
    EXPECT_EQ(d.gapClosing[0].raw, 716);
    EXPECT_EQ(d.gapClosing[1].raw, 1);
    EXPECT_EQ(d.gapClosing[2].raw, 1);  // 0.7 of raw 1 is 0, floored back to 1
    EXPECT_EQ(d.reverseDuration, 99);
    EXPECT_EQ(d.slowDuration, 363);
}

TEST(Difficulty, SurvivalOnTwoTracksAtHalfScale)
{
    Board board(Fixed::Raw(128));
    board.tables.dual[0].pointsNeeded = 5000;  // survival ignores it
    board.tables.dual[0].parTime = 0;
    board.tables.gauntlet[0].pointsNeeded = 1;
    board.progress.stage = 8;  // rank 1
    board.progress.gauntletKind = 0;
    board.progress.gauntletMap = 5;
    board.in.gauntlet = true;
    board.in.curveCount = 2;
    board.in.curveLength[0] = Fixed::FromInt(1500);
    board.in.curveLength[1] = Fixed::FromInt(1000);
    board.in.levelScore = 10;

    Difficulty d;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.colourAllowed[4], 1);
    EXPECT_EQ(d.colourAllowed[5], 0);
    // 1250 x 0.75 = 937.5, cut to 937; the two-track par is 32.8 x 0.95 = 31.1, rounded up to 35.
    EXPECT_EQ(d.scoreTarget, 947);
    EXPECT_EQ(d.parTime, 35);
    // Distances grow by 1.2 on two tracks: ramp 250 x 1.2, danger 300 x 1.2 from each end.
    EXPECT_EQ(d.rampLength.raw, 76750);
    EXPECT_EQ(d.rampFactor[0].raw, 227);
    EXPECT_EQ(d.rampFactor[1].raw, 227);
    EXPECT_EQ(d.rollInDistance[0].raw, 91889);
    EXPECT_EQ(d.dangerDistance[0].raw, 291900);
    EXPECT_EQ(d.rollInDistance[1].raw, 61259);
    EXPECT_EQ(d.dangerDistance[1].raw, 163900);
    // Normal 0.5 x 0.5 x 3 = 0.75, then 0.7 and 0.75; the roll-in speed comes from track 0.
    EXPECT_EQ(d.normalSpeed.raw, 100);
    EXPECT_EQ(d.endSpeed.raw, 24);
    EXPECT_EQ(d.rollInSpeed.raw, 1400);
    EXPECT_EQ(d.rushSpeed.raw, 1074);  // 2048 x 179/256 = 1432, x 192/256 = 1074
    // Raw 2 and raw 1 both scale to 0 and are floored back to 1.
    EXPECT_EQ(d.gapClosing[1].raw, 1);
    EXPECT_EQ(d.gapClosing[2].raw, 1);
}

TEST(Difficulty, RecordsColoursAndPlainParTimes)
{
    Board board(Fixed::FromInt(1));
    board.in.curveLength[0] = Fixed::FromInt(2000);
    board.in.gauntlet = true;
    board.progress.gauntletKind = 1;  // practice keeps the record's points
    board.progress.gauntletMap = 0;
    board.tables.gauntlet[0].pointsNeeded = 2000;
    board.tables.gauntlet[1].pointsNeeded = 4000;
    board.tables.gauntlet[1].parTime = 77;

    // A level past the table's end takes its last record; rank 2 plays all six colours.
    board.progress.stage = 15;
    Difficulty d;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.scoreTarget, 3000);
    EXPECT_EQ(d.parTime, 77);
    EXPECT_EQ(d.colourAllowed[5], 1);

    // 1000 points on a two-track map: 750 needed, 26.25 x 0.95 = 24.9 s, rounded up to 25.
    board.progress.gauntletMap = 5;
    board.tables.dual[0].pointsNeeded = 1000;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.parTime, 25);

    // Adventure door 4 (stage 16) plays five colours.
    board.in.gauntlet = false;
    board.progress.stage = 16;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.colourAllowed[4], 1);
    EXPECT_EQ(d.colourAllowed[5], 0);

    // A roll-in longer than the danger distance is cut to it.
    board.tables.adventure[1].fillPercent = 100;
    board.tables.adventure[1].dangerDistance = 1800;
    ASSERT_TRUE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.dangerDistance[0], Fixed::FromInt(200));
    EXPECT_EQ(d.rollInDistance[0], Fixed::FromInt(200));
}

TEST(Difficulty, NoMapFailsAndLeavesTheValues)
{
    Board board(Fixed::FromInt(1));
    board.in.curveLength[0] = Fixed::FromInt(2000);
    Difficulty d;
    d.parTime = 123;
    board.progress.stage = 77;
    EXPECT_FALSE(SetupDifficulty(d, board.in));
    board.progress.stage = 0;
    EXPECT_FALSE(SetupDifficulty(d, board.in));
    board.in.gauntlet = true;
    board.progress.stage = 1;
    board.progress.gauntletMap = 22;
    EXPECT_FALSE(SetupDifficulty(d, board.in));
    board.progress.gauntletMap = -1;
    EXPECT_FALSE(SetupDifficulty(d, board.in));
    EXPECT_EQ(d.parTime, 123);
    EXPECT_EQ(CurrentLevelMap(false, board.progress), 13);
    board.progress.gauntletMap = 21;
    EXPECT_EQ(CurrentLevelMap(true, board.progress), 21);
    // Empty difficulty tables fail as well.
    board.tables.gauntlet.Clear();
    EXPECT_FALSE(SetupDifficulty(d, board.in));
}

TEST(Difficulty, RollInSpeedSolvesItsQuadratic)
{
    // v = 1, D = 5: x * x + 21 x - 100 = 0 has the root 4, so 1 + (4 + 18) x 13/256.
    EXPECT_EQ(RollInSpeedFor(Fixed::FromInt(1), Fixed::FromInt(5)).raw, 256 + 286);
    // D = 0: the root is 0, leaving 18 x 0.05 over the normal speed.
    EXPECT_EQ(RollInSpeedFor(Fixed::FromInt(1), Fixed()).raw, 256 + 234);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/play/ball_sprite.h"
#include "game/app/sound_bank.h"
#include "game/play/floating_text.h"
#include "tests/game/play/rules_board.h"

// Points worked out by hand from the scoring rule at 640x480: ten a ball plus the gap bonus, a
// hundred for each combo step past the first, and past the fourth successful shot in a row a
// hundred and ten for each further one.
TEST(Matches, CombosAndChainsScoreByHand)
{
    struct Case {
        int balls, comboBefore, chainBefore, points, combo, chain;
        std::vector<int> sounds;
    };
    const Case cases[] = {
        {4, 1, 1, 140, 2, 1, {27, 30}},
        {5, 2, 1, 250, 3, 1, {28, 31}},
        {3, 0, 4, 130, 1, 5, {27, 29, 10}},
        {3, 0, 5, 140, 1, 6, {27, 29, 10}},
        {3, 0, 3, 30, 1, 4, {27, 29}},
        {3, 3, 1, 330, 4, 1, {28, 32}},
    };
    for (const Case& c : cases) {
        RulesBoard board;
        ASSERT_TRUE(board.setsMade);
        GameplayScreen& s = *board.screen;
        std::initializer_list<int> colours = {0, 1, 1, 1, 1, 1, 2};
        BallChain& chain = board.MakeChain(0, 0, colours);
        for (int i = 1; i <= c.balls; ++i)
            chain.FlagForRemoval(i);
        s.combo = c.comboBefore;
        s.chain = c.chainBefore;
        s.targetScore = 100000;
        s.CollectExploded(chain);
        SCOPED_TRACE(c.points);
        EXPECT_EQ(s.levelScore, c.points);
        EXPECT_EQ(s.combo, c.combo);
        EXPECT_EQ(s.chain, c.chain);
        EXPECT_EQ(s.matchedFlag, 1);
        EXPECT_EQ(board.app.sound->played, c.sounds);
        ASSERT_EQ(chain.count, 7 - c.balls);
        EXPECT_EQ(chain.balls[0].colour, 0);
        EXPECT_EQ(chain.balls[chain.count - 1].colour, 2);
        EXPECT_EQ(s.colourCount[1], 5 - c.balls);
        EXPECT_EQ(board.ExplosionCount(), c.balls);
        EXPECT_EQ(s.combos, c.combo == 2 ? 1 : 0);
    }
}

TEST(Matches, ABombsOneBallRemovalLeavesTheCountersAlone)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    BallChain& chain = board.MakeChain(0, 0, {3, 4, 5});
    chain.FlagForRemoval(1);
    s.combo = 1;
    s.chain = 3;
    s.bombCollecting = 1;
    s.targetScore = 100000;
    s.CollectExploded(chain);
    EXPECT_EQ(s.levelScore, 10);
    EXPECT_EQ(s.combo, 1);
    EXPECT_EQ(s.chain, 3);
    EXPECT_EQ(s.matchedFlag, 0);
    EXPECT_EQ(s.gapShots, 0);
    EXPECT_EQ(chain.count, 2);
    // Not even a one-ball removal outside a bomb counts as a combo.
    s.bombCollecting = 0;
    chain.FlagForRemoval(0);
    s.CollectExploded(chain);
    EXPECT_EQ(s.levelScore, 20);
    EXPECT_EQ(s.combo, 1);
    EXPECT_EQ(s.chain, 3);
    EXPECT_EQ(s.matchedFlag, 0);
}

TEST(Matches, TheTailStopsItsChainAndAnEmptiedChainMarksItsSweep)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.targetScore = 100000;
    board.holes[1]->furthestHead = Fixed::FromInt(777);
    BallChain& chain = board.MakeChain(0, 1, {2, 0, 0, 0});
    chain.speed = Fixed::FromInt(3);
    chain.targetSpeed = Fixed::FromInt(3);
    // The settling shot carries its gap bonus into the match; a settled neighbour's is void.
    chain.balls[2].growth = Fixed::Raw(128);
    chain.balls[2].SetGapBonus(440, 1);
    chain.balls[0].SetGapBonus(90, 1);
    s.shotPending = 1;
    RulesBoard::Flag(chain, {1, 2, 3});
    s.CollectExploded(chain);
    EXPECT_EQ(chain.count, 1);
    EXPECT_EQ(chain.speed, Fixed());
    EXPECT_EQ(chain.targetSpeed, Fixed());
    EXPECT_EQ(chain.speedDelay, 32);
    EXPECT_EQ(s.shotPending, 0);
    EXPECT_EQ(chain.balls[0].GetGapBonusPoints(), 0);
    EXPECT_EQ(s.levelScore, 470);
    EXPECT_EQ(s.gapShots, 1);
    EXPECT_EQ(s.chainCount, 1);

    chain.FlagForRemoval(0);
    s.CollectExploded(chain);
    EXPECT_EQ(chain.count, 0);
    EXPECT_EQ(s.chainCount, 0);
    EXPECT_EQ(s.endSweepStart[1], Fixed::FromInt(777));
    EXPECT_EQ(s.colourCount[2], 0);
    // Colour counts never fall below 0.
    s.colourCount[0] = 0;
    BallChain& again = board.MakeChain(1, 0, {0});
    s.colourCount[0] = 0;
    again.FlagForRemoval(0);
    s.CollectExploded(again);
    EXPECT_EQ(s.colourCount[0], 0);
}

TEST(Scoring, OneAdditionPastFiftyAndAHundredThousandGivesOneLife)
{
    RulesBoard board;
    GameplayScreen& s = *board.screen;
    ModeProgress& progress = board.app.Progress();
    progress.score = 49990;
    progress.lives = 3;
    s.AddScore(60000);
    EXPECT_EQ(s.levelScore, 60000);
    EXPECT_EQ(progress.lives, 4);
    EXPECT_EQ(board.app.sound->played, std::vector<int>{kExtraLifeSound});
    s.AddScore(10);
    EXPECT_EQ(progress.lives, 4);

    // From 49,990 with the finished levels: a plain addition (the time bonus) crossing 50,000
    // earns nothing and leaves the next points nothing to give; without it the next 100 give one.
    progress.score = 49000;
    s.levelScore = 990;
    s.levelScore += 200;
    s.AddScore(100);
    EXPECT_EQ(progress.lives, 4);
    s.levelScore = 990;
    s.AddScore(100);
    EXPECT_EQ(progress.lives, 5);
    EXPECT_EQ(board.app.sound->played, (std::vector<int>{kExtraLifeSound, kExtraLifeSound}));
}

TEST(Target, ReachingItStopsFeedingFlashesAndReversesPastHalfway)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.curveCount = 2;
    s.curveLength[0] = Fixed::FromInt(1000);
    s.curveLength[1] = Fixed::FromInt(1000);
    board.holes[1]->furthestHead = Fixed::FromInt(501);
    s.reverseDuration = 99;
    s.slowTimer = 40;
    s.targetScore = 1000;
    BallChain& chain = board.MakeChain(0, 0, {1, 1, 1, 2});
    s.levelScore = 990;
    s.CheckTargetReached();
    EXPECT_EQ(s.targetReached, 0);
    s.levelScore = 1000;
    s.CheckTargetReached();
    EXPECT_EQ(s.targetReached, 1);
    EXPECT_EQ(s.reverseTimer, 99);
    EXPECT_EQ(s.slowTimer, 0);
    EXPECT_EQ(s.powerUpsUsed, 1);
    EXPECT_EQ(board.app.sound->played, (std::vector<int>{kReverseSound, kTargetSound}));
    for (int i = 0; i < chain.count; ++i)
        EXPECT_EQ(chain.balls[i].sprite->GetFlashCounter(), 23);
    // Once reached, nothing more happens.
    s.CheckTargetReached();
    EXPECT_EQ(board.app.sound->played.size(), 2u);

    RulesBoard half;
    half.screen->curveLength[0] = Fixed::FromInt(1000);
    half.holes[0]->furthestHead = Fixed::FromInt(500);
    half.screen->targetScore = 10;
    half.screen->levelScore = 10;
    half.screen->CheckTargetReached();
    EXPECT_EQ(half.screen->reverseTimer, 0);
    EXPECT_EQ(half.app.sound->played, std::vector<int>{kTargetSound});
}

TEST(LevelEnd, ClearedOnlyWithTheTargetAnEmptyBoardAndNoLoss)
{
    RulesBoard board;
    GameplayScreen& s = *board.screen;
    EXPECT_FALSE(s.IsLevelCleared());
    s.targetReached = 1;
    EXPECT_TRUE(s.IsLevelCleared());
    BallChain& chain = board.MakeChain(3, 1, {0});
    EXPECT_FALSE(s.IsLevelCleared());
    chain.count = 0;
    s.lifeLost = 1;
    EXPECT_FALSE(s.IsLevelCleared());
}

TEST(LevelEnd, EffectsPendingAndTheQuietFramesAfterTheSweep)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    EXPECT_TRUE(s.NoEffectsPending());
    s.effects.Append(new Hole(&board.app));
    EXPECT_TRUE(s.NoEffectsPending());
    s.SpawnBallExplosion(Fixed::FromInt(10), Fixed::FromInt(10), 2);
    ASSERT_EQ(board.ExplosionCount(), 1);
    EXPECT_FALSE(s.NoEffectsPending());
    // Five frames with the ball explosion alive (it dies in its sixth), then sixteen quiet ones.
    int frames = 0;
    while (!s.IsEndSweepDone() && frames < 100) {
        s.UpdateEndExplosions();
        ++frames;
    }
    EXPECT_EQ(frames, 5 + 16);
    EXPECT_TRUE(s.NoEffectsPending());
    EXPECT_EQ(s.effects.Count(), 1);
}

namespace {

struct GapShot {
    int points, gapShots;
    std::string caption;
    std::vector<int> sounds;
};

// A shot of colour 0 that crossed gaps of the widths hits the second ball of a chain 1 0 0 2 and
// makes a run of three with the two behind it, which the match test flagged.
GapShot ShootThroughGaps(int displayMode, bool survival, std::initializer_list<int> widths)
{
    RulesBoard board(displayMode);
    GameplayScreen& s = *board.screen;
    if (!board.setsMade || !board.app.EnableTexts() || !s.CreateFloatingTexts())
        return {};
    if (survival) {
        board.app.Player().mode = 1;
        board.app.Progress().gauntletKind = 0;
    }
    s.targetScore = 100000;
    BallChain& chain = board.MakeChain(0, 0, {1, 0, 0, 2});
    Ball shot;
    shot.colour = 0;
    shot.position = chain.balls[1].position;
    int key = 100;
    for (int width : widths)
        shot.AddGapCrossed(0, width, key++);
    if (!s.ShotHitsChain(shot) || chain.count != 5 || chain.balls[1].colour != 0)
        return {};
    RulesBoard::Flag(chain, {1, 2, 3});
    board.app.sound->played.clear();
    s.CollectExploded(chain);
    const FloatingText* text = s.floatingTexts[0];
    return {s.levelScore, s.gapShots, text && text->GetLine(1) ? text->GetLine(1) : "", board.app.sound->played};
}

}  // namespace

TEST(Matches, AGapBonusRidesTheShotIntoItsMatch)
{
    // 100 px less 64 is 36: 500 x (300 - 36) / 300 = 440, and 30 for the three balls.
    GapShot one = ShootThroughGaps(5, false, {100});
    EXPECT_EQ(one.points, 470);
    EXPECT_EQ(one.gapShots, 1);
    EXPECT_EQ(one.caption, "GAP BONUS");
    EXPECT_EQ(one.sounds, (std::vector<int>{11, 27, 29}));
    // The narrower gap sets the bonus (40 px: the whole 500), doubled for two: 1,030.
    GapShot two = ShootThroughGaps(5, false, {40, 100});
    EXPECT_EQ(two.points, 1030);
    EXPECT_EQ(two.gapShots, 1);
    EXPECT_EQ(two.caption, "DOUBLE GAP BONUS");
    // Survival pays from 250: 220 + 30.
    EXPECT_EQ(ShootThroughGaps(5, true, {100}).points, 250);
    // At 320x240 the scale is 150: 500 x 114 / 150 = 380, and 30.
    EXPECT_EQ(ShootThroughGaps(2, false, {100}).points, 410);
    // No gap, no gap shot.
    GapShot none = ShootThroughGaps(5, false, {});
    EXPECT_EQ(none.points, 30);
    EXPECT_EQ(none.gapShots, 0);
    EXPECT_EQ(none.caption, "");
}

TEST(Target, SurvivalLevelsUpOnTheBoard)
{
    RulesBoard board;
    ASSERT_TRUE(board.app.BuildTables());
    GameplayScreen& s = *board.screen;
    PlayerRecord& player = board.app.Player();
    player.mode = 1;
    player.mapRanks[3] = 0;
    ModeProgress& progress = board.app.Progress();
    progress.stage = 9;
    progress.gauntletMap = 3;
    progress.gauntletKind = 0;
    progress.score = 5000;
    progress.lives = 1;
    progress.totalCombos = 10;
    progress.totalFrames = 100;
    progress.gapShots = 1;
    progress.totalCoins = 2;
    progress.bestCombo = 3;
    progress.bestChain = 7;
    s.curveCount = 2;
    s.curveLength[0] = Fixed::FromInt(1024);
    s.curveLength[1] = Fixed::FromInt(2000);
    // A quarter of the first track left: 25 points, and its head is past halfway. The second
    // head ran past its end: nothing, and no Reverse from it.
    board.holes[0]->furthestHead = Fixed::FromInt(768);
    board.holes[1]->furthestHead = Fixed::FromInt(2500);
    BallChain& chain = board.MakeChain(0, 0, {1, 2});
    s.targetScore = 1000;
    s.levelScore = 1200;
    s.combos = 3;
    s.levelTime = 900;
    s.gapShots = 2;
    s.coinsCollected = 1;
    s.bestCombo = 4;
    s.bestChain = 2;

    // Points in survival never give a life.
    s.AddScore(100000);
    EXPECT_EQ(progress.lives, 1);
    s.levelScore = 1200;
    board.app.sound->played.clear();
    s.CheckTargetReached();

    EXPECT_EQ(s.targetReached, 0);
    EXPECT_EQ(progress.score, 5000 + 1225);
    EXPECT_EQ(progress.totalCombos, 13);
    EXPECT_EQ(progress.totalFrames, 1000);
    EXPECT_EQ(progress.gapShots, 3);
    EXPECT_EQ(progress.totalCoins, 3);
    EXPECT_EQ(progress.bestCombo, 4);
    EXPECT_EQ(progress.bestChain, 7);
    EXPECT_EQ(s.levelScore, 0);
    EXPECT_EQ(s.combos + s.levelTime + s.gapShots + s.coinsCollected + s.bestCombo + s.bestChain, 0);
    EXPECT_EQ(progress.stage, 10);
    EXPECT_EQ(player.mapRanks[3], 1);
    EXPECT_EQ(s.targetScore, 937);
    EXPECT_EQ(s.titleTimer, 99);
    EXPECT_GT(s.reverseTimer, 0);
    EXPECT_EQ(s.reverseTimer, s.reverseDuration);
    EXPECT_EQ(board.app.sound->played, (std::vector<int>{kReverseSound, kTargetSound}));
    EXPECT_EQ(chain.balls[0].sprite->GetFlashCounter(), 23);

    // The next target is counted from 0 again; a rank already higher stays.
    player.mapRanks[3] = 3;
    s.levelScore = 937;
    s.CheckTargetReached();
    EXPECT_EQ(progress.stage, 11);
    EXPECT_EQ(player.mapRanks[3], 3);
}

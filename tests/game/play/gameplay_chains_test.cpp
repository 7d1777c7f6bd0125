#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/play/ball_sprite.h"
#include "game/play/hole.h"
#include "tests/game/play/rolling_board.h"

namespace {

std::vector<int> Flagged(const BallChain& chain)
{
    std::vector<int> out;
    for (int i = 0; i < chain.count; ++i)
        if (chain.balls[i].matched)
            out.push_back(i);
    return out;
}

void ExpectSpacing(const BallChain& chain, Fixed spacing)
{
    for (int i = 1; i < chain.count; ++i)
        EXPECT_EQ(chain.balls[i - 1].distance - chain.balls[i].distance, spacing) << "between " << i - 1 << " and " << i;
}

}  // namespace

TEST(GameplayChains, TouchingColoursNeverSeparate)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    BallChain& chain = t.Lay(0, {400, 368, 336, 304}, {0, 1, 2, 3});
    chain.entering = 0;
    chain.speed = chain.targetSpeed = F(1);

    // Forward the tail pushes everyone: 30 frames at 1 px.
    for (int frame = 0; frame < 30; ++frame) {
        b.KeepSpacing();
        b.AdvanceChains();
        ExpectSpacing(chain, F(32));
        EXPECT_TRUE(BoardValid(b)) << "frame " << frame;
    }
    EXPECT_EQ(chain.balls[3].distance, F(334));
    EXPECT_EQ(chain.balls[0].distance, F(430));

    // Under Reverse the head pulls everyone back; the speed ramps down through 0 to -2.
    b.reverseTimer = 100;
    for (int frame = 0; frame < 40; ++frame) {
        b.KeepSpacing();
        b.AdvanceChains();
        ExpectSpacing(chain, F(32));
        EXPECT_TRUE(BoardValid(b)) << "frame " << frame;
    }
    EXPECT_EQ(chain.speed, F(-2));
    EXPECT_LT(chain.balls[0].distance, F(430));

    // The tail laid on its neighbour (as an insert leaves it) pushes those ahead by at most 7.2 px
    // a frame (raw 1843) until the spacing is whole again, after five frames.
    b.reverseTimer = 0;
    chain.balls[3].distance = chain.balls[2].distance;
    const Fixed head = chain.balls[0].distance;
    b.KeepSpacing();
    EXPECT_EQ(chain.balls[2].distance - chain.balls[3].distance, Fixed::Raw(1843));
    EXPECT_EQ(chain.balls[0].distance - head, Fixed::Raw(1843));
    for (int frame = 0; frame < 4; ++frame)
        b.KeepSpacing();
    ExpectSpacing(chain, F(32));
    EXPECT_EQ(chain.balls[0].distance - head, F(32));
}

TEST(GameplayChains, FeedsAtTheStartThenOneDiameterOn)
{
    RollingBoard t;
    ASSERT_TRUE(t.app.setsLoaded);
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    BallChain& chain = *b.chains[0];
    b.startDistance[0] = F(100);
    b.chainCount = 0;

    // An empty chain gets its ball at S and counts again.
    b.FeedChains();
    ASSERT_EQ(chain.count, 1);
    EXPECT_EQ(b.chainCount, 1);
    EXPECT_EQ(chain.balls[0].distance, F(100));
    EXPECT_EQ(chain.balls[0].isNew, 0);
    EXPECT_EQ(chain.balls[0].growth, F(1));
    EXPECT_NE(chain.balls[0].serial, 0);
    ASSERT_NE(chain.balls[0].sprite, nullptr);
    EXPECT_EQ(b.ballSprites.Count(), 1);
    EXPECT_EQ(b.colourCount[chain.balls[0].colour], 1);

    // Nothing until the tail stands at S + D = 132; then the new ball goes one diameter behind.
    chain.balls[0].distance = Fixed::Raw(F(132).raw - 1);
    b.FeedChains();
    EXPECT_EQ(chain.count, 1);
    chain.balls[0].distance = F(132);
    b.FeedChains();
    ASSERT_EQ(chain.count, 2);
    EXPECT_EQ(chain.balls[1].distance, F(100));
    EXPECT_NE(chain.balls[1].serial, chain.balls[0].serial);
    // A tail far on gets its follower at S + D, never further, and one ball per frame.
    chain.balls[1].distance = F(250);
    b.FeedChains();
    ASSERT_EQ(chain.count, 3);
    EXPECT_EQ(chain.balls[2].distance, F(132));
    EXPECT_EQ(b.chainCount, 1);

    // No feeding backwards, after the target, or into a chain of 199.
    chain.balls[2].distance = F(300);
    chain.speed = F(-1);
    b.FeedChains();
    chain.speed = F(0);
    b.targetReached = 1;
    b.FeedChains();
    EXPECT_EQ(chain.count, 3);
    b.targetReached = 0;
    chain.LayOut(199, F(10000));
    b.FeedChains();
    EXPECT_EQ(chain.count, 199);
}

TEST(GameplayChains, AFailedFeedLeavesTheChainUncounted)
{
    RollingBoard t(false);  // no ball sprites can be made
    ASSERT_TRUE(t.Tracks(2));
    GameplayScreen& b = *t.board;
    b.chainCount = 0;
    b.FeedChains();
    EXPECT_EQ(b.chains[0]->count, 0);
    EXPECT_EQ(b.chains[1]->count, 0);
    EXPECT_EQ(b.chainCount, 0);
    EXPECT_EQ(b.ballSprites.Count(), 0);
}

TEST(GameplayChains, ARedRedGapRollsBackAndThenMatches)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    b.normalSpeed = Fixed();  // the tail stands still
    const int red = 1;
    BallChain& chain = t.Lay(0, {300, 268, 200, 168, 136}, {0, red, red, red, red});
    chain.entering = 0;
    chain.balls[4].isNew = 1;

    // Pull-back accelerates by 0.25 a frame: -0.25, -0.75, -1.5, then held at -2.
    const int pull[] = {-64, -192, -384, -512, -512};
    Fixed moved;
    for (int frame = 0; frame < 5; ++frame) {
        b.KeepSpacing();
        b.AdvanceChains();
        b.CloseGaps();
        b.FindMatches();
        moved += chain.balls[0].pullSpeed;
        EXPECT_EQ(chain.balls[0].pullSpeed.raw, pull[frame]) << "frame " << frame;
        EXPECT_EQ(chain.balls[0].distance, F(300) + moved);
        // The red behind the gap counts as new; the reds behind it wait for the gap to close.
        EXPECT_EQ(chain.balls[2].isNew, 2);
        EXPECT_TRUE(Flagged(chain).empty()) << "frame " << frame;
        EXPECT_TRUE(BoardValid(b)) << "frame " << frame;
    }
    EXPECT_EQ(chain.balls[2].distance, F(200));

    // 36 px to close: 2.5 px in the first three frames, then 2 a frame, so frame 20 touches.
    int frame = 5;
    while (Flagged(chain).empty() && frame < 40) {
        b.KeepSpacing();
        b.AdvanceChains();
        b.CloseGaps();
        b.FindMatches();
        EXPECT_TRUE(BoardValid(b)) << "frame " << frame;
        ++frame;
    }
    EXPECT_EQ(frame, 20);
    EXPECT_EQ(Flagged(chain), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(chain.balls[2].distance, F(200));
}

TEST(GameplayChains, AMatchNeedsThreeTouchingSettledBallsAndANewOne)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    const int red = 1;
    // Three settled reds between blue and green: nothing.
    BallChain& chain = t.Lay(0, {400, 368, 336, 304, 272}, {0, red, red, red, 2});
    b.FindMatches();
    EXPECT_TRUE(Flagged(chain).empty());

    // A fourth red that just joined flags all four, and only them.
    t.Lay(0, {400, 368, 336, 304, 272, 240}, {0, red, red, red, red, 2});
    chain.balls[4].isNew = 1;
    b.FindMatches();
    EXPECT_EQ(Flagged(chain), (std::vector<int>{1, 2, 3, 4}));

    // Still growing into place, it breaks the run.
    chain.balls[4].growth = Fixed::Raw(128);
    b.FindMatches();
    EXPECT_TRUE(Flagged(chain).empty());
    chain.balls[4].growth = F(1);

    // Touching means a diameter give or take one pixel.
    for (int i = 4; i < 6; ++i)
        chain.balls[i].distance -= F(1);
    b.FindMatches();
    EXPECT_EQ(Flagged(chain), (std::vector<int>{1, 2, 3, 4}));
    for (int i = 4; i < 6; ++i)
        chain.balls[i].distance -= Fixed::Raw(1);
    b.FindMatches();
    EXPECT_TRUE(Flagged(chain).empty());

    // Of two runs that could go, the one nearer the head goes first.
    t.Lay(0, {400, 368, 336, 304, 272, 240, 208}, {red, red, red, 2, 3, 3, 3});
    chain.balls[0].isNew = 1;
    chain.balls[6].isNew = 1;
    b.FindMatches();
    EXPECT_EQ(Flagged(chain), (std::vector<int>{0, 1, 2}));
}

TEST(GameplayChains, AMatchInARollingRunHandsItsPullBack)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    const int red = 1, green = 2;
    BallChain& chain = t.Lay(0, {400, 368, 336, 304, 272}, {green, red, red, red, green});
    chain.balls[3].isNew = 1;
    chain.balls[0].pullSpeed = F(-2);
    b.FindMatches();
    EXPECT_EQ(Flagged(chain), (std::vector<int>{1, 2, 3}));
    // The green behind takes the run's -2; greens on both sides: the run ahead slows to a
    // quarter and waits eight frames.
    EXPECT_EQ(chain.balls[4].pullSpeed, F(-2));
    EXPECT_EQ(chain.balls[0].pullSpeed, Fixed::Raw(-128));
    EXPECT_EQ(chain.pullBackDelay, 8);

    // Different colours around the match: the pull is handed on, the run ahead keeps its speed.
    t.Lay(0, {400, 368, 336, 304, 272}, {0, red, red, red, green});
    chain.balls[3].isNew = 1;
    chain.balls[0].pullSpeed = F(-2);
    chain.balls[4].pullSpeed = Fixed();
    chain.pullBackDelay = 0;
    b.FindMatches();
    EXPECT_EQ(chain.balls[4].pullSpeed, F(-2));
    EXPECT_EQ(chain.balls[0].pullSpeed, F(-2));
    EXPECT_EQ(chain.pullBackDelay, 0);
}

TEST(GameplayChains, TheSpeedRuleThroughTheScreensFields)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    b.startDistance[0] = F(300);
    BallChain& chain = t.Lay(0, {136, 104, 72}, {0, 1, 2});
    bool pause = true;

    // No head past its start yet: four times normal; Reverse cannot hold a chain still entering.
    b.reverseTimer = 10;
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(4));
    EXPECT_FALSE(pause);
    EXPECT_EQ(chain.entering, 1);
    // A waiting chain keeps its target; a life being lost rushes past everything else.
    chain.targetSpeed = F(3);
    chain.speedDelay = 2;
    b.lifeLost = 1;
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(3));
    chain.speedDelay = 0;
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(8));
    b.lifeLost = 0;

    // The rule follows the tail run's front ball, here the head at 600 (x = 300): the chain has
    // entered this frame, after the Reverse test, so Reverse holds from the next.
    t.Lay(0, {600, 568, 536}, {0, 1, 2});
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(1));
    EXPECT_EQ(chain.entering, 0);
    EXPECT_EQ(b.chainsEntered, 1);
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(-2));
    b.reverseTimer = 0;

    // Roll-in until the tail passes its distance; its end stops the rolling sound.
    b.rollInActive[0] = 1;
    b.rollInDistance[0] = F(700);
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(6));
    b.rollInDistance[0] = F(500);
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(1));
    EXPECT_EQ(b.rollInActive[0], 0);
    EXPECT_NE(std::find(t.app.sound->stopped.begin(), t.app.sound->stopped.end(), 12), t.app.sound->stopped.end());

    // A 128 px ramp up to the danger point at 664, the run halfway: 1 + 0.5 x (4 - 1).
    b.dangerPoint[0] = F(664);
    b.dangerRampLength = F(128);
    b.dangerRampReciprocal[0] = F(2);
    EXPECT_EQ(b.ChainSpeed(chain, pause), Fixed::FromDouble(2.5));
    // Past the danger point the end speed; Slow Down quarters it but never to 0.
    b.dangerPoint[0] = F(600);
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(4));
    b.slowTimer = 5;
    EXPECT_EQ(b.ChainSpeed(chain, pause), F(1));
    b.endSpeed = Fixed::Raw(3);
    EXPECT_EQ(b.ChainSpeed(chain, pause), Fixed::Raw(1));
    b.slowTimer = 0;

    // A tail run pulled back to close a gap stops the chain: target 0 with the pause, which makes
    // the chain wait eight frames and holds its gap closing as long.
    chain.speed = chain.targetSpeed = F(1);
    chain.balls[0].pullSpeed = F(-1);
    b.AdvanceChains();
    EXPECT_EQ(chain.targetSpeed, Fixed());
    EXPECT_EQ(chain.speed, F(1));
    EXPECT_EQ(chain.speedDelay, 7);
    EXPECT_EQ(chain.pullBackDelay, 8);
}

TEST(GameplayChains, AfterTheTargetUnenteredBallsGo)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(2));
    GameplayScreen& b = *t.board;
    Hole hole(&t.app);
    hole.furthestHead = F(777);
    b.curves[1].SetHole(&hole);
    b.startDistance[0] = F(300);
    b.startDistance[1] = F(300);
    BallChain& first = t.Lay(0, {400, 368, 336, 304, 272, 240}, {0, 0, 0, 0, 1, 2});
    BallChain& second = t.Lay(1, {250, 218}, {3, 3});
    first.balls[4].growth = Fixed::Raw(100);
    b.shotPending = 1;
    b.colourCount[2] = 0;

    // Before the target nothing goes.
    b.RemoveUnenteredBalls();
    EXPECT_EQ(first.count, 6);

    b.targetReached = 1;
    b.RemoveUnenteredBalls();
    EXPECT_EQ(first.count, 4);
    EXPECT_EQ(first.balls[3].distance, F(304));
    EXPECT_EQ(b.shotPending, 0);  // the growing ball went with them
    EXPECT_EQ(b.colourCount[1], 0);
    EXPECT_EQ(b.colourCount[2], 0);  // never below 0
    EXPECT_EQ(b.colourCount[3], 0);
    // The emptied chain no longer counts; its track's end sweep starts at the hole's furthest head.
    EXPECT_EQ(second.count, 0);
    EXPECT_EQ(b.chainCount, 1);
    EXPECT_EQ(b.endSweepStart[1], F(777));
    b.curves[1].SetHole(nullptr);
}

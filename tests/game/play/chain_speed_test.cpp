#include "game/play/chain_speed.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/game/play/board_app.h"

namespace {

FixedVec2 P(int x, int y)
{
    return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
}

Fixed F(int n)
{
    return Fixed::FromInt(n);
}

// A straight track along y = 100 from x = -300, so distance d stands at x = d - 300 and the
// track comes onto a 640-wide screen 300 px along.
void StraightTrack(CurvePath& path, BoardApp& app)
{
    path.Bind(&app);
    ASSERT_TRUE(path.Segment(0).SetPoints(P(-300, 100), P(100, 100), P(500, 100), P(900, 100)));
    path.SetSegmentCount(1);
}

// Roll-in 5 up to 400 px, normal 1, a 300 px ramp up to the danger point at 900, end 4.
Difficulty Speeds()
{
    Difficulty d;
    d.rollInSpeed = F(5);
    d.normalSpeed = F(1);
    d.endSpeed = F(4);
    d.rushSpeed = F(8);
    d.reverseSpeed = F(2);
    d.rollInDistance[0] = F(400);
    d.dangerDistance[0] = F(900);
    d.rampLength = F(300);
    d.rampFactor[0] = F(1) / Fixed::Raw(300);
    return d;
}

// A chain on the straight track, with the speeds above, seen on a 640x480 screen.
class ChainSpeedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StraightTrack(path, app);
        chain = std::make_unique<BallChain>(&app);
        chain->SetPath(&path, 0);
        state.difficulty = &d;
        state.screenWidth = 640;
        state.screenHeight = 480;
        state.collisionDistance = F(32);
    }
    Fixed Speed() { return ChainSpeed(state, *chain, pause); }

    BoardApp app;
    CurvePath path;
    std::unique_ptr<BallChain> chain;
    Difficulty d = Speeds();
    ChainSpeedState state;
    bool pause = true;
};

// Three touching balls make one run, which the rule follows by its front ball.
void PlaceRun(BallChain& chain, int front)
{
    chain.LayOut(3, F(front));
}

}  // namespace

TEST_F(ChainSpeedTest, FollowsTheRunFromRollInThroughTheRampToTheEnd)
{
    // Off screen, no head out yet: four times the normal speed; Reverse cannot hold an entering chain.
    PlaceRun(*chain, 136);
    state.reverseTimer = 5;
    EXPECT_EQ(Speed(), F(4));
    EXPECT_FALSE(pause);
    EXPECT_EQ(chain->entering, 1);
    EXPECT_EQ(chain->pathLength, path.Length());
    EXPECT_GT(chain->pathLength, F(1199));

    // The run comes on screen at x = 50: the chain has entered and rolls in.
    PlaceRun(*chain, 350);
    state.reverseTimer = 0;
    state.chainsOnBoard = true;
    EXPECT_EQ(Speed(), F(5));
    EXPECT_EQ(chain->entering, 0);
    EXPECT_EQ(state.chainsEntered, 1);
    EXPECT_FALSE(state.rollInEnded);

    // Entered, Reverse now drives it back.
    state.reverseTimer = 1;
    EXPECT_EQ(Speed(), F(-2));
    state.reverseTimer = 0;

    // Past the roll-in distance the roll-in ends for good, even when the run falls back.
    PlaceRun(*chain, 450);
    EXPECT_EQ(Speed(), F(1));
    EXPECT_TRUE(state.rollInEnded);
    EXPECT_EQ(state.rollInActive[0], 0);
    EXPECT_EQ(state.rollInActive[1], 1);
    PlaceRun(*chain, 350);
    EXPECT_EQ(Speed(), F(1));
    EXPECT_EQ(state.chainsEntered, 1);

    // Half way up the ramp (600..900): 150 x 227/256 = 133 raw of a whole, 1 + 133/256 x 3.
    PlaceRun(*chain, 750);
    EXPECT_EQ(Speed().raw, 256 + 399);
    PlaceRun(*chain, 599);
    EXPECT_EQ(Speed(), F(1));
    PlaceRun(*chain, 900);
    EXPECT_EQ(Speed(), F(4));

    // Slow Down takes a quarter.
    state.slowTimer = 10;
    EXPECT_EQ(Speed(), F(1));
    PlaceRun(*chain, 500);
    EXPECT_EQ(Speed().raw, 64);

    // A life lost rushes every chain, whatever the power-ups.
    state.reverseTimer = 3;
    state.lifeLost = true;
    EXPECT_EQ(Speed(), F(8));

    // While the chain waits its target holds, before any other rule.
    chain->targetSpeed = Fixed::Raw(77);
    chain->speedDelay = 2;
    EXPECT_EQ(Speed().raw, 77);
    EXPECT_FALSE(pause);
}

TEST_F(ChainSpeedTest, SlowDownNeverStopsTheEndSpeed)
{
    d.endSpeed = Fixed::Raw(3);
    d.normalSpeed = Fixed::Raw(3);
    state.chainsOnBoard = true;
    state.slowTimer = 1;
    state.rollInActive[0] = 0;

    PlaceRun(*chain, 950);
    EXPECT_EQ(Speed().raw, 1);
    // Only the end speed is kept moving: a slowed normal speed may stop.
    PlaceRun(*chain, 400);
    EXPECT_EQ(Speed().raw, 0);
}

TEST_F(ChainSpeedTest, ATailRunPulledBackStopsAndWaits)
{
    state.chainsOnBoard = true;
    state.rollInActive[0] = 0;

    // A 68 px gap before the last ball makes it the tail run on its own; the speed follows it,
    // 100 px up the ramp: 100 x 227/256 = 88 raw of a whole, 1 + 88/256 x 3.
    chain->LayOut(3, F(800));
    chain->balls[2].distance = F(700);
    chain->balls[1].pullSpeed = Fixed::Raw(-40);
    EXPECT_EQ(Speed().raw, 256 + 264);  // the tail run itself is not pulled
    EXPECT_FALSE(pause);

    chain->balls[2].pullSpeed = Fixed::Raw(-40);
    EXPECT_EQ(Speed(), Fixed());
    EXPECT_TRUE(pause);

    // The gap closed: the run is the whole chain, followed by its head at 800 on the ramp.
    chain->balls[2].distance = F(736);
    chain->balls[1].pullSpeed = Fixed();
    chain->balls[2].pullSpeed = Fixed();
    EXPECT_EQ(Speed().raw, 256 + 531);
    EXPECT_FALSE(pause);
}

TEST_F(ChainSpeedTest, ChainsOnBoardAndStartDistances)
{
    auto a = std::make_unique<BallChain>(&app);
    auto b = std::make_unique<BallChain>(&app);
    auto empty = std::make_unique<BallChain>(&app);
    a->LayOut(2, F(300));
    b->LayOut(2, F(60));
    b->curveIndex = 1;
    empty->balls[0].distance = F(5000);
    const Fixed starts[2] = {F(300), F(50)};
    const BallChain* first[] = {a.get(), empty.get()};
    EXPECT_FALSE(ChainsOnBoard(first, 2, starts));  // at the start distance is not beyond it
    const BallChain* both[] = {a.get(), b.get()};
    EXPECT_TRUE(ChainsOnBoard(both, 2, starts));

    EXPECT_EQ(CurveStartDistance(path, 640, 480, F(32)), F(268));
    EXPECT_EQ(CurveStartDistance(path, 640, 480, F(400)), Fixed());
    // Below a 90 px high screen the track never shows.
    EXPECT_EQ(CurveStartDistance(path, 640, 90, F(32)), Fixed());
}

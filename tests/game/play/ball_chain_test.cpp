#include "game/play/ball_chain.h"

#include <gtest/gtest.h>

#include <memory>

#include "game/play/ball_sprite.h"
#include "tests/game/play/board_app.h"

namespace {

Ball Shot(int colour, int x, int y)
{
    Ball ball;
    ball.colour = colour;
    ball.isNew = 1;
    ball.position = FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
    return ball;
}

}  // namespace

TEST(BallChain, LayOutCapsAndSpacesByDiameter)
{
    BoardApp app;
    auto chain = std::make_unique<BallChain>(&app);
    chain->LayOut(200, Fixed::FromInt(500));
    EXPECT_EQ(chain->count, 199);
    chain->LayOut(0, Fixed::FromInt(500));
    EXPECT_EQ(chain->count, 0);
    // Radius 16 in 640x480: one ball every 32 px behind the head.
    chain->LayOut(3, Fixed::FromInt(100));
    ASSERT_EQ(chain->count, 3);
    EXPECT_EQ(chain->balls[0].distance, Fixed::FromInt(100));
    EXPECT_EQ(chain->balls[2].distance, Fixed::FromInt(36));
    EXPECT_EQ(chain->balls[1].radius, Fixed::FromInt(16));
    EXPECT_EQ(chain->balls[1].growth, Fixed::FromInt(1));
}

TEST(BallChain, InsertsTakeTheirPlacesAndRefuseBadIndices)
{
    BoardApp app;
    auto chain = std::make_unique<BallChain>(&app);
    chain->LayOut(3, Fixed::FromInt(100));
    for (int i = 0; i < 3; ++i)
        chain->balls[i].colour = i;

    ASSERT_TRUE(chain->InsertAt(Shot(4, 7, 9), 0));
    EXPECT_EQ(chain->count, 4);
    EXPECT_EQ(chain->balls[0].distance, Fixed::FromInt(132));
    EXPECT_EQ(chain->balls[0].colour, 4);
    EXPECT_EQ(chain->balls[0].growth, Fixed());
    EXPECT_EQ(chain->balls[0].insertStart, FixedVec2(Fixed::FromInt(7), Fixed::FromInt(9)));
    EXPECT_EQ(chain->balls[1].colour, 0);

    // At k the shot takes the displaced ball's distance; after the last it goes one diameter behind.
    ASSERT_TRUE(chain->InsertAt(Shot(5, 0, 0), 2));
    EXPECT_EQ(chain->balls[2].distance, chain->balls[3].distance);
    EXPECT_EQ(chain->balls[2].colour, 5);
    EXPECT_EQ(chain->balls[3].colour, 1);
    ASSERT_TRUE(chain->InsertAfter(Shot(3, 0, 0), chain->count - 1));
    EXPECT_EQ(chain->balls[5].distance, Fixed::FromInt(36 - 32));
    EXPECT_EQ(chain->balls[5].colour, 3);

    int before = chain->count;
    EXPECT_FALSE(chain->InsertAt(Shot(0, 0, 0), -1));
    EXPECT_FALSE(chain->InsertAt(Shot(0, 0, 0), before + 1));
    EXPECT_FALSE(chain->InsertAfter(Shot(0, 0, 0), before));
    EXPECT_EQ(chain->count, before);

    chain->LayOut(199, Fixed::FromInt(9000));
    ASSERT_TRUE(chain->InsertAt(Shot(0, 0, 0), 199));
    EXPECT_EQ(chain->balls[199].distance, chain->balls[198].distance);
    EXPECT_FALSE(chain->InsertAt(Shot(0, 0, 0), 5));
    EXPECT_FALSE(chain->InsertAfter(Shot(0, 0, 0), 5));
    EXPECT_EQ(chain->count, 200);
}

TEST(BallChain, RemovalAndRunStarts)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    auto chain = std::make_unique<BallChain>(&app);
    chain->LayOut(4, Fixed::FromInt(200));
    BallSprite sprite(&app, 2);
    chain->balls[1].sprite = &sprite;
    chain->balls[2].colour = 5;
    chain->RemoveBall(1);
    EXPECT_TRUE(sprite.IsDead());
    EXPECT_EQ(chain->count, 3);
    EXPECT_EQ(chain->balls[1].colour, 5);
    chain->RemoveBall(3);
    chain->RemoveBall(-1);
    EXPECT_EQ(chain->count, 3);

    chain->FlagForRemoval(0);
    chain->FlagForRemoval(2);
    chain->ClearRemovalFlags();
    EXPECT_EQ(chain->balls[0].matched + chain->balls[2].matched, 0);

    // Distances 200, 136, 104: the gap of 64 before ball 1 starts a run there.
    EXPECT_EQ(BallChain::FindRunStart(chain->balls, 2, Fixed::FromInt(40)), 1);
    EXPECT_EQ(BallChain::FindRunStart(chain->balls, 2, Fixed::FromInt(64)), 0);
}

TEST(BallChain, SpeedRampWaitsThenClimbsInSixteenths)
{
    BoardApp app;
    auto chain = std::make_unique<BallChain>(&app);
    chain->SetTargetSpeed(Fixed::FromInt(2), false);
    EXPECT_EQ(chain->speedStep, Fixed::FromDouble(0.125));
    for (int i = 0; i < 8; ++i)
        chain->StepSpeed();
    EXPECT_EQ(chain->speed, Fixed());
    for (int i = 0; i < 15; ++i)
        chain->StepSpeed();
    EXPECT_EQ(chain->speed, Fixed::FromDouble(1.875));
    chain->StepSpeed();
    EXPECT_EQ(chain->speed, Fixed::FromInt(2));
    EXPECT_EQ(chain->speedStep, Fixed());

    // The same target again: a step of -1 raw unit and no change.
    chain->SetTargetSpeed(Fixed::FromInt(2), false);
    EXPECT_EQ(chain->speedStep.raw, -1);
    EXPECT_EQ(chain->speedDelay, 0);
    chain->StepSpeed();
    EXPECT_EQ(chain->speed, Fixed::FromInt(2));

    // Holding the gaps delays both the ramp and the pull-back; a tiny fall steps one raw unit.
    chain->SetTargetSpeed(Fixed::Raw(2 * 256 - 5), true);
    EXPECT_EQ(chain->speedDelay, 8);
    EXPECT_EQ(chain->pullBackDelay, 8);
    EXPECT_EQ(chain->speedStep.raw, -1);
}

TEST(BallChain, UpdatePlacesTurnsAndSettlesBalls)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    CurvePath path;
    path.Bind(&app);
    auto point = [](int x, int y) { return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y)); };
    // Down the screen: x = 50, y from 0 to 450, sampled every 10 px.
    ASSERT_TRUE(path.Segment(0).SetPoints(point(50, 0), point(50, 150), point(50, 300), point(50, 450)));
    path.SetSegmentCount(1);
    ASSERT_TRUE(path.BuildTable());

    auto chain = std::make_unique<BallChain>(&app);
    chain->SetPath(&path, 1);
    chain->LayOut(3, Fixed::FromInt(100));
    BallSprite a(&app, 0), b(&app, 1), c(&app, 2);
    ASSERT_TRUE(a.Init());
    ASSERT_TRUE(b.Init());
    ASSERT_TRUE(c.Init());
    chain->balls[0].sprite = &a;
    chain->balls[2].sprite = &b;  // ball 1 has none and is still placed
    chain->balls[2].distance = Fixed::FromInt(-100);

    RecordingScreen screen;
    chain->Update(&screen);
    EXPECT_EQ(chain->balls[0].position, point(50, 100));
    // 68 lies between samples: 60 + 10 * (8 * round(16 / 10) >> 4) = 68.0078.
    EXPECT_EQ(chain->balls[1].position.y.raw, 68 * 256 + 2);
    // Rolling down (+y, 90 degrees) is the unturned sprite: rotation 0. Its centre is the point.
    EXPECT_EQ(a.GetRotation(), 0);
    EXPECT_EQ(a.Bounds().x, Fixed::FromInt(50 - 16));
    EXPECT_EQ(a.Bounds().y, Fixed::FromInt(100 - 16));
    EXPECT_EQ(a.GetPathIndex(), 1);
    EXPECT_EQ(a.GetVisibility(), 255);
    // Before the track start: off screen, visible, not hidden, frame 0.
    EXPECT_EQ(chain->balls[2].position, point(-400, -400));
    EXPECT_FALSE(b.IsHidden());
    EXPECT_EQ(b.GetFrame(), Fixed());
    EXPECT_EQ(screen.settled, 0);

    // An inserted ball glides from where the shot hit to its place, and settles after
    // ceil(1 / 0.227) = 5 updates.
    Ball shot;
    shot.position = point(150, 100);
    shot.sprite = &c;
    ASSERT_TRUE(chain->InsertAt(shot, 1));
    chain->balls[1].distance = Fixed::FromInt(80);
    chain->Update(&screen);
    // growth 58/256: 150 + (50 - 150) * 0.2265 = 127.35
    EXPECT_EQ(c.Bounds().x.ToInt() + 16, 127);
    for (int i = 0; i < 3; ++i)
        chain->Update(&screen);
    EXPECT_EQ(screen.settled, 0);
    chain->Update(&screen);
    EXPECT_EQ(screen.settled, 1);
    EXPECT_EQ(chain->balls[1].growth, Fixed::FromInt(1));
    chain->Update(nullptr);
    EXPECT_EQ(c.Bounds().x, Fixed::FromInt(50 - 16));
}

TEST(Ball, GapRecordsAndResets)
{
    Ball ball;
    EXPECT_EQ(ball.SmallestGapCrossed(), 0);
    EXPECT_TRUE(ball.AddGapCrossed(0, 40, 7));
    EXPECT_FALSE(ball.AddGapCrossed(1, 10, 7));
    for (int key = 8; key < 12; ++key)
        EXPECT_TRUE(ball.AddGapCrossed(0, 60 - key, key));
    EXPECT_EQ(ball.GetGapsCrossed(), 5);
    EXPECT_TRUE(ball.AddGapCrossed(0, 1, 99));
    EXPECT_EQ(ball.GetGapsCrossed(), 5);
    // Widths 40, 52, 51, 50, 49.
    EXPECT_EQ(ball.SmallestGapCrossed(), 40);
    ball.SetTrackDistance(1, 321);
    EXPECT_EQ(ball.GetTrackDistance(1), 321);
    EXPECT_EQ(ball.GetTrackDistance(3), -1);
    ball.SetGapBonus(250, 2);
    Ball copy;
    copy.Assign(ball);
    EXPECT_EQ(copy.GetGapBonusPoints(), 250);
    ball.Reset();
    EXPECT_EQ(ball.GetGapsCrossed(), 0);
    EXPECT_EQ(ball.GetTrackDistance(1), -1);
    EXPECT_EQ(ball.growth, Fixed::FromInt(1));
}

TEST(BallChain, SerialsStayWithTheirBallsAsSlotsShift)
{
    BoardApp app;
    auto chain = std::make_unique<BallChain>(&app);
    chain->LayOut(4, Fixed::FromInt(200));
    int32_t serials[4];
    for (int i = 0; i < 4; ++i) {
        serials[i] = chain->balls[i].serial;
        EXPECT_NE(serials[i], 0);
        for (int j = 0; j < i; ++j)
            EXPECT_NE(serials[i], serials[j]);
    }
    // A shot carries its own serial in; the displaced balls keep theirs one slot up.
    Ball shot = Shot(2, 0, 0);
    shot.serial = Ball::NewSerial();
    ASSERT_TRUE(chain->InsertAt(shot, 1));
    EXPECT_EQ(chain->balls[1].serial, shot.serial);
    EXPECT_EQ(chain->balls[2].serial, serials[1]);
    chain->RemoveBall(0);
    EXPECT_EQ(chain->balls[0].serial, shot.serial);
    EXPECT_EQ(chain->balls[3].serial, serials[3]);
    // A fresh layout never repeats a serial handed out before.
    chain->LayOut(2, Fixed::FromInt(200));
    EXPECT_GT(chain->balls[0].serial, shot.serial);
    Ball reset;
    EXPECT_EQ(reset.serial, 0);
}

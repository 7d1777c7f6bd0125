// The board's input rules on a bare screen with a frog and its two balls: the stylus aims, lifts
// shoot, a tap on the frog swaps, a second finger swaps and takes over the aim; the keypad turns,
// about-turns once per press and shoots.
#include <gtest/gtest.h>

#include "board_app.h"
#include "game/app/game_keys.h"
#include "game/play/ball_sprite.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"
#include "game/tables/display_mode.h"

namespace {

constexpr int kDown = 1, kUp = 2, kMove = 3;

class InputBoard : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.AddBallSets());
        board.frog = new Frog(&app);
        // A 60 x 60 frog centred on (320, 240).
        FixedRect box;
        box.Set(Fixed::FromInt(290), Fixed::FromInt(210), Fixed::FromInt(60), Fixed::FromInt(60));
        board.frog->SetBounds(box);
        const int r = app.Layout().ints[kLayoutFrogTouch];
        board.frogTouchRadiusSquared = Fixed::FromInt(r * r);
        board.currentBall = new BallSprite(&app, 0);
        board.nextBall = new BallSprite(&app, 1);
        ASSERT_TRUE(board.currentBall->Init());
        ASSERT_TRUE(board.nextBall->Init());
        board.playState = kPlayPlaying;
    }
    void TearDown() override
    {
        // The screen's own destructor may or may not own these yet; hand them back either way.
        delete board.frog;
        delete board.currentBall;
        delete board.nextBall;
        board.frog = nullptr;
        board.currentBall = board.nextBall = nullptr;
    }
    int Angle() const { return board.frog->GetAngle().ToInt(); }
    BallSprite* Current() const { return board.currentBall; }

    BoardApp app{kDisplayMode640x480};
    GameplayScreen board{&app};
};

}  // namespace

TEST_F(InputBoard, AimFollowsTheStylusAndTheLiftShoots)
{
    // Straight up from the frog's centre is angle 180 (90 points down, less the 90 the art is turned).
    board.OnPointer(320, 40, kDown);
    EXPECT_EQ(Angle(), 180);
    board.OnPointer(520, 240, kMove);
    EXPECT_EQ(Angle(), 270);
    EXPECT_EQ(board.pointerDown, 1);
    EXPECT_EQ(board.shootRequest, 0);
    board.OnPointer(320, 440, kUp);
    EXPECT_EQ(Angle(), 0);
    EXPECT_EQ(board.shootRequest, 1);
    EXPECT_EQ(board.pointerDown, 0);
    EXPECT_EQ(board.keyAiming, 0);

    // While the shot is on its way a new drag aims no more and its lift asks for no second shot.
    board.shootRequest = 0;
    board.shotPending = 1;
    board.OnPointer(520, 240, kDown);
    EXPECT_EQ(Angle(), 270);
    board.OnPointer(320, 40, kUp);
    EXPECT_EQ(board.shootRequest, 0);
    // A requested shot freezes the aim until it leaves.
    board.shotPending = 0;
    board.shootRequest = 1;
    board.OnPointer(120, 240, kDown);
    EXPECT_EQ(Angle(), 180);
}

TEST_F(InputBoard, DragFromTheFrogSwapsOnceAndNeverAims)
{
    BallSprite* first = Current();
    BallSprite* second = board.nextBall;
    board.OnPointer(325, 235, kDown);
    EXPECT_EQ(board.frogTapped, 1);
    EXPECT_EQ(Angle(), 0);
    EXPECT_EQ(Current(), second);
    EXPECT_EQ(board.nextBall, first);
    board.OnPointer(500, 100, kMove);
    board.OnPointer(325, 235, kMove);
    EXPECT_EQ(Angle(), 0);
    EXPECT_EQ(Current(), second);
    board.OnPointer(100, 100, kUp);
    EXPECT_EQ(board.frogTapped, 0);
    EXPECT_EQ(board.shootRequest, 0);
    EXPECT_EQ(Angle(), 0);
    EXPECT_EQ(Current(), second);
    // The next press aims again.
    board.OnPointer(520, 240, kDown);
    EXPECT_EQ(Angle(), 270);
}

TEST_F(InputBoard, FrogTouchIsARoundAreaInsideItsSquare)
{
    const int r = app.Layout().ints[kLayoutFrogTouch];
    EXPECT_TRUE(board.HitTestFrog(320, 240));
    EXPECT_TRUE(board.HitTestFrog(320 + r, 240));
    EXPECT_FALSE(board.HitTestFrog(320 + r + 1, 240));
    EXPECT_FALSE(board.HitTestFrog(320, 240 - r - 1));
    // The square's corner lies outside the circle.
    EXPECT_FALSE(board.HitTestFrog(320 + r, 240 + r));
    Frog* frog = board.frog;
    board.frog = nullptr;
    EXPECT_FALSE(board.HitTestFrog(320, 240));
    board.frog = frog;
}

TEST_F(InputBoard, SecondFingerSwapsAndTakesOverTheAim)
{
    board.OnPointer(520, 240, kDown);
    EXPECT_EQ(Angle(), 270);
    BallSprite* first = Current();
    board.OnPointerEx(120, 240, kDown, 1);
    EXPECT_EQ(board.secondPointerDown, 1);
    EXPECT_EQ(board.nextBall, first);
    EXPECT_NE(Current(), first);
    // The second finger itself never aims.
    EXPECT_EQ(Angle(), 270);
    board.OnPointerEx(120, 300, kMove, 1);
    EXPECT_EQ(Angle(), 270);
    // Lifting the aiming finger hands the aim to the other, without a shot.
    board.OnPointer(520, 240, kUp);
    EXPECT_EQ(board.activePointer, 1);
    EXPECT_EQ(board.secondPointerDown, 0);
    EXPECT_EQ(board.shootRequest, 0);
    EXPECT_EQ(Angle(), AngleBetweenPoints(Fixed::FromInt(320), Fixed::FromInt(240), Fixed::FromInt(120),
                                          Fixed::FromInt(300)).ToInt() - 90);
    board.OnPointerEx(320, 40, kMove, 1);
    EXPECT_EQ(Angle(), 180);
    board.OnPointerEx(320, 40, kUp, 1);
    EXPECT_EQ(board.shootRequest, 1);
    EXPECT_EQ(board.activePointer, 0);
    // Pointers above 1 and the fourth phase are taken without effect.
    board.shootRequest = 0;
    EXPECT_TRUE(board.OnPointerEx(520, 240, kUp, 2));
    EXPECT_TRUE(board.OnPointer(520, 240, 4));
    EXPECT_EQ(Angle(), 180);
    EXPECT_EQ(board.shootRequest, 0);
}

TEST_F(InputBoard, LifeLostIgnoresTheStylus)
{
    board.playState = kPlayLifeLost;
    board.OnPointer(520, 240, kDown);
    board.OnPointer(520, 240, kUp);
    EXPECT_EQ(Angle(), 0);
    EXPECT_EQ(board.shootRequest, 0);
    EXPECT_EQ(board.pointerPoints[0].x, 520);
}

TEST_F(InputBoard, KeysTurnAboutOncePerPressAndShoot)
{
    board.SetAim(Fixed::FromInt(30));
    EXPECT_TRUE(board.OnKey(kKeyDown, true));
    EXPECT_EQ(Angle(), 210);
    EXPECT_EQ(board.keyAiming, 1);
    // A held key repeats its press; the turn waits for a release.
    board.OnKey(kKeyDown, true);
    EXPECT_EQ(Angle(), 210);
    board.OnKey(kKeyDown, false);
    board.OnKey(kKeyDown, true);
    EXPECT_EQ(Angle(), 30);

    board.keyTurnRate = Fixed::FromInt(9);
    board.OnKey(kKeyLeft, true);
    EXPECT_EQ(board.keysHeld[0], 1);
    EXPECT_EQ(board.keyTurnRate, Fixed::FromInt(1));
    board.keyTurnRate = Fixed::FromInt(9);
    board.OnKey(kKeyLeft, true);
    EXPECT_EQ(board.keyTurnRate, Fixed::FromInt(9));
    board.OnKey(kKeyRight, true);
    EXPECT_EQ(board.keysHeld[1], 1);
    board.OnKey(kKeyLeft, false);
    board.OnKey(kKeyRight, false);
    EXPECT_EQ(board.keysHeld[0] + board.keysHeld[1], 0);

    EXPECT_EQ(board.shootRequest, 0);
    board.OnKey(kKeyAction, true);
    EXPECT_EQ(board.shootRequest, 1);
}

TEST_F(InputBoard, AimWrapsAndPlacesTheMouth)
{
    board.SetAim(Fixed::FromInt(-90));
    EXPECT_EQ(Angle(), 270);
    board.SetAim(Fixed::FromInt(725));
    EXPECT_EQ(Angle(), 5);
    board.SetAim(Fixed::FromInt(360));
    EXPECT_EQ(Angle(), 0);
    // At angle 0 the mouth lies the layout's distance below the frog's centre.
    const double mouth = app.Layout().ints[kLayoutMouthDistance];
    ASSERT_GT(mouth, 0);
    EXPECT_NEAR(board.mouthPoint.x.raw / 256.0, 320, 0.1);
    EXPECT_NEAR(board.mouthPoint.y.raw / 256.0, 240 + mouth, 0.1);
    board.SetAim(Fixed::FromInt(180));
    EXPECT_NEAR(board.mouthPoint.x.raw / 256.0, 320, 0.1);
    EXPECT_NEAR(board.mouthPoint.y.raw / 256.0, 240 - mouth, 0.1);
    board.SetAim(Fixed::FromInt(90));
    EXPECT_NEAR(board.mouthPoint.x.raw / 256.0, 320 - mouth, 0.1);
}

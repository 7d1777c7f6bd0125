// The help scene player: steps run in queue order, a blocking step holds back the ones behind it,
// items move, animate and turn by their rules, and removed items are forgotten by the steps.
#include <gtest/gtest.h>

#include <memory>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "game/help/help_scene.h"
#include "tests/game/play/board_app.h"

namespace {

Fixed F(double value)
{
    return Fixed::FromDouble(value);
}

HelpSpriteItem* Sprite(HelpScene& scene, const char* name)
{
    HelpItem* item = scene.FindItem(name);
    return item && item->Kind() == kHelpItemSprite ? static_cast<HelpSpriteItem*>(item) : nullptr;
}

struct HelpSceneTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(app.AddSet("Ball1", 50, 8, 8));
        ASSERT_TRUE(app.AddSet("Coin", 24, 8, 8));
        ASSERT_TRUE(app.AddSet("BallShadow", 1, 10, 10));
        // The loader holds every set; the scene only looks the shadow up.
        shadow = app.GetSpriteList()->FindByName("BallShadow");
        ASSERT_TRUE(shadow && shadow->Load().ok());
    }
    void TearDown() override
    {
        scene.Reset();
        if (shadow)
            shadow->Release();
    }
    BoardApp app;
    HelpScene scene{&app, 1, nullptr, 0, 0};
    ResourceEntry* shadow = nullptr;
};

}  // namespace

TEST(HelpStepTowardsStop, StopsOnTheStopOrWrapsWithoutOne)
{
    Fixed value, speed = F(0.75);
    const double expected[] = {0.75, 1.5, 2.25, 3.0};
    for (double e : expected) {
        StepTowardsStop(value, speed, Fixed::FromInt(3), Fixed::FromInt(50));
        EXPECT_EQ(value, F(e));
    }
    EXPECT_EQ(speed.raw, 0);

    // No stop: past the end of the range the value wraps, both ways.
    value = Fixed::FromInt(11);
    speed = Fixed::FromInt(2);
    StepTowardsStop(value, speed, Fixed::FromInt(-1), Fixed::FromInt(12));
    EXPECT_EQ(value, Fixed::FromInt(1));
    speed = Fixed::FromInt(-3);
    StepTowardsStop(value, speed, Fixed::FromInt(-1), Fixed::FromInt(12));
    EXPECT_EQ(value, Fixed::FromInt(10));

    // A stop behind a forward turn is reached by wrapping round; the last step lands on it.
    value = Fixed::FromInt(350);
    speed = Fixed::FromInt(15);
    StepTowardsStop(value, speed, Fixed::FromInt(10), Fixed::FromInt(360));
    EXPECT_EQ(value, Fixed::FromInt(5));
    StepTowardsStop(value, speed, Fixed::FromInt(10), Fixed::FromInt(360));
    EXPECT_EQ(value, Fixed::FromInt(10));
    EXPECT_EQ(speed.raw, 0);
}

TEST_F(HelpSceneTest, WaitTakesOneFrameMoreThanItsCountAndHoldNeverEnds)
{
    scene.AddWait(0);
    EXPECT_TRUE(scene.IsBusy());
    scene.Update();
    EXPECT_FALSE(scene.IsBusy());

    scene.Reset();
    scene.AddWait(5);
    for (int frame = 1; frame <= 5; ++frame) {
        scene.Update();
        EXPECT_TRUE(scene.IsBusy()) << frame;
    }
    scene.Update();
    EXPECT_FALSE(scene.IsBusy());

    scene.Reset();
    scene.AddHold();
    for (int frame = 0; frame < 100; ++frame)
        scene.Update();
    EXPECT_TRUE(scene.IsBusy());
}

TEST_F(HelpSceneTest, DiagonalMoveRunsBothAxesAndEndsTheFrameAfterTheLongerArrives)
{
    scene.AddCreateSprite("ball", "Ball1", 0, 100, 100, 255);
    scene.BlockOnLast();
    scene.AddMove("ball", Fixed::FromInt(30), Fixed::FromInt(-20), Fixed::FromInt(4), Fixed::FromInt(4));
    scene.Update();  // the create
    HelpSpriteItem* ball = Sprite(scene, "ball");
    ASSERT_NE(ball, nullptr);
    const int xs[] = {104, 108, 112, 116, 120, 124, 128, 130, 130};
    const int ys[] = {96, 92, 88, 84, 80, 80, 80, 80, 80};
    for (int run = 0; run < 9; ++run) {
        EXPECT_TRUE(scene.IsBusy()) << run;
        scene.Update();
        EXPECT_EQ(ball->x, Fixed::FromInt(xs[run])) << run;
        EXPECT_EQ(ball->y, Fixed::FromInt(ys[run])) << run;
    }
    EXPECT_FALSE(scene.IsBusy());
}

TEST_F(HelpSceneTest, UnblockedStepsShareFramesAndABlockHoldsTheRestOneFrame)
{
    scene.AddCreateSprite("a", "Ball1", 0, 0, 0, 255);
    scene.AddCreateSprite("b", "Ball1", 0, 50, 0, 255);
    scene.BlockOnLast();
    scene.AddMove("a", Fixed::FromInt(10), Fixed(), Fixed::FromInt(2), Fixed());
    scene.AddMove("b", Fixed(), Fixed::FromInt(10), Fixed(), Fixed::FromInt(5));
    scene.AddAnimate("a", F(0.75), 3);
    scene.Update();
    HelpSpriteItem* a = Sprite(scene, "a");
    HelpSpriteItem* b = Sprite(scene, "b");
    ASSERT_TRUE(a && b);
    // The animation was held back behind the blocking create.
    EXPECT_EQ(a->frameSpeed.raw, 0);
    EXPECT_EQ(a->frame.raw, 0);
    scene.Update();
    EXPECT_EQ(a->x, Fixed::FromInt(2));
    EXPECT_EQ(b->y, Fixed::FromInt(5));
    // The animation ran in this frame and the item stepped in the same one.
    EXPECT_EQ(a->frame, F(0.75));
    scene.Update();
    EXPECT_EQ(a->x, Fixed::FromInt(4));
    EXPECT_EQ(b->y, Fixed::FromInt(10));
    EXPECT_EQ(a->frame, F(1.5));
    scene.Update();
    scene.Update();
    EXPECT_EQ(a->frame, F(3.0));
    EXPECT_EQ(a->frameSpeed.raw, 0);
    scene.Update();
    EXPECT_EQ(a->frame, F(3.0));
}

TEST_F(HelpSceneTest, ARemovedItemIsForgottenByItsMoveWhichFindsTheOlderOneOrEnds)
{
    scene.AddCreateSprite("x", "Ball1", 0, 0, 0, 255);
    scene.AddCreateSprite("x", "Ball1", 0, 0, 50, 255);
    scene.BlockOnLast();
    scene.AddMove("x", Fixed::FromInt(100), Fixed(), Fixed::FromInt(1), Fixed());
    scene.AddWait(2);
    scene.BlockOnLast();
    scene.AddRemove("x");
    scene.Update();
    ASSERT_EQ(scene.GetItemCount(), 2);
    auto* older = static_cast<HelpSpriteItem*>(scene.GetItem(0));
    // The lookup takes the later of the two.
    EXPECT_EQ(scene.FindItem("x"), scene.GetItem(1));
    scene.Update();
    scene.Update();
    scene.Update();  // the wait ends
    EXPECT_EQ(scene.GetItemCount(), 2);
    scene.Update();  // a frame later the step behind it takes the later "x" away
    ASSERT_EQ(scene.GetItemCount(), 1);
    EXPECT_EQ(older->x.raw, 0);
    scene.Update();  // bound again, to the older one
    EXPECT_EQ(older->x, Fixed::FromInt(1));
    EXPECT_TRUE(scene.IsBusy());

    // With no item of the name left the move ends on its next run.
    scene.AddRemove("x");
    scene.Update();
    EXPECT_EQ(scene.GetItemCount(), 0);
    scene.Update();
    EXPECT_FALSE(scene.IsBusy());
}

TEST_F(HelpSceneTest, MissingSetsAndNamesAddNothingAndFinish)
{
    scene.AddCreateSprite("ghost", "NoSuchSet", 0, 0, 0, 255);
    scene.AddAnimate("nobody", F(1), -1);
    scene.AddMove("nobody", Fixed::FromInt(5), Fixed(), Fixed::FromInt(1), Fixed());
    scene.AddRemove("nobody");
    scene.AddSwapBalls("nobody");
    scene.Update();
    EXPECT_EQ(scene.GetItemCount(), 0);
    EXPECT_FALSE(scene.IsBusy());
    EXPECT_EQ(scene.FindItem(nullptr), nullptr);
}

TEST_F(HelpSceneTest, BallsGetTheShadowAndAnInvisibleSpriteDrawsNeitherItNorItsShadow)
{
    ASSERT_TRUE(app.CreateScreenSurface(64, 64, 0, 0));
    Surface* screen = app.GetScreenSurface();
    scene.AddCreateSprite("ball", "Ball1", 0, 30, 30, 0);
    scene.AddCreateSprite("coin", "Coin", 0, 30, 30, 0);
    scene.Update();
    HelpSpriteItem* ball = Sprite(scene, "ball");
    ASSERT_NE(ball, nullptr);
    EXPECT_NE(ball->shadow, nullptr);
    EXPECT_EQ(Sprite(scene, "coin")->shadow, nullptr);
    scene.RemoveItem("coin");

    screen->FillRect(0, 0, 64, 64, 255, 255, 255);
    scene.Draw();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(screen->GetPixels()[y * screen->GetRawWidth() + x], 0xFFFF) << x << "," << y;

    // Shown, the shadow darkens the white 3 pixels right and down beyond the ball's own 8x8.
    ball->alpha = Fixed::FromInt(255);
    scene.Draw();
    uint16_t beside = screen->GetPixels()[(30 + 5) * screen->GetRawWidth() + 30 + 6];
    EXPECT_NE(beside, 0xFFFF);
    EXPECT_NE(screen->GetPixels()[30 * screen->GetRawWidth() + 30], 0xFFFF);
}

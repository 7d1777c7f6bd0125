#include "game/app/game_screen.h"

#include <gtest/gtest.h>

#include "engine/ui/button_widget.h"
#include "game/app/game_events.h"
#include "screen_test_app.h"

namespace {

// A start menu screen that fades in plainly.
struct FadeFixture : ::testing::Test {
    FadeFixture()
    {
        app.roots[kSlotStartMenu] = "root_plain";
        app.roots[kSlotHelp] = "root_second";
    }
    TestScreen* Show(int slot)
    {
        return app.ShowScreen(slot).ok() ? app.Screen(slot) : nullptr;
    }
    ScreenTestApp app;
};

TEST_F(FadeFixture, FadeInTakesEightUpdatesAndFadeOutDeliversOnTheNinth)
{
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->IsScreenFadingIn());
    for (int i = 1; i <= 7; ++i) {
        app.Update();
        EXPECT_EQ(screen->GetFadeLevel(), 32 * i);
        EXPECT_TRUE(screen->IsScreenFadingIn()) << i;
    }
    app.Update();
    EXPECT_FALSE(screen->IsScreenFadingIn());
    EXPECT_EQ(screen->updates, 0) << "a fading screen does not update itself";
    app.Update();
    EXPECT_EQ(screen->updates, 1);

    EXPECT_TRUE(screen->SendEvent(nullptr, kEventStartMenu, nullptr, 0, true));
    EXPECT_TRUE(screen->IsScreenFadingOut());
    // Posts while the screen fades are dropped, with the fade flag or without.
    EXPECT_TRUE(screen->SendEvent(nullptr, kEventInstructions, nullptr, 0, true));
    EXPECT_TRUE(screen->SendEvent(nullptr, kEventAbout, nullptr, 0, false));
    for (int i = 1; i <= 8; ++i) {
        app.Update();
        EXPECT_EQ(screen->GetFadeLevel(), i < 8 ? 32 * i : 255);
    }
    EXPECT_TRUE(app.reached.empty());
    app.Update();
    ASSERT_EQ(app.reached.size(), 1u);
    EXPECT_EQ(app.reached[0].code, kEventStartMenu);
    EXPECT_FALSE(screen->IsScreenFadingOut());
    EXPECT_FALSE(screen->HasParkedEvent());
}

TEST_F(FadeFixture, DeliveryThatReplacesItsOwnScreenLeavesNothingDangling)
{
    TestScreen* first = Show(kSlotStartMenu);
    ASSERT_NE(first, nullptr);
    first->ClearScreenFadingIn();
    app.onEvent = [&](int code) {
        if (code == kEventInstructions) {
            EXPECT_TRUE(app.ShowScreen(kSlotHelp).ok());
        }
    };
    first->SendEvent(nullptr, kEventInstructions, "btn_help", 0, true);
    for (int i = 0; i < 9; ++i)
        app.Update();
    EXPECT_EQ(app.GetScreen(kSlotStartMenu), nullptr);
    TestScreen* help = app.Screen(kSlotHelp);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(app.GetChildCount(), 1);
    EXPECT_TRUE(help->IsScreenFadingIn());
    app.Frames(10);
    EXPECT_FALSE(help->IsScreenFadingIn());
}

TEST_F(FadeFixture, FailedSetUpLeavesNoScreen)
{
    ASSERT_NE(Show(kSlotHelp), nullptr);
    app.onNew = [](TestScreen* screen) { screen->createResult = false; };
    EXPECT_TRUE(app.ShowScreen(kSlotStartMenu).failed());
    EXPECT_EQ(app.GetScreen(kSlotStartMenu), nullptr);
    EXPECT_EQ(app.GetScreen(kSlotHelp), nullptr);
    EXPECT_EQ(app.GetChildCount(), 0);
    // A slot without a class makes nothing either.
    app.onNew = nullptr;
    EXPECT_TRUE(app.ShowScreen(kSlotAbout).failed());
    EXPECT_EQ(app.GetChildCount(), 0);
}

// The quake worked through by hand on a 320 x 240 display: two updates of countdown, the piece
// leaves at x 324 on the third step, the zoom climbs by 0.25 to 2.0, the pan goes 0, 4, 8, 10
// on x while y (speed 0) snaps to -3, then the zoom falls by 4915 a step for 14 steps to 1.0.
TEST_F(FadeFixture, QuakeFollowsItsTrace)
{
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    ScreenTransition& t = app.GetTransition();
    t.kind = kTransitionQuake;
    t.quake = true;
    t.quakeCountdown = 2;
    t.scale = Fixed16::Raw(65536);
    t.rate = Fixed16::Raw(16384);
    t.end = FixedVec2(Fixed::FromInt(10), Fixed::FromInt(-3));
    t.steps = FixedVec2(Fixed::FromInt(4), Fixed());
    app.SetPiece(0, 20, 20, 300, 0, 8, 0);

    app.Update();
    app.Update();
    EXPECT_EQ(t.quakeCountdown, 0);
    EXPECT_TRUE(t.quake);
    EXPECT_EQ(app.QuakePosition(0).x.ToInt(), 300);
    const int32_t zoom[4] = {81920, 98304, 114688, 131072};
    for (int i = 0; i < 4; ++i) {
        app.Update();
        EXPECT_EQ(t.scale.raw, zoom[i]) << i;
    }
    EXPECT_FALSE(t.quake);
    EXPECT_EQ(app.QuakePosition(0).x.ToInt(), 332);
    EXPECT_EQ(t.rate.raw, 0);
    const int panX[3] = {4, 8, 10};
    for (int x : panX) {
        app.Update();
        EXPECT_EQ(t.start.x.raw, x * 256);
        EXPECT_EQ(t.start.y.raw, -3 * 256);
    }
    for (int i = 1; i <= 13; ++i) {
        app.Update();
        EXPECT_EQ(t.scale.raw, 131072 - 4915 * i);
    }
    EXPECT_TRUE(screen->IsScreenFadingIn());
    app.Update();
    EXPECT_EQ(t.scale.raw, 65536);
    EXPECT_EQ(t.rate.raw, 0);
    EXPECT_TRUE(screen->IsScreenFadingIn());
    app.Update();
    EXPECT_FALSE(screen->IsScreenFadingIn());
    EXPECT_EQ(screen->GetFadeLevel(), 0) << "the quake leaves the fade level alone";
    EXPECT_EQ(screen->updates, 0);
}

TEST_F(FadeFixture, JitterTableWrapsAfterItsLastValue)
{
    app.GetTransition().jitterIndex = 19;
    EXPECT_EQ(app.NextJitter(), app.GetStageOffset(19));
    EXPECT_EQ(app.NextJitter(), app.GetStageOffset(20));
    EXPECT_EQ(app.GetTransition().jitterIndex, 0);
    EXPECT_EQ(app.NextJitter(), app.GetStageOffset(0));
    app.GetTransition().jitterIndex = 40;  // out of range starts again at the first
    EXPECT_EQ(app.NextJitter(), app.GetStageOffset(0));
    EXPECT_EQ(app.GetTransition().jitterIndex, 1);
}

TEST_F(FadeFixture, SlideEndsWhenPiecesLeaveAndZoomRunsOut)
{
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    ScreenTransition& t = app.GetTransition();
    t.kind = kTransitionSlide;
    t.scale = Fixed16::Raw(100);
    t.rate = Fixed16::Raw(60);
    app.SetPiece(1, 40, 40, 0, 210, 0, 20);  // leaves once its top reaches 240: two steps
    app.Update();
    EXPECT_EQ(t.scale.raw, 40);
    app.Update();
    EXPECT_EQ(t.scale.raw, 0);
    EXPECT_EQ(t.rate.raw, 0);
    EXPECT_TRUE(screen->IsScreenFadingIn());
    app.Update();
    EXPECT_FALSE(screen->IsScreenFadingIn());
}

TEST_F(FadeFixture, FadeOutEndsAtOnceAfterAnotherTransitionWasChosen)
{
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    screen->ClearScreenFadingIn();
    screen->SendEvent(nullptr, kEventPlayLevel, nullptr, 0, true);
    EXPECT_EQ(app.GetTransition().kind, kTransitionFade);
    app.GetTransition().kind = kTransitionQuake;
    app.Update();
    ASSERT_EQ(app.reached.size(), 1u);
    EXPECT_EQ(app.reached[0].code, kEventPlayLevel);
}

TEST_F(FadeFixture, FadeOverlayDarkensByLevel)
{
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    Surface* display = app.GetScreenSurface();
    auto red = [&] { return (display->GetPixels()[5 * display->GetRawWidth() + 5] >> 11) & 31; };
    app.Draw();
    EXPECT_EQ(red(), 0) << "a fade-in starts black";
    for (int i = 0; i < 4; ++i)
        app.Update();
    app.Draw();
    int half = red();
    for (int i = 0; i < 4; ++i)
        app.Update();
    app.Draw();
    int settled = red();
    EXPECT_EQ(settled, 20 >> 3);
    EXPECT_GT(settled, 0);
    EXPECT_LE(half, settled);
}

TEST_F(FadeFixture, TapDuringFadeReachesOnlyTheExitButton)
{
    ASSERT_TRUE(app.LoadLookAssets());
    app.AddExitButton(16);
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    ScriptWidget* go = ScriptWidget::FindByName(screen, "btn_go");
    ASSERT_NE(go, nullptr);
    Point centre;
    go->GetCenter(centre);
    EXPECT_TRUE(app.OnPointer(centre.x, centre.y, 1));
    EXPECT_TRUE(app.OnPointer(centre.x, centre.y, 2));
    EXPECT_TRUE(app.reached.empty());
    EXPECT_FALSE(static_cast<ButtonWidget*>(go)->IsPressed());

    app.OnPointer(310, 5, 1);
    EXPECT_TRUE(app.IsExitButtonPressed());
    app.OnPointer(310, 5, 2);
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(app.GetExitCode(), 2);
}

TEST_F(FadeFixture, TapAfterFadeReachesTheButton)
{
    ASSERT_TRUE(app.LoadLookAssets());
    TestScreen* screen = Show(kSlotStartMenu);
    ASSERT_NE(screen, nullptr);
    ScriptWidget* go = ScriptWidget::FindByName(screen, "btn_go");
    ASSERT_NE(go, nullptr);
    Point centre;
    go->GetCenter(centre);
    for (int i = 0; i < 8; ++i)
        app.Update();
    app.OnPointer(centre.x, centre.y, 1);
    ASSERT_FALSE(app.reached.empty());
    EXPECT_EQ(app.reached[0].code, kMsgPressed);
    EXPECT_EQ(app.reached[0].name, "btn_go");
}

TEST_F(FadeFixture, SuspendPausesOnlyAGameplayScreen)
{
    app.roots[kSlotGameplay] = "root_plain";
    TestScreen* menu = Show(kSlotStartMenu);
    ASSERT_NE(menu, nullptr);
    app.OnSuspend();
    EXPECT_EQ(menu->pauses, 0);
    TestScreen* gameplay = Show(kSlotGameplay);
    ASSERT_NE(gameplay, nullptr);
    app.OnSuspend();
    EXPECT_EQ(gameplay->pauses, 1);
}

}  // namespace

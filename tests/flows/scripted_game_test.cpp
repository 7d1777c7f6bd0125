// The scripted player's own footing: taps land where the game drew on a turned screen, time
// moves while the program has no timer, and power and focus come and go without a hang.
#include <gtest/gtest.h>

#include <cstdlib>

#include "contact_sheet.h"
#include "engine/core/main_window.h"
#include "engine/core/application.h"
#include "engine/graphics/surface.h"
#include "game/app/profile_store.h"
#include "platform/capture.h"
#include "platform/clock.h"
#include "scripted_game.h"

namespace {

TEST(ScriptedGame, TapsOnAPortraitScreenLandOnTheTurnedPicture)
{
    ScriptedGame game(480, 640);
    ASSERT_TRUE(game.Start());
    // The name entry's OK is tapped through the turn: reaching the menu proves it landed.
    ASSERT_TRUE(game.ReachMenu("ITZEL"));
    GameApp* app = game.App();
    ASSERT_NE(app->GetRotation(), 0) << "a portrait screen shows the landscape game turned";
    Surface* screen = app->GetScreenSurface();
    EXPECT_GT(screen->GetWidth(), screen->GetHeight());
    // A game corner lands on the display corner the turn takes it to.
    int x, y;
    game.GameToDisplay(0, 0, &x, &y);
    int farX, farY;
    game.GameToDisplay(screen->GetWidth() - 1, screen->GetHeight() - 1, &farX, &farY);
    EXPECT_EQ(std::abs(farX - x), 479);
    EXPECT_EQ(std::abs(farY - y), 639);
    EXPECT_TRUE(game.Shot("menu"));
    EXPECT_EQ(game.Quit(), 0);
}

TEST(ScriptedGame, TimeMovesWithoutFocusAndThePowerComesBack)
{
    ScriptedGame game(320, 240);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));

    // Without focus the program stops its timer; the clock still moves frame by frame.
    game.Focus(false);
    EXPECT_FALSE(g_timerRunning);
    DWORD before = GetTickCount();
    int shown = GetPresentedFrameCount();
    game.Frames(10);
    EXPECT_EQ(GetTickCount() - before, 10u * game.FramePeriod());
    EXPECT_EQ(GetPresentedFrameCount(), shown) << "nothing is drawn without focus";
    game.Focus(true);
    game.Frames(3);
    EXPECT_GT(GetPresentedFrameCount(), shown);

    // Power off and on: nothing runs until the resumed system has settled, then frames again.
    ASSERT_TRUE(game.Suspend());
    shown = GetPresentedFrameCount();
    game.Frames(20);
    EXPECT_EQ(GetPresentedFrameCount(), shown);
    ASSERT_TRUE(game.PowerOn());
    // The settling counts 500 timer ticks of a millisecond: about seventeen frames.
    game.Frames(12);
    EXPECT_EQ(GetPresentedFrameCount(), shown);
    ASSERT_TRUE(game.WaitUntilEachFrame([&] { return GetPresentedFrameCount() > shown; }, 10));
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.Quit(), 0);
}

TEST(ScriptedGame, AGameLeftRunningIsEndedAndTheNextStartsAfresh)
{
    FlowFolder folder;
    {
        // As a flow that stops at a failed check leaves it: running, a dialog open.
        ScriptedGame game(320, 240, folder.Path());
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.ReachMenu("ITZEL"));
        ASSERT_TRUE(game.TapWidget("btn_sm_help"));
        ASSERT_TRUE(game.Running());
    }
    EXPECT_EQ(g_application, nullptr);
    EXPECT_FALSE(folder.Read("global.opt").empty()) << "the ended program saved its options";

    ScriptedGame next(240, 240, folder.Path());
    ASSERT_TRUE(next.Start());
    ASSERT_TRUE(next.ReachMenu("NOBODY"));
    EXPECT_EQ(next.Profiles()->GetPlayerCount(), 1);
    EXPECT_NE(next.TextOf("txt_welcome240_2").find("ITZEL"), std::string::npos);
    EXPECT_EQ(next.Quit(), 0);
}

TEST(ContactSheet, ShrinksEachPictureByAWholeFactorAndLaysThemInRows)
{
    ContactSheet sheet;
    // 800 wide shrinks by 2 into 2x2 blocks: a block of white and black pixels averages to grey.
    std::vector<uint16_t> wide(800 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 800; ++x)
            wide[y * 800 + x] = (x + y) % 2 ? 0xFFFF : 0;
    sheet.Add(wide.data(), 800, 4);
    std::vector<uint16_t> small(240 * 2, 0xF800);
    for (int i = 0; i < 5; ++i)
        sheet.Add(small.data(), 240, 2);
    int w = 0, h = 0;
    std::vector<uint8_t> rgb = sheet.Compose(&w, &h);
    // Four columns of the widest cell (400) and two rows of the tallest (2), with gaps.
    EXPECT_EQ(w, 4 * (400 + ContactSheet::kGap) + ContactSheet::kGap);
    EXPECT_EQ(h, 2 * (2 + ContactSheet::kGap) + ContactSheet::kGap);
    auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; };
    const int g = ContactSheet::kGap;
    EXPECT_EQ(at(g, g)[0], 127);
    EXPECT_EQ(at(g + 399, g + 1)[1], 127);
    // The sixth picture starts the second row in the second column: pure red.
    const uint8_t* red = at(g + 400 + g, g + 2 + g);
    EXPECT_EQ(red[0], 255);
    EXPECT_EQ(red[1], 0);
    EXPECT_EQ(red[2], 0);
    EXPECT_EQ(at(0, 0)[0], 48) << "the gaps are dark grey";
}

}  // namespace

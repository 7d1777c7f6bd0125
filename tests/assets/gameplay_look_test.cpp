// The board as the player sees it, at every resolution on the shipped data, seeded and driven by
// scripted input, written to look/gameplay_<W>x<H>_<moment>.png: the intro with its banner and
// sparkle on a one-track map, the chains rolled in with a keypad aim, then a shot in flight, on a
// two-track map with tunnel overlays, a stylus aim over the nebula, and the pause dialog.
#include <gtest/gtest.h>

#include <string>

#include "engine/ui/script_widget.h"
#include "game/app/game_keys.h"
#include "game/play/ball_chain.h"
#include "game/play/frog.h"
#include "game/play/track_sparkle.h"
#include "gameplay_look_app.h"
#include "platform/crt.h"

namespace {

constexpr int kDown = 1, kUp = 2, kMove = 3;

std::string LookPath(const ShippedResolution& r, const char* moment)
{
    return std::string(KELO_LOOK_DIR) + "/gameplay_" + ShippedName(r) + "_" + moment + ".png";
}

// Frames of the whole application (fades, dialogs and the board) until the board plays with both
// chains rolled in, or the limit.
bool PlayUntilRolledIn(GameplayLookApp& app, int limit)
{
    for (int i = 0; i < limit; ++i) {
        GameplayScreen* board = app.Board();
        if (!board)
            return false;
        if (board->playState == kPlayPlaying && !board->rollInActive[0] && !board->rollInActive[1])
            return true;
        app.Update();
    }
    return false;
}

}  // namespace

TEST(GameplayLook, BoardMomentsAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        GameplayLookApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());

        // The intro: the title banner over the board while the sparkle runs along the track.
        crt::srand(7);
        app.PlayAdventure(1);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ASSERT_NE(app.Board(), nullptr);
        // Past the fade-in and far enough into the intro for the sparkle to have set out.
        for (int i = 0; i < 100; ++i)
            app.Update();
        EXPECT_EQ(app.Board()->playState, kPlayIntro);
        EXPECT_TRUE(app.Board()->trackSparkle->IsActive(0));
        EXPECT_TRUE(app.Board()->titleActive);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "intro")));

        // Two tracks under tunnel overlays: rolled in, turned by the keypad, one shot on its way.
        crt::srand(11);
        app.PlayGauntlet(15, 3, false);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ASSERT_TRUE(PlayUntilRolledIn(app, 1500));
        GameplayScreen* board = app.Board();
        // Turned from straight down to about the left, where the guide meets the nearer chain.
        board->OnKey(kKeyRight, true);
        for (int i = 0; i < 16; ++i)
            app.Update();
        board->OnKey(kKeyRight, false);
        app.Update();
        EXPECT_EQ(board->keyAiming, 1);
        EXPECT_NE(board->currentBall, nullptr);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "keypad")));
        board->OnKey(kKeyAction, true);
        board->OnKey(kKeyAction, false);
        for (int i = 0; i < 4; ++i)
            app.Update();
        EXPECT_EQ(board->shotCount, 1);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "shot")));

        // The nebula map, aimed with the stylus held down.
        crt::srand(13);
        app.PlayGauntlet(21, 2, false);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ASSERT_TRUE(PlayUntilRolledIn(app, 1500));
        board = app.Board();
        board->OnPointer(r.width / 4, r.height / 3, kDown);
        app.Update();
        board->OnPointer(r.width / 5, r.height / 4, kMove);
        app.Update();
        EXPECT_EQ(board->keyAiming, 0);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "stylus")));
        board->OnPointer(r.width / 5, r.height / 4, kUp);

        // Back opens the pause dialog over the frozen board.
        board->OnKey(kKeyBack, true);
        board->OnKey(kKeyBack, false);
        for (int i = 0; i < 15; ++i)
            app.Update();
        EXPECT_NE(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);
        app.Draw();
        EXPECT_TRUE(WriteScreenPng(app.GetScreenSurface(), LookPath(r, "pause")));
    }
}

// The board's keys on the shipped layout: Back and the right soft key open the pause dialog, Back
// in it leaves for the start menu with the game saved, Back in any other dialog stays there, and
// the left soft key swaps the frog's balls.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ui/script_widget.h"
#include "game/app/game_events.h"
#include "game/app/game_keys.h"
#include "gameplay_look_app.h"
#include "platform/crt.h"

namespace {

constexpr int kVkF1 = 112, kVkF2 = 113;

bool Reached(const GameplayLookApp& app, int code)
{
    return std::find(app.events.begin(), app.events.end(), code) != app.events.end();
}

// A level of stage 1 past its fade-in, with the frog loaded.
GameplayScreen* StartedBoard(GameplayLookApp& app)
{
    crt::srand(3);
    app.PlayAdventure(1);
    if (app.ShowGameplay(true).failed())
        return nullptr;
    for (int i = 0; i < 200 && app.Board() && !app.Board()->nextBall; ++i)
        app.Update();
    return app.Board();
}

}  // namespace

TEST(GameplayKeys, BackPausesThenLeavesForTheMenu)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen* board = StartedBoard(app);
    ASSERT_NE(board, nullptr);
    ASSERT_FALSE(board->IsScreenFading());

    EXPECT_TRUE(board->OnKey(kKeyBack, true));
    EXPECT_EQ(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);
    EXPECT_TRUE(board->OnKey(kKeyBack, false));
    EXPECT_NE(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);
    for (int i = 0; i < 15; ++i)
        app.Update();
    ASSERT_NE(board->FindModalChild(), nullptr);
    // The board stands still under the dialog.
    const int frames = board->frameCounter;
    app.Update();
    EXPECT_EQ(board->frameCounter, frames);

    EXPECT_TRUE(board->OnKey(kKeyBack, true));
    EXPECT_FALSE(board->IsScreenFadingOut());
    EXPECT_TRUE(board->OnKey(kKeyBack, false));
    EXPECT_TRUE(board->IsScreenFadingOut());
    EXPECT_TRUE(app.HasResumeSave(0));
    for (int i = 0; i < 20 && !Reached(app, kEventStartMenu); ++i)
        app.Update();
    EXPECT_TRUE(Reached(app, kEventStartMenu));
}

TEST(GameplayKeys, SoftKeysPauseAndSwap)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen* board = StartedBoard(app);
    ASSERT_NE(board, nullptr);
    BallSprite* current = board->currentBall;
    BallSprite* next = board->nextBall;
    ASSERT_TRUE(current && next);

    app.SetLastKey(kVkF1);
    board->OnKey(0, true);
    board->OnKey(0, false);
    EXPECT_EQ(board->currentBall, next);
    EXPECT_EQ(board->nextBall, current);
    EXPECT_EQ(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);

    app.SetLastKey(kVkF2);
    board->OnKey(0, true);
    EXPECT_EQ(board->currentBall, next);
    EXPECT_EQ(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);
    board->OnKey(0, false);
    EXPECT_NE(ScriptWidget::FindByName(board, "dlg_pause"), nullptr);
}

TEST(GameplayKeys, BackInAnotherDialogStaysThere)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    GameplayScreen* board = StartedBoard(app);
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(board->RunActionFromFile("keloui.txt", "acn_show_ready_go"));
    for (int i = 0; i < 10; ++i)
        app.Update();
    Widget* dialog = board->FindModalChild();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(ScriptWidget::FindByName(board, "dlg_ready_go"), nullptr);
    board->OnKey(kKeyBack, true);
    board->OnKey(kKeyBack, false);
    for (int i = 0; i < 20; ++i)
        app.Update();
    EXPECT_FALSE(board->IsScreenFadingOut());
    EXPECT_FALSE(Reached(app, kEventStartMenu));
    EXPECT_FALSE(app.HasResumeSave(0));
}

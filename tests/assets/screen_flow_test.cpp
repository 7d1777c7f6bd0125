// The screens handing over to each other in the real application on the shipped data: a door on
// the adventure map starts its stage on the board, through the help when it is not skipped, and
// the gauntlet map starts its level.
#include <gtest/gtest.h>

#include "game/app/game_events.h"
#include "game/app/profile_store.h"
#include "game/help/help_screen.h"
#include "game/play/gameplay_screen.h"
#include "game/screens/adventure_map_screen.h"
#include "game/screens/gauntlet_map_screen.h"
#include "shipped_game_app.h"
#include "support/widget_box.h"

namespace {

// Every screen is the game's own.
class FlowApp : public ShippedGameApp {
public:
    FlowApp(int width, int height) : ShippedGameApp(width, height, "keloui.txt", "root_startmenu")
    {
        usable_ = Ready() && levelTables_.Build();
        ProfileStore* profiles = GetProfiles();
        int index = profiles->AddPlayer();
        profiles->SetCurrentIndex(index);
        profiles->SetPlayerName(index, "Itzel");
        profiles->mute = true;
    }
    bool Usable() const { return usable_; }
    GameScreen* NewScreen(int slot) override { return GameApp::NewScreen(slot); }
    PlayerRecord* Player() { return GetProfiles()->CurrentPlayer(); }
    GameplayScreen* Board() { return dynamic_cast<GameplayScreen*>(GetScreen(kSlotGameplay)); }
    void Tap(int x, int y)
    {
        OnPointer(x, y, 1);
        OnPointer(x, y, 2);
    }

private:
    bool usable_ = false;
};

}  // namespace

TEST(ScreenFlow, ADoorOnTheMapStartsItsStageOnTheBoard)
{
    for (bool skipHelp : {true, false}) {
        SCOPED_TRACE(skipHelp ? "help skipped" : "through the help");
        FlowApp app(640, 480);
        ASSERT_TRUE(app.Usable());
        app.GetProfiles()->skipHelp = skipHelp;
        app.Player()->progress[0].stage = 1;
        ASSERT_TRUE(app.OnEvent(nullptr, kEventAdventureMap, nullptr, 0));
        app.Frames(12);
        auto* map = dynamic_cast<AdventureMapScreen*>(app.GetScreen(kSlotAdventureMap));
        ASSERT_NE(map, nullptr);
        ASSERT_EQ(map->GetSelectedDoor(), 1);
        Point at = map->GetDoorPosition(1);
        app.Tap(at.x + 3, at.y + 3);
        app.Frames(30);
        if (!skipHelp) {
            auto* help = dynamic_cast<HelpScreenInGame*>(app.GetScreen(kSlotHelp));
            ASSERT_NE(help, nullptr);
            app.Frames(20);
            Box ok = BoxOf(ScriptWidget::FindByName(help, "btn_help_ok"));
            app.Tap(ok.x + ok.w / 2, ok.y + ok.h / 2);
            app.Frames(30);
        }
        GameplayScreen* board = app.Board();
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(app.GetScreen(kSlotAdventureMap), nullptr);
        EXPECT_EQ(app.GetBoardScreen(), static_cast<BoardScreen*>(board));
        EXPECT_EQ(board->curveCount, 1);
        // The level runs on from its start: chains come in and the frog gets its balls.
        app.Frames(200);
        EXPECT_GE(board->GetPlayState(), kPlayIntro);
        EXPECT_GT(board->chains[0]->count, 0);
        EXPECT_NE(board->currentBall, nullptr);
    }
}

TEST(ScreenFlow, TheGauntletMapStartsItsFirstLevelOnTheBoard)
{
    FlowApp app(320, 240);
    ASSERT_TRUE(app.Usable());
    app.GetProfiles()->skipHelp = true;
    ASSERT_TRUE(app.OnEvent(nullptr, kEventGauntletMap, nullptr, 0));
    app.Frames(12);
    auto* map = dynamic_cast<GauntletMapScreen*>(app.GetScreen(kSlotGauntletMap));
    ASSERT_NE(map, nullptr);
    map->OnEvent(map, kMsgCommand, "btn_gaunt_play", 0);
    app.Frames(40);
    GameplayScreen* board = app.Board();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(app.Player()->mode, 1);
    EXPECT_EQ(app.Player()->progress[1].stage, 1);
    EXPECT_GT(board->curveCount, 0);
    app.Frames(100);
    EXPECT_GT(board->chains[0]->count + board->chains[1]->count, 0);
}

TEST(ScreenFlow, AWonDoorQuakesOntoTheNextStageWithTheFrogFlyingIn)
{
    FlowApp app(640, 480);
    ASSERT_TRUE(app.Usable());
    // Stage 1 is won: the progress stands at stage 2, in the same door.
    app.Player()->progress[0].stage = 2;
    ASSERT_TRUE(app.OnEvent(nullptr, kEventStageComplete, nullptr, 0));
    app.Frames(60);
    ASSERT_NE(app.GetScreen(kSlotStageComplete), nullptr);
    app.OnPointer(5, 5, 1);
    app.OnPointer(5, 5, 2);
    EXPECT_EQ(app.GetTransition().kind, kTransitionQuake);
    app.Frames(3);
    GameplayScreen* board = app.Board();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(app.GetScreen(kSlotStageComplete), nullptr);
    // The level set the quake's end on its frog, which the pieces fly away from.
    ASSERT_NE(board->frog, nullptr);
    EXPECT_EQ(app.GetTransition().kind, kTransitionQuake);
    EXPECT_EQ(app.GetTransition().rate.raw, Fixed16::FromDouble(0.075).raw);
}

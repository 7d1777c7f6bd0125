// A tour of the game in each language it ships, chosen through the options as a player would:
// every screen and dialog the menu leads to, a level's board with its pause and its "Ready?"
// question, and a level played out: won (its statistics), then lost (each loss message, the lost
// statistics). At each stop every text says something and fits its box, and the stop is shot for
// the contact sheets.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/string_table.h"
#include "flows/board_play.h"
#include "flows/layout_check.h"
#include "flows/menu_steps.h"
#include "flows/screen_reading.h"
#include "flows/scripted_game.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/play/gameplay_screen.h"

namespace {

constexpr int kShippedLanguages = 4;

using TourCase = std::tuple<int, FlowSize>;

class Tour : public ::testing::TestWithParam<TourCase> {};

std::string Lookup(GameApp* app, const char* key)
{
    String text;
    app->GetLanguageTable()->Lookup(text, key);
    return text.CStr() ? text.CStr() : "";
}

bool ScreenAtRest(const ScriptedGame& game, int slot)
{
    GameScreen* screen = game.CurrentScreen();
    return screen && screen == game.App()->GetScreen(slot) && !screen->IsScreenFading() && !game.OpenDialog();
}

// A stop: all at rest, everything readable and laid out apart, the frame shot.
void Stop(ScriptedGame& game, const std::string& name)
{
    game.Wait(6);
    ExpectReadable(game.App(), name);
    ExpectLaidOut(game.App(), game.FlowName() + " " + game.SizeName() + " " + name);
    EXPECT_TRUE(game.Shot(name)) << name;
}

// Through the options' language dialog to the language; the menu is built again in it.
void ChooseLanguage(ScriptedGame& game, int language)
{
    GameApp* app = game.App();
    StringTable* texts = app->GetLanguageTable();
    ASSERT_EQ(texts->GetLanguageCount(), kShippedLanguages);
    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    ASSERT_TRUE(OpenBy(game, "btn_options_lang", "dlg_lang"));
    // Each shipped language is offered under its own name; the rest of the seven stay hidden.
    for (int i = 0; i < 7; ++i) {
        std::string radio = "rad_lang_" + std::to_string(i + 1);
        EXPECT_EQ(game.Shows(radio.c_str()), i < kShippedLanguages) << radio;
        if (i < kShippedLanguages) {
            String label;
            texts->GetLanguageLabel(label, i);
            EXPECT_EQ(game.TextOf(radio.c_str()), label.CStr()) << radio;
        }
    }
    std::string radio = "rad_lang_" + std::to_string(language + 1);
    ASSERT_TRUE(game.TapWidget(radio.c_str()));
    EXPECT_TRUE(game.IsTicked(radio.c_str()));
    ASSERT_TRUE(game.TapWidget("btn_lang_ok"));
    if (language == 0) {
        // The language in use: back to the options, nothing rebuilt.
        ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_options"); }, 120));
        ASSERT_TRUE(CloseBy(game, "btn_options_close"));
    }
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    EXPECT_EQ(texts->GetCurrentLanguage(), language);
    EXPECT_EQ(game.Profiles()->language, language);
    EXPECT_EQ(game.TextOf("btn_sm_adventure"), Lookup(app, "STR_ADVENTURE"));
}

void TourMenuDialogs(ScriptedGame& game)
{
    Stop(game, "menu");
    ASSERT_TRUE(OpenBy(game, "btn_sm_options", "dlg_options"));
    Stop(game, "options");
    ASSERT_TRUE(OpenBy(game, "btn_options_graphics", "dlg_graphics"));
    Stop(game, "graphics");
    ASSERT_TRUE(OpenBy(game, "btn_graphics_ok", "dlg_options"));
    ASSERT_TRUE(OpenBy(game, "btn_options_lang", "dlg_lang"));
    Stop(game, "language");
    ASSERT_TRUE(OpenBy(game, "btn_lang_ok", "dlg_options"));
    ASSERT_TRUE(CloseBy(game, "btn_options_close"));

    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    Stop(game, "players");
    ASSERT_TRUE(OpenBy(game, "btn_user_1", "dlg_EditPlayer"));
    game.Type("TESS");
    Stop(game, "name_entry");
    ASSERT_TRUE(OpenBy(game, "btnPlayerOK", "dlg_same_name"));
    Stop(game, "same_name");
    ASSERT_TRUE(CloseBy(game, "btn_same_name_ok"));
    game.Type("A");
    ASSERT_TRUE(CloseBy(game, "btnPlayerOK"));
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), 2);
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
    Stop(game, "remove_player");
    ASSERT_TRUE(CloseBy(game, "btn_remove_yes"));
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    ASSERT_TRUE(CloseBy(game, "btn_players_ok"));
    EXPECT_EQ(game.Profiles()->GetPlayerCount(), 1);

    ASSERT_TRUE(OpenBy(game, "btn_sm_help", "dlg_help"));
    Stop(game, "help_menu");
    ASSERT_TRUE(OpenBy(game, "btn_help_support", "dlg_support"));
    Stop(game, "support");
    ASSERT_TRUE(CloseBy(game, "btn_support_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 120));
}

void TourHelpAndMaps(ScriptedGame& game)
{
    ASSERT_TRUE(OpenBy(game, "btn_sm_help", "dlg_help"));
    ASSERT_TRUE(game.TapWidget("btn_help_instructions"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotHelp); }, 300));
    Stop(game, "instructions");
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));

    ASSERT_TRUE(OpenBy(game, "btn_sm_help", "dlg_help"));
    ASSERT_TRUE(game.TapWidget("btn_help_about"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotAbout); }, 300));
    Stop(game, "about");
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));

    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotGauntletMap); }, 300));
    Stop(game, "gauntlet_map");
    ASSERT_TRUE(game.TapWidget("btn_gaunt_menu"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
}

void TourBoard(ScriptedGame& game)
{
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotAdventureMap); }, 300));
    Stop(game, "adventure_map");
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    // A first game shows the instructions before the board.
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotHelp); }, 300));
    Stop(game, "help_before_play");
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest(game, kSlotGameplay); }, 300));
    game.Wait(90);
    Stop(game, "board");
    ASSERT_TRUE(OpenBy(game, "btn_menu", "dlg_pause"));
    Stop(game, "pause");
    ASSERT_TRUE(game.TapWidget("btn_pause_menu"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));

    ASSERT_TRUE(OpenBy(game, "btn_sm_adventure", "dlg_continue_adventure"));
    Stop(game, "continue_adventure");
    ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Board() && DialogAtRest(game, "dlg_ready_go"); }, 300));
    Stop(game, "ready");
    ASSERT_TRUE(CloseBy(game, "btn_ready_go"));
}

// The level played to its ends: won, then lost.
void TourLevelEnds(ScriptedGame& game)
{
    // The level won: its statistics over the board, then the door's next stage.
    WinnerBot winner(7);
    ASSERT_TRUE(PlayUntilTheLevelEnds(game, winner, 9000));
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_stats"); }, 900));
    Stop(game, "level_statistics");
    ASSERT_TRUE(game.TapWidget("btn_stats_ok"));
    ASSERT_TRUE(game.WaitUntil(
        [&] { return ScreenAtRest(game, kSlotGameplay) && game.Profiles()->CurrentPlayer()->progress[0].stage == 2; },
        900));
    Stop(game, "next_stage");

    // The loser spends the three lives: the loss message each time, a tap goes on, and after the
    // last the lost statistics.
    LoserBot loser(11);
    for (int life = 0; life < 3; ++life) {
        SCOPED_TRACE("life " + std::to_string(life));
        auto board = [&] { return dynamic_cast<GameplayScreen*>(game.Board()); };
        ASSERT_TRUE(game.WaitUntil(
            [&] { return ScreenAtRest(game, kSlotGameplay) && board() && board()->playState < kPlayWon; }, 900));
        ModeProgress& progress = game.Profiles()->CurrentPlayer()->progress[0];
        EXPECT_EQ(progress.lives, 3 - life);
        ASSERT_TRUE(PlayUntilTheLevelEnds(game, loser, 12000));
        ASSERT_TRUE(game.WaitUntil([&] { return board() && board()->messageFrames >= 60; }, 900));
        // The board writes the message itself, across the middle of the screen.
        const char* message = board()->lossMessage.CStr();
        EXPECT_FALSE(board()->lossMessage.IsEmpty());
        const int width = game.App()->GetMainFont()->MeasureText(message ? message : "");
        EXPECT_LE(width, game.App()->GetScreenSurface()->GetWidth()) << message;
        if (life == 0)
            Stop(game, "life_lost");
        if (life < 2) {
            game.Tap(game.Width() / 2, game.Height() / 2);
            ASSERT_TRUE(game.WaitUntil([&] { return progress.lives == 2 - life; }, 300));
        }
    }
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_lost_stats"); }, 900));
    Stop(game, "lost_statistics");
}

TEST_P(Tour, EveryScreenReadsWell)
{
    const int language = std::get<0>(GetParam());
    const FlowSize size = std::get<1>(GetParam());
    ScriptedGame game(size.width, size.height);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("TESS"));
    ChooseLanguage(game, language);
    if (HasFatalFailure())
        return;
    // Each language's pictures on sheets of their own.
    String code;
    game.App()->GetLanguageTable()->GetLanguageName(code, language);
    game.SetFlowName(std::string("tour_") + code.CStr());
    TourMenuDialogs(game);
    if (HasFatalFailure())
        return;
    TourHelpAndMaps(game);
    if (HasFatalFailure())
        return;
    TourBoard(game);
    if (HasFatalFailure())
        return;
    // Played out in English at every size and in every language on the smallest screen, where
    // the statistics are tightest: a whole level is the longest part of the tour.
    if (language == 0 || (size.width == 240 && size.height == 240))
        TourLevelEnds(game);
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Languages, Tour,
                         ::testing::Combine(::testing::Range(0, kShippedLanguages), ::testing::ValuesIn(kFlowSizes)),
                         [](const auto& info) {
                             return "language" + std::to_string(std::get<0>(info.param)) + "_" +
                                    FlowSizeName(std::get<1>(info.param));
                         });

}  // namespace

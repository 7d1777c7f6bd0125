// A tour of the game in each language it ships, chosen through the options as a player would, at
// every size and on the portrait screens that show it turned: every screen and dialog the menu
// leads to, a level's board with its pause and its "Ready?" question, and a level played out: won
// (its statistics), then lost (each loss message, the lost statistics). The players came back to
// saves that hold the longest names: one as long as the entry takes, of its widest letter, and
// one as players write them, in the players' list and the best scores; each greets the player and
// the widest plays. At each stop every text says something and fits its room, and the stop is
// shot for the contact sheets.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/string_table.h"
#include "flows/board_play.h"
#include "flows/laid_profile.h"
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

// The portrait screens, which show the landscape game turned.
const std::vector<FlowSize> kTurnedSizes = {{480, 800}, {480, 640}, {240, 400}, {240, 320}};
std::vector<FlowSize> TourSizes()
{
    std::vector<FlowSize> sizes = kFlowSizes;
    sizes.insert(sizes.end(), kTurnedSizes.begin(), kTurnedSizes.end());
    return sizes;
}

// The longest name the entry takes is 23 characters: of its widest letter, and as a player writes
// it; the second player is the current one.
const std::string kWidestName(23, 'W');
const std::string kLongName = "ZED7 RUNNER99 JUNGLE 42";
enum LaidPlayer { kShortPlayer, kWidestPlayer, kLongPlayer, kLaidPlayers };

void WithLongNames(ProfileStore& store)
{
    store.SetPlayerName(store.AddPlayer(), String(kWidestName.c_str()));
    store.SetPlayerName(store.AddPlayer(), String(kLongName.c_str()));
    store.SetCurrentIndex(kWidestPlayer);
    // Every best-score table, the adventure's and each gauntlet map's, led by the long names.
    const std::pair<std::string, int32_t> rows[kHighScoreEntries] = {
        {kWidestName, 1234560}, {kLongName, 987650}, {"TESS", 45670}};
    auto fill = [&](ScoreEntry* table) {
        for (int i = 0; table && i < kHighScoreEntries; ++i) {
            table[i].score = rows[i].second;
            std::snprintf(table[i].name, sizeof table[i].name, "%s", rows[i].first.c_str());
        }
    };
    fill(store.AdventureScores());
    for (int map = 0; map < MapInfo::kCount; ++map) {
        fill(store.GauntletScores(0, map));
        fill(store.GauntletScores(1, map));
    }
    store.defaultNamesFilled = true;
}

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
    // No capital or digit is wider than the widest name's letter.
    Font* font = game.App()->GetMainFont();
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        EXPECT_LE(font->MeasureText(std::string(1, c).c_str()), font->MeasureText(kWidestName.substr(0, 1).c_str()))
            << c;
    }
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

    // The widest name between its ticks and in the question before it is removed; then the long
    // name chosen, between the ticks and greeted.
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    Stop(game, "players");
    ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
    Stop(game, "remove_player");
    ASSERT_TRUE(CloseBy(game, "btn_remove_no"));
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    ASSERT_TRUE(game.TapWidget("btn_user_2"));
    EXPECT_EQ(game.Profiles()->GetCurrentIndex(), kLongPlayer);
    Stop(game, "players_long_name");
    ASSERT_TRUE(CloseBy(game, "btn_players_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 120));
    Stop(game, "menu_long_name");

    // A new player named as one who plays already, then named anew and removed again.
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    ASSERT_TRUE(OpenBy(game, "btn_user_3", "dlg_EditPlayer"));
    game.Type("TESS");
    Stop(game, "name_entry");
    ASSERT_TRUE(OpenBy(game, "btnPlayerOK", "dlg_same_name"));
    Stop(game, "same_name");
    ASSERT_TRUE(CloseBy(game, "btn_same_name_ok"));
    game.Type("A");
    ASSERT_TRUE(CloseBy(game, "btnPlayerOK"));
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), kLaidPlayers + 1);
    ASSERT_TRUE(OpenBy(game, "btn_change_player", "dlg_players"));
    ASSERT_TRUE(OpenBy(game, "btn_players_delete", "dlg_remove_user"));
    ASSERT_TRUE(CloseBy(game, "btn_remove_yes"));
    ASSERT_TRUE(game.WaitUntil([&] { return DialogAtRest(game, "dlg_players"); }, 60));
    EXPECT_EQ(game.Profiles()->GetPlayerCount(), kLaidPlayers);
    // The widest name plays on.
    ASSERT_TRUE(game.TapWidget("btn_user_1"));
    ASSERT_TRUE(CloseBy(game, "btn_players_ok"));
    EXPECT_EQ(game.Profiles()->GetCurrentIndex(), kWidestPlayer);

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
    FlowFolder folder;
    ASSERT_TRUE(LayFile(folder.Path(), "global.opt", ProfileBytes("TESS", WithLongNames)));
    ScriptedGame game(size.width, size.height, folder.Path());
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu());
    ASSERT_EQ(game.Profiles()->GetPlayerCount(), kLaidPlayers);
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
    // the statistics are tightest: a whole level is the longest part of the tour. A turned screen
    // lays the game out as its landscape one does.
    if ((language == 0 && size.width > size.height) || (size.width == 240 && size.height == 240))
        TourLevelEnds(game);
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Languages, Tour,
                         ::testing::Combine(::testing::Range(0, kShippedLanguages), ::testing::ValuesIn(TourSizes())),
                         [](const auto& info) {
                             return "language" + std::to_string(std::get<0>(info.param)) + "_" +
                                    FlowSizeName(std::get<1>(info.param));
                         });

}  // namespace

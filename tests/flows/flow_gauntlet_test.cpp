// The gauntlet as a player meets it. Survival: the winner levels up on one board until a new rank
// opens on the map, then the loser lets the chains in; the lost statistics add the whole run up and
// the score takes its place in the map's survival table. Practice: a level won, the next one, and a
// random map that changes under a quake.
#include <gtest/gtest.h>

#include <set>

#include "bot_play.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/help/help_screen.h"
#include "game/play/game_hud.h"
#include "game/screens/gauntlet_map_screen.h"
#include "game/tables/progression.h"

namespace {

constexpr int kFirstMap = 13;  // the map the gauntlet opens on
constexpr int kRankTwoLevel = 8;

GauntletMapScreen* MapOf(ScriptedGame& game)
{
    return game.Screen<GauntletMapScreen>(kSlotGauntletMap);
}

// The map in front and at rest.
bool MapAtRest(ScriptedGame& game)
{
    GauntletMapScreen* map = MapOf(game);
    return map && game.CurrentScreen() == map && !map->IsScreenFading() && game.OpenDialog() == nullptr;
}

// A board in play: the intro over, nothing over it.
bool BoardInPlay(ScriptedGame& game)
{
    GameplayScreen* board = BoardOf(game);
    return board && game.CurrentScreen() == board && board->playState == kPlayPlaying && !board->IsScreenFading() &&
           game.OpenDialog() == nullptr;
}

ModeProgress& Gauntlet(ScriptedGame& game)
{
    return game.Profiles()->CurrentPlayer()->progress[1];
}

// What the display's caption says for a gauntlet level: the rank's short name and the level's
// place in the rank.
std::string LevelCaption(ScriptedGame& game, int level)
{
    int rank = Gauntlet::RankOfLevel(level);
    return LanguageText(game, "STR_GAUNT_RANK_SHORT_1", rank) + " " +
           std::to_string(level - Gauntlet::RankFirstLevel(rank) + 1);
}

std::string HudCaption(ScriptedGame& game)
{
    GameplayScreen* board = BoardOf(game);
    return board && board->hud && board->hud->GetCaption().CStr() ? board->hud->GetCaption().CStr() : "";
}

// Starts the chosen game from the map; through the help before play when it shows, ticking its
// "don't show again" when asked to.
void PlayFromMap(ScriptedGame& game, bool tickDontShow)
{
    ASSERT_TRUE(game.TapWidget("btn_gaunt_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return BoardOf(game) || game.Screen<HelpScreen>(kSlotHelp); }, 300));
    if (game.Screen<HelpScreen>(kSlotHelp)) {
        ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("btn_help_ok"); }, 300));
        if (tickDontShow) {
            ASSERT_TRUE(game.TapWidget("chk_dontshow"));
            EXPECT_TRUE(game.IsTicked("chk_dontshow"));
        }
        ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    }
    ASSERT_TRUE(game.WaitUntil([&] { return BoardInPlay(game); }, 900));
}

// The pause menu's way back to the start menu.
void LeaveBoardForMenu(ScriptedGame& game)
{
    ASSERT_TRUE(game.TapWidget("btn_menu"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_pause"); }, 120));
    ASSERT_TRUE(game.TapWidget("btn_pause_menu"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
}

// The survival or practice table row as the map shows it.
struct Row {
    std::string name, value;
};
Row RowOnMap(ScriptedGame& game, int row)
{
    std::string n = std::to_string(row);
    return {game.TextOf(("txt_hs_name_" + n).c_str()), game.TextOf(("txt_hs_value_" + n).c_str())};
}

// Taps a rank gem where the player sees it.
void TapGem(ScriptedGame& game, int gem)
{
    GauntletMapScreen* map = MapOf(game);
    ResourceEntry* set = map->GetGemSprite(gem);
    ASSERT_NE(set, nullptr);
    Surface* sealed = set->GetFrame(0);
    ASSERT_NE(sealed, nullptr);
    Point at = map->GetGemAnchor(gem);
    game.Tap(at.x + sealed->GetWidth() / 2, at.y + sealed->GetHeight() / 2);
}

class GauntletSurvival : public ::testing::TestWithParam<FlowSize> {};

TEST_P(GauntletSurvival, LevelsUpToANewRankThenTheScoreEntersTheTable)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));

    // The map opens on its first map, survival, at the first rank: the other gems sealed.
    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 300));
    GauntletMapScreen* map = MapOf(game);
    EXPECT_EQ(map->GetSelectedMap(), kFirstMap);
    EXPECT_EQ(map->GetMode(), 0);
    EXPECT_EQ(map->GetRankReached(), 0);
    EXPECT_EQ(map->GemFrame(0), 3) << "the first rank is the one chosen";
    for (int gem = 1; gem < 4; ++gem)
        EXPECT_EQ(map->GemFrame(gem), 0) << "gem " << gem << " sealed";
    EXPECT_EQ(game.TextOf("txt_gaunt_desc"), LanguageText(game, "STR_SURVIVALDESC"));
    EXPECT_EQ(RowOnMap(game, 1).value, "10000");
    EXPECT_EQ(RowOnMap(game, 2).value, "5000");
    EXPECT_EQ(RowOnMap(game, 3).value, "1000");
    EXPECT_TRUE(game.Shot("map"));

    PlayFromMap(game, false);
    GameplayScreen* board = BoardOf(game);
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->IsSurvival());
    EXPECT_EQ(Gauntlet(game).stage, 1);
    EXPECT_EQ(Gauntlet(game).gauntletMap, kFirstMap);
    EXPECT_EQ(HudCaption(game), LevelCaption(game, 1));
    EXPECT_TRUE(game.Shot("level_1"));

    // Each target reached starts the next level on the same board: the level score starts again,
    // the caption follows, until the second rank opens.
    WinnerBot winner(21);
    for (int seen = 1; seen < kRankTwoLevel;) {
        ASSERT_TRUE(PlayUntil(
            game, winner, [&] { return Gauntlet(game).stage > seen || !BoardOf(game) || BoardOf(game)->lifeLost; },
            30000))
            << "level " << seen + 1 << " not reached";
        ASSERT_EQ(BoardOf(game), board) << "survival stays on one board";
        ASSERT_FALSE(board->lifeLost) << "the winner lost at level " << seen;
        seen = Gauntlet(game).stage;
        EXPECT_LT(board->levelScore, board->targetScore);
        game.Frame();
        EXPECT_EQ(HudCaption(game), LevelCaption(game, seen));
        if (seen == 2) {
            EXPECT_TRUE(board->titleActive) << "the new level's title shows";
            EXPECT_TRUE(game.Shot("level_up"));
        }
    }
    const PlayerRecord& player = *game.Profiles()->CurrentPlayer();
    EXPECT_EQ(player.mapRanks[kFirstMap], 1);
    EXPECT_EQ(Gauntlet::RankOfLevel(Gauntlet(game).stage), 1);
    EXPECT_TRUE(game.Shot("rank_up"));

    // The loser lets the chains in: in survival the first life lost ends the run.
    LoserBot loser(5);
    // It needs no aim: it looks only every few frames.
    ASSERT_TRUE(PlayUntil(game, loser, [&] { return game.Shows("dlg_lost_stats"); }, 30000, 6))
        << "running " << game.Running() << ", quit code " << game.QuitCode() << ", shots " << loser.Shots();
    EXPECT_EQ(board->lossMessage.CStr(), LanguageText(game, "STR_LIVESGAMEOVER"));
    game.Wait(30);
    const ModeProgress& run = Gauntlet(game);
    EXPECT_GE(run.score, 7 * 937) << "seven levels of 937 points each";
    EXPECT_EQ(game.TextOf("txt_stats_combos"), std::to_string(run.totalCombos));
    EXPECT_EQ(game.TextOf("txt_stats_coins"), std::to_string(run.totalCoins));
    EXPECT_EQ(game.TextOf("txt_stats_gaps"), std::to_string(run.gapShots));
    EXPECT_EQ(game.TextOf("txt_stats_maxchain"), std::to_string(run.bestChain));
    EXPECT_EQ(game.TextOf("txt_stats_maxcombo"), std::to_string(run.bestCombo));
    String time;
    FormatTime(time, run.totalFrames / 33);
    EXPECT_EQ(game.TextOf("txt_stats_total_time"), time.CStr());
    EXPECT_TRUE(game.Shot("lost_stats"));
    const int32_t score = run.score;

    // Back on the map: the run stands in the survival table where its score ranks, the second gem
    // is open and can be chosen.
    ASSERT_TRUE(game.TapWidget("btn_lost_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 300));
    map = MapOf(game);
    ASSERT_EQ(map->GetSelectedMap(), kFirstMap);
    EXPECT_EQ(map->GetRankReached(), 1);
    EXPECT_EQ(map->GemFrame(1), 1) << "the second gem open";
    EXPECT_EQ(map->GemFrame(2), 0);
    int row = score > 10000 ? 1 : score > 5000 ? 2 : 3;
    EXPECT_EQ(RowOnMap(game, row).name, "ITZEL");
    EXPECT_EQ(RowOnMap(game, row).value, std::to_string(score));
    EXPECT_TRUE(game.Shot("survival_table"));
    EXPECT_TRUE(game.MatchesStoredHash("survival_table"));
    TapGem(game, 1);
    EXPECT_EQ(map->GetChosenRank(), 1);
    EXPECT_EQ(map->GemFrame(1), 3);
    EXPECT_TRUE(game.Shot("second_rank_chosen"));

    ASSERT_TRUE(game.TapWidget("btn_gaunt_menu"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

class GauntletPractice : public ::testing::TestWithParam<FlowSize> {};

TEST_P(GauntletPractice, WinsALevelTheNextAndARandomMapQuakes)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("KAWI"));

    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 300));
    ASSERT_TRUE(game.TapWidget("chk_gaunt_switch"));
    GauntletMapScreen* map = MapOf(game);
    EXPECT_EQ(map->GetMode(), 1);
    EXPECT_EQ(game.TextOf("txt_gaunt_desc"), LanguageText(game, "STR_PRACTICEDESC"));
    EXPECT_TRUE(game.Shot("practice_map"));

    // The help before play is ticked off on the way: it does not come back.
    PlayFromMap(game, true);
    EXPECT_TRUE(game.Profiles()->skipHelp);
    GameplayScreen* board = BoardOf(game);
    EXPECT_FALSE(board->IsSurvival());
    EXPECT_EQ(Gauntlet(game).gauntletKind, 1);
    EXPECT_EQ(HudCaption(game), LevelCaption(game, 1));
    EXPECT_TRUE(game.Shot("level_1"));

    // Won: the statistics, then the next level on a new board of the same map.
    WinnerBot winner(33);
    ASSERT_TRUE(PlayUntil(game, winner, [&] { return game.Shows("dlg_stats"); }, 30000));
    EXPECT_FALSE(board->lifeLost);
    game.Wait(30);
    EXPECT_EQ(game.TextOf("txt_stats_score"), std::to_string(board->levelScore));
    EXPECT_GE(board->levelScore, board->targetScore);
    EXPECT_TRUE(game.Shot("won"));
    ASSERT_TRUE(game.TapWidget("btn_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return BoardInPlay(game) && Gauntlet(game).stage == 2; }, 900));
    EXPECT_EQ(Gauntlet(game).gauntletMap, kFirstMap);
    EXPECT_EQ(HudCaption(game), LevelCaption(game, 2));
    EXPECT_TRUE(game.Shot("level_2"));

    // A new game on the random entry, the last one browsing backwards from the first map.
    LeaveBoardForMenu(game);
    ASSERT_TRUE(game.TapWidget("btn_sm_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_continue_gauntlet"); }, 300));
    game.Wait(15);
    EXPECT_TRUE(game.Shot("continue_asked"));
    ASSERT_TRUE(game.TapWidget("btn_new_gauntlet"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 300));
    map = MapOf(game);
    ASSERT_TRUE(game.TapWidget("chk_gaunt_switch"));
    ASSERT_TRUE(game.TapWidget("btn_gaunt_back"));
    EXPECT_EQ(map->GetSelectedMap(), kRandomMapEntry);
    EXPECT_EQ(game.TextOf("txt_gaunt_desc"), LanguageText(game, "STR_PRACTICERANDOMDESC"));
    EXPECT_TRUE(game.Shot("random_entry"));
    ASSERT_TRUE(game.TapWidget("btn_gaunt_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return BoardInPlay(game); }, 900)) << "no help any more";
    EXPECT_TRUE(Gauntlet(game).randomMap);
    EXPECT_EQ(Gauntlet(game).stage, 1);
    const int firstMap = Gauntlet(game).gauntletMap;
    const std::set<int> open = {3, 13};  // the maps a new player has
    EXPECT_EQ(open.count(firstMap), 1u) << firstMap;
    EXPECT_TRUE(game.Shot("random_level_1"));

    // Won on a random map: the ground shakes and the next level lies on the other open map.
    board = BoardOf(game);
    ASSERT_TRUE(PlayUntil(game, winner, [&] { return game.Shows("dlg_stats"); }, 30000));
    ASSERT_TRUE(game.TapWidget("btn_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.App()->GetTransition().kind == kTransitionQuake; }, 300));
    ASSERT_TRUE(game.WaitUntil([&] { return BoardOf(game) && BoardOf(game)->IsQuakeFadeIn(); }, 300));
    // The old board's pieces shake, then fall apart over the new one.
    ASSERT_TRUE(game.WaitUntil([&] { return game.App()->GetTransition().quakeCountdown == 0; }, 60));
    game.Frames(10);
    ASSERT_TRUE(BoardOf(game)->IsQuakeFadeIn());
    EXPECT_TRUE(game.Shot("quake"));
    ASSERT_TRUE(game.WaitUntil([&] { return BoardInPlay(game); }, 900));
    EXPECT_EQ(Gauntlet(game).stage, 2);
    EXPECT_NE(Gauntlet(game).gauntletMap, firstMap);
    EXPECT_EQ(open.count(Gauntlet(game).gauntletMap), 1u);
    EXPECT_EQ(game.Profiles()->CurrentPlayer()->mapRanks[kRandomMapEntry], 0);
    EXPECT_TRUE(game.Shot("random_level_2"));
    EXPECT_TRUE(game.MatchesStoredHash("random_level_2"));

    LeaveBoardForMenu(game);
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

auto SizeNamed = [](const auto& info) { return FlowSizeName(info.param); };
INSTANTIATE_TEST_SUITE_P(Sizes, GauntletSurvival, ::testing::ValuesIn(kFlowSizes), SizeNamed);
INSTANTIATE_TEST_SUITE_P(Sizes, GauntletPractice, ::testing::ValuesIn(kFlowSizes), SizeNamed);

}  // namespace

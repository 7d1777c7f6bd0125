// The bots on the real program through the handheld's own input: on the first gauntlet board the
// winner scores and keeps its lives, the loser pays one.
#include <gtest/gtest.h>

#include "bot_hands.h"
#include "game/screens/gauntlet_map_screen.h"

namespace {

// From the menu through the gauntlet's map (and the help before play) onto its first board.
GameplayScreen* OntoGauntletBoard(ScriptedGame& game)
{
    if (!game.Start() || !game.ReachMenu() || !game.TapWidget("btn_sm_gauntlet") ||
        !game.WaitUntil([&] { return game.Screen<GauntletMapScreen>(kSlotGauntletMap) != nullptr; }, 300) ||
        !game.TapWidget("btn_gaunt_play"))
        return nullptr;
    game.WaitUntil([&] { return game.CanTap("btn_help_ok") || game.Screen<GameplayScreen>(kSlotGameplay); }, 300);
    if (game.CanTap("btn_help_ok"))
        game.TapWidget("btn_help_ok");
    game.WaitUntil([&] { return game.Screen<GameplayScreen>(kSlotGameplay) != nullptr; }, 300);
    return game.Screen<GameplayScreen>(kSlotGameplay);
}

class BotsOnTheHandheld : public ::testing::TestWithParam<FlowSize> {};

TEST_P(BotsOnTheHandheld, TheWinnerScoresAndTheLoserPaysALife)
{
    const FlowSize size = GetParam();
    {
        ScriptedGame game(size.width, size.height);
        ASSERT_NE(OntoGauntletBoard(game), nullptr);
        WinnerBot winner(3);
        EXPECT_EQ(PlayBoard(game, winner, 1500), BoardEnd::kOutOfTime);
        auto* board = game.Screen<GameplayScreen>(kSlotGameplay);
        ASSERT_NE(board, nullptr);
        EXPECT_FALSE(board->lifeLost);
        // Its shots land where it aimed: matches were made.
        EXPECT_GT(board->levelScore, 0);
        EXPECT_GT(winner.Shots(), 10);
        // It let go of the keys it turned the frog with.
        for (int key = 1; key <= 6; ++key)
            EXPECT_FALSE(game.App()->IsKeyDown(key)) << key;
        EXPECT_EQ(game.Quit(), 0);
    }
    ScriptedGame game(size.width, size.height);
    ASSERT_NE(OntoGauntletBoard(game), nullptr);
    LoserBot loser(4);
    EXPECT_EQ(PlayBoard(game, loser, 6000), BoardEnd::kLifeLost);
    EXPECT_EQ(game.Quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BotsOnTheHandheld, ::testing::Values(FlowSize{640, 480}, FlowSize{240, 240}),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace

// A lost adventure: the winner clears stages 1 to 3, then the loser lets the chains into the hole
// three times. The player sees the lives left, the last life, the game over and the statistics of
// the whole game; the score goes into the adventure's high scores and a new game begins.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/app/game_helpers.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/help/help_screen.h"
#include "game/play/gameplay_rules_end.h"
#include "game/screens/adventure_map_screen.h"
#include "stage_play.h"

namespace {

using namespace stage_play;

constexpr int kStageFrames = 30000;
constexpr int kWonStages = 3;
constexpr int kFramesPerSecond = 33;
constexpr int kMessageShown = gameplay_end::kMessageFrames - 6;

class LostGame : public ::testing::TestWithParam<FlowSize> {};

// The sums the lost statistics should show: the won stages' and the last board's.
struct Totals {
    int score = 0, combos = 0, coins = 0, gaps = 0, maxChain = 0, maxCombo = 0, seconds = 0;

    void Add(const ShownStats& s)
    {
        score += s.score;
        combos += s.combos;
        coins += s.coins;
        gaps += s.gaps;
        maxChain = std::max(maxChain, s.maxChain);
        maxCombo = std::max(maxCombo, s.maxCombo);
        seconds += s.seconds;
    }
};

bool HelpAtRest(ScriptedGame& game)
{
    auto* help = game.Screen<HelpScreen>(kSlotHelp);
    return help && game.CurrentScreen() == help && !help->IsScreenFading();
}

// From the map at rest, its play button through the help to the first frame of the board.
void PlayFromMap(ScriptedGame& game, int stage)
{
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return HelpAtRest(game); }, 300)) << "the help comes before the stage";
    EXPECT_FALSE(game.IsTicked("chk_dontshow"));
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));
    bool quaked = false;
    ASSERT_TRUE(WaitForStage(game, stage, quaked));
    EXPECT_FALSE(quaked);
}

// The loss of one life, from play to the message over the darkened board.
std::string LoseALife(ScriptedGame& game, LoserBot& bot)
{
    bool won = false;
    bool lost = PlayUntil(
        game, bot,
        [&] {
            GameplayScreen* board = BoardInFront(game);
            won = won || game.Shows("dlg_stats");
            return won || (board && board->lifeLost);
        },
        kStageFrames, true);
    EXPECT_FALSE(won) << "the loser cleared the level";
    EXPECT_TRUE(lost) << "the chains never reached the hole";
    GameplayScreen* board = BoardInFront(game);
    if (!board || !game.WaitUntil([&] { return !board->lossMessage.IsEmpty(); }, 3000))
        return "";
    // The message fades in over the darkened board; it stands in full just before the lost
    // statistics would follow it.
    game.WaitUntil([&] { return board->messageFrames >= kMessageShown - 8; }, 200);
    game.WaitUntilEachFrame([&] { return board->messageFrames >= kMessageShown; }, 20);
    return board->lossMessage.CStr();
}

TEST_P(LostGame, SpendsThreeLivesAndEntersTheHighScores)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    game.SetFlowName("lost");
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));
    ASSERT_TRUE(OpenAdventureMap(game));
    PlayFromMap(game, 1);
    if (HasFatalFailure())
        return;

    WinnerBot winner(3);
    Totals totals;
    for (int stage = 1; stage <= kWonStages; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        if (stage > 1) {
            bool quaked = false;
            ASSERT_TRUE(WaitForStage(game, stage, quaked));
            EXPECT_TRUE(quaked);
        }
        ASSERT_TRUE(WaitForPlay(game));
        bool lost = false;
        const bool won = PlayToWonStats(game, winner, kStageFrames, lost);
        ASSERT_FALSE(lost) << "the winner lost a life";
        ASSERT_TRUE(won) << "the winner did not clear the stage";
        ShownStats shown = ReadWonStats(game);
        ASSERT_GT(shown.score, 0);
        totals.Add(shown);
        ASSERT_TRUE(game.TapWidget("btn_stats_ok"));
    }

    // Stage 4 with three lives: two spare in the frame, the won stages' score.
    bool quaked = false;
    ASSERT_TRUE(WaitForStage(game, kWonStages + 1, quaked));
    ASSERT_TRUE(WaitForPlay(game));
    ModeProgress* progress = AdventureProgress(game);
    ASSERT_EQ(progress->lives, 3);
    EXPECT_EQ(ReadHud(*BoardInFront(game)).lifeIcons, 2);
    EXPECT_EQ(ReadHud(*BoardInFront(game)).score, totals.score);

    LoserBot loser(17);
    // Three lives: two chances to go on, then none.
    EXPECT_EQ(LoseALife(game, loser), "2 of 3 lives left");
    EXPECT_TRUE(game.Shot("lives_left"));
    EXPECT_FALSE(game.Shows("dlg_lost_stats"));
    game.Tap(game.Width() / 2, game.Height() / 2);
    ASSERT_TRUE(WaitForStage(game, kWonStages + 1, quaked));
    EXPECT_EQ(progress->lives, 2);
    ASSERT_TRUE(WaitForPlay(game));
    EXPECT_EQ(ReadHud(*BoardInFront(game)).lifeIcons, 1);

    EXPECT_EQ(LoseALife(game, loser), "Last life!");
    EXPECT_TRUE(game.Shot("last_life"));
    game.Tap(game.Width() / 2, game.Height() / 2);
    ASSERT_TRUE(WaitForStage(game, kWonStages + 1, quaked));
    EXPECT_EQ(progress->lives, 1);
    ASSERT_TRUE(WaitForPlay(game));

    EXPECT_EQ(LoseALife(game, loser), "Game over!");
    EXPECT_TRUE(game.Shot("game_over"));
    // What the last board adds to the game's totals before they are shown.
    GameplayScreen* board = BoardInFront(game);
    ASSERT_NE(board, nullptr);
    const int lastScore = board->levelScore, lastCombos = board->combos, lastCoins = board->coinsCollected;
    const int lastSeconds = board->levelTime / kFramesPerSecond;
    // No press is needed: the lost statistics follow the message.
    ASSERT_TRUE(game.WaitUntil([&] { return game.CanTap("btn_lost_stats_ok"); }, 600));
    EXPECT_EQ(progress->lives, 1) << "the last life is not paid";
    EXPECT_EQ(ShownNumber(game.TextOf("txt_stats_combos")), totals.combos + lastCombos);
    EXPECT_EQ(ShownNumber(game.TextOf("txt_stats_coins")), totals.coins + lastCoins);
    EXPECT_EQ(ShownNumber(game.TextOf("txt_stats_gaps")), totals.gaps + board->gapShots);
    EXPECT_EQ(ShownNumber(game.TextOf("txt_stats_maxchain")), totals.maxChain);
    EXPECT_EQ(ShownNumber(game.TextOf("txt_stats_maxcombo")), totals.maxCombo);
    // Each level's time was shown in whole seconds: the total lies within a second a level.
    const int time = ShownSeconds(game.TextOf("txt_stats_total_time"));
    EXPECT_GE(time, totals.seconds + lastSeconds);
    EXPECT_LE(time, totals.seconds + lastSeconds + kWonStages + 1);
    EXPECT_TRUE(game.Shot("lost_stats"));

    // The score goes into the adventure's table; a new game opens the map at the first door.
    const int score = totals.score + lastScore;
    ASSERT_TRUE(game.TapWidget("btn_lost_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 600));
    int row = 0;
    for (int r = 1; r <= 3 && row == 0; ++r) {
        std::string n = std::to_string(r);
        if (game.TextOf(("txt_hs_name_" + n).c_str()) == "ITZEL")
            row = r;
    }
    ASSERT_GT(row, 0) << "the score is not in the table";
    EXPECT_EQ(ShownNumber(game.TextOf(("txt_hs_value_" + std::to_string(row)).c_str())), score);
    EXPECT_EQ(game.Profiles()->AdventureScores()[row - 1].score, score);
    EXPECT_TRUE(game.Shot("high_scores"));

    progress = AdventureProgress(game);
    EXPECT_EQ(progress->stage, 1);
    EXPECT_EQ(progress->score, 0);
    EXPECT_EQ(progress->lives, 3);
    EXPECT_EQ(game.Screen<AdventureMapScreen>(kSlotAdventureMap)->GetSelectedDoor(), 1);
    EXPECT_FALSE(game.App()->HasResumeSave(0));
    PlayFromMap(game, 1);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitForPlay(game));
    ShownHud hud = ReadHud(*BoardInFront(game));
    EXPECT_EQ(hud.score, 0);
    EXPECT_EQ(hud.caption, LanguageText(game, "STR_LVL") + " 1-1");
    EXPECT_EQ(hud.lifeIcons, 2);
    EXPECT_TRUE(game.Shot("new_game"));

    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LostGame, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace

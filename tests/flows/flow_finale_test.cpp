// The end of the adventure. The save folder holds what the game leaves after the fourth temple: a
// player at stage 76 and the temple's screen to come back to. The winner clears the final stage;
// the door's screen, the last temple, the won statistics with the lives bonus and the end follow,
// and the menu comes back with the score in the adventure's table.
#include <gtest/gtest.h>

#include <cstring>

#include "bot_play.h"
#include "engine/core/fixed.h"
#include "engine/core/format_text.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/play/game_hud.h"
#include "game/screens/end_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "game/screens/typewriter_label.h"
#include "laid_profile.h"

namespace {

using namespace laid_final;

ModeProgress& Adventure(ScriptedGame& game)
{
    return game.Profiles()->CurrentPlayer()->progress[0];
}

template <class T>
bool InFrontAtRest(ScriptedGame& game, int slot)
{
    T* screen = game.Screen<T>(slot);
    return screen && game.CurrentScreen() == screen && !screen->IsScreenFading();
}

std::string PhraseOf(ScriptedGame& game, int phrase)
{
    auto* label = dynamic_cast<TypewriterLabel*>(game.Find(("txt_temple_phrase" + std::to_string(phrase)).c_str()));
    return label && label->GetText().CStr() ? label->GetText().CStr() : "";
}

// The three phrases typed out, in the order 1, 3, 2.
bool PhrasesTyped(ScriptedGame& game)
{
    auto* last = dynamic_cast<TypewriterLabel*>(game.Find("txt_temple_phrase2"));
    return last && last->IsVisible() && last->IsDone();
}

void TapMiddle(ScriptedGame& game)
{
    game.Tap(game.Width() / 2, game.Height() / 2);
}

class Finale : public ::testing::TestWithParam<FlowSize> {};

TEST_P(Finale, FinalStageWonLeadsThroughTheTempleToTheEnd)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    ASSERT_TRUE(LayFinalSaves(game.SaveFolder(), game.Width(), game.Height()));
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("NOBODY")) << "the laid player is taken, no name asked";
    const char* welcome = GetParam().width == 240 ? "txt_welcome240_2" : "txt_welcome";
    EXPECT_NE(game.TextOf(welcome).find("ITZEL"), std::string::npos) << game.TextOf(welcome);
    EXPECT_EQ(Adventure(game).stage, kStage);

    // The adventure offers its saved game: the thirteenth door, its first stage, the score so far.
    ASSERT_TRUE(game.TapWidget("btn_sm_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_continue_adventure"); }, 300));
    game.Wait(15);
    const std::string offer = game.TextOf("txt_continue_2");
    EXPECT_NE(offer.find("13"), std::string::npos) << offer;
    EXPECT_NE(offer.find(std::to_string(kScore)), std::string::npos) << offer;
    EXPECT_TRUE(game.Shot("continue_asked"));

    // Back at the fourth temple: its guardian lets the frog into the Heart.
    ASSERT_TRUE(game.TapWidget("btn_continue_adventure"));
    ASSERT_TRUE(game.WaitUntil([&] { return InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete); }, 300));
    ASSERT_TRUE(game.WaitUntil([&] { return PhrasesTyped(game); }, 1500));
    EXPECT_EQ(PhraseOf(game, 1), LanguageText(game, "STR_TEMPLE_COMPLETE_1_1", 3));
    EXPECT_EQ(PhraseOf(game, 2), LanguageText(game, "STR_TEMPLE_COMPLETE_2_4"));
    EXPECT_EQ(PhraseOf(game, 3), LanguageText(game, "STR_RIBBIT_ASK"));
    EXPECT_EQ(game.Screen<TempleCompleteScreen>(kSlotTempleComplete)->GetLivesBonus(), 0);
    EXPECT_TRUE(game.Shot("fourth_temple"));

    TapMiddle(game);
    ASSERT_TRUE(game.WaitUntil([&] { return BoardOf(game) && BoardOf(game)->playState == kPlayPlaying; }, 900));
    GameplayScreen* board = BoardOf(game);
    ASSERT_TRUE(game.WaitUntil([&] { return !board->IsScreenFading() && game.OpenDialog() == nullptr; }, 300));
    // The final stage asks for 10000 points, three quarters of which make the target.
    EXPECT_EQ(board->targetScore, 7500);
    EXPECT_EQ(board->hud->GetCaption().CStr(), LanguageText(game, "STR_LVL") + " 13-1");
    game.Wait(90);
    EXPECT_TRUE(game.Shot("final_stage"));

    WinnerBot winner(76);
    ASSERT_TRUE(PlayUntil(game, winner, [&] { return game.Shows("dlg_stats") || board->lifeLost; }, 60000));
    ASSERT_FALSE(board->lifeLost) << "the winner lost a life on the final stage";
    game.Wait(30);
    EXPECT_EQ(game.TextOf("txt_stats_score"), std::to_string(board->levelScore));
    // After the final stage the tip is a fortune.
    const std::string tip = game.TextOf("txt_stats_tip");
    bool fortune = false;
    for (int r = 0; r < 8; ++r)
        fortune = fortune || tip == LanguageText(game, "STR_FORTUNES_1", r);
    EXPECT_TRUE(fortune) << tip;
    EXPECT_TRUE(game.Shot("won"));
    const int32_t levelScore = board->levelScore;  // the time bonus is in it
    const int32_t combos = board->combos;
    const int32_t coins = board->coinsCollected;

    // The thirteenth door is complete; the adventure is finished, and the lives left are paid
    // with it, 50000 each.
    const int32_t bonus = kLives * 50000;
    ASSERT_TRUE(game.TapWidget("btn_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return InFrontAtRest<StageCompleteScreen>(game, kSlotStageComplete); }, 900));
    auto* door = game.Screen<StageCompleteScreen>(kSlotStageComplete);
    EXPECT_EQ(door->GetStageText().CStr(), LanguageText(game, "STR_STAGE") + " 13");
    const PlayerRecord& player = *game.Profiles()->CurrentPlayer();
    EXPECT_EQ(Adventure(game).stage, kStage + 1);
    EXPECT_EQ(player.highestStage, kStage + 1);
    EXPECT_EQ(player.adventureFinished, 1);
    EXPECT_EQ(Adventure(game).score, kScore + levelScore + bonus);
    ASSERT_TRUE(game.WaitUntil([&] { return door->GetPhase() == StageCompleteScreen::kFinished; }, 900));
    EXPECT_TRUE(game.Shot("stage_complete"));

    // The last temple: the frog, now a hero, answers with the final sentence; the bonus is shown.
    TapMiddle(game);
    ASSERT_TRUE(game.WaitUntil([&] { return InFrontAtRest<TempleCompleteScreen>(game, kSlotTempleComplete); }, 900));
    ASSERT_TRUE(game.WaitUntil([&] { return PhrasesTyped(game); }, 1500));
    auto* temple = game.Screen<TempleCompleteScreen>(kSlotTempleComplete);
    EXPECT_EQ(temple->GetLivesBonus(), bonus);
    EXPECT_EQ(Adventure(game).score, kScore + levelScore + bonus);
    EXPECT_EQ(PhraseOf(game, 1), LanguageText(game, "STR_TEMPLE_COMPLETE_1_1", 4));
    EXPECT_EQ(PhraseOf(game, 3),
              LanguageText(game, "STR_RIBBIT_EXCLAIM") + " " + LanguageText(game, "STR_TEMPLE_COMPLETE_F_1", 4));
    EXPECT_TRUE(game.Shot("temple_complete"));

    // The won statistics: the laid totals with the final stage added once, and the bonus.
    TapMiddle(game);
    ASSERT_TRUE(game.WaitUntil([&] { return game.Shows("dlg_won_stats") && game.Shows("btn_won_stats_ok"); }, 300));
    game.Wait(30);
    EXPECT_EQ(game.TextOf("txt_stats_combos"), std::to_string(kCombos + combos));
    EXPECT_EQ(game.TextOf("txt_stats_coins"), std::to_string(kCoins + coins));
    EXPECT_EQ(game.TextOf("txt_stats_extralife_val"),
              FormatText(LanguageText(game, "STR_STATS_EXTRALIFE_VAL").c_str(), {bonus}).CStr());
    String time;
    FormatTime(time, Adventure(game).totalFrames / 33);
    EXPECT_EQ(game.TextOf("txt_stats_total_time"), time.CStr());
    EXPECT_GT(Adventure(game).totalFrames, kFrames);
    EXPECT_TRUE(game.Shot("won_stats"));
    EXPECT_TRUE(game.MatchesStoredHash("won_stats"));

    // The end: the epilogue rolls; the won game's score heads the table and nothing is left to
    // continue.
    ASSERT_TRUE(game.TapWidget("btn_won_stats_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return InFrontAtRest<EndScreen>(game, kSlotEnd); }, 600));
    const ScoreEntry& best = game.Profiles()->AdventureScores()[0];
    EXPECT_EQ(best.score, kScore + levelScore + bonus);
    EXPECT_EQ(std::string(best.name, strnlen(best.name, kPlayerNameBytes)), "ITZEL");
    EXPECT_FALSE(game.App()->HasResumeSave(0));
    auto* end = game.Screen<EndScreen>(kSlotEnd);
    Fixed before = end->GetOffset();
    game.Wait(60);
    if (GetParam().width == 240) {
        // Too small a screen for the epilogue: a title and a closing line stand in its place.
        EXPECT_EQ(game.TextOf("txt_end_title"), LanguageText(game, "STR_END_TITLE"));
        EXPECT_TRUE(game.Shows("txt_end_closing"));
    } else {
        EXPECT_NE(end->GetOffset().raw, before.raw) << "the epilogue scrolls";
        EXPECT_FALSE(game.Shows("txt_end_closing"));
    }
    EXPECT_TRUE(game.Shot("the_end"));

    ASSERT_TRUE(game.TapWidget("btn_end_ok"));
    ASSERT_TRUE(game.WaitUntil([&] { return game.MenuAtRest(); }, 300));
    EXPECT_TRUE(game.Shot("menu"));
    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, Finale, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace

// The first temple of the adventure played through: stages 1 to 15 won by the winner on the real
// screens, the help before play ticked off on the way in, the quake between stages, each door's
// stage complete, the slide into the temple's end with its phrases, the map with the second
// temple unveiled, and the profile that results.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/app/screen_transition.h"
#include "game/help/help_screen.h"
#include "game/play/game_hud.h"
#include "game/screens/adventure_map_screen.h"
#include "game/screens/stage_complete_screen.h"
#include "game/screens/temple_complete_screen.h"
#include "game/screens/typewriter_label.h"
#include "game/tables/map_info.h"
#include "game/tables/progression.h"
#include "stage_play.h"

namespace {

using namespace stage_play;

constexpr int kStageFrames = 30000;  // frame periods the winner may take over one stage
constexpr int kTempleStages = 15;

class AdventureFlow : public ::testing::TestWithParam<FlowSize> {};

std::string Caption(ScriptedGame& game, int stage)
{
    return LanguageText(game, "STR_LVL") + " " + std::to_string(Adventure::DoorOfStage(stage)) + "-" +
           std::to_string(Adventure::StageInDoor(stage));
}

// The screen of the slot once it stands in front and has stopped fading.
template <class T>
T* ScreenAtRest(ScriptedGame& game, int slot)
{
    T* screen = game.Screen<T>(slot);
    return screen && game.CurrentScreen() == screen && !screen->IsScreenFading() ? screen : nullptr;
}

// Plays the board in front to its won statistics; a life lost on the way fails the flow.
void WinStage(ScriptedGame& game, WinnerBot& bot, int stage, ShownStats& shown)
{
    ASSERT_TRUE(WaitForPlay(game)) << "stage " << stage << " never came into play";
    bool lost = false;
    bool won = PlayToWonStats(game, bot, kStageFrames, lost);
    ASSERT_FALSE(lost) << "the winner let the chains reach the hole on stage " << stage;
    ASSERT_TRUE(won) << "the winner did not clear stage " << stage << " within " << kStageFrames << " frames";
    GameplayScreen* board = BoardInFront(game);
    ASSERT_NE(board, nullptr);
    shown = ReadWonStats(game);
    // A won level reached its target; the statistics show what the board counted.
    EXPECT_GE(shown.score, board->GetTargetScore()) << "stage " << stage;
    EXPECT_EQ(shown.score, board->levelScore) << "stage " << stage;
    EXPECT_GE(shown.maxChain, 1) << "a level is not cleared without a match";
    EXPECT_GE(shown.seconds, 0) << "stage " << stage;
    EXPECT_NE(shown.bonus.find(std::to_string(board->timeBonus)), std::string::npos) << shown.bonus;
}

TEST_P(AdventureFlow, WinsTheFirstTempleAndOpensTheSecond)
{
    ScriptedGame game(GetParam().width, GetParam().height);
    game.SetFlowName("adventure");
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.ReachMenu("ITZEL"));

    // A fresh player's adventure opens on the map at the first door.
    ASSERT_TRUE(OpenAdventureMap(game));
    auto* map = game.Screen<AdventureMapScreen>(kSlotAdventureMap);
    EXPECT_EQ(map->GetDoorsOpen(), 1);
    EXPECT_EQ(map->GetSelectedDoor(), 1);
    EXPECT_EQ(game.TextOf("txt_adv_stage_n"), "1");
    EXPECT_EQ(game.TextOf("txt_adv_temple"), LanguageText(game, "STR_TEMPLE_NAME_1"));
    EXPECT_TRUE(game.Shot("map_first_door"));

    // The help comes before the first stage; its tick box keeps it away from now on.
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    ASSERT_TRUE(game.WaitUntil([&] { return ScreenAtRest<HelpScreen>(game, kSlotHelp) != nullptr; }, 300));
    EXPECT_FALSE(game.IsTicked("chk_dontshow"));
    ASSERT_TRUE(game.TapWidget("chk_dontshow"));
    EXPECT_TRUE(game.IsTicked("chk_dontshow"));
    EXPECT_TRUE(game.Profiles()->skipHelp);
    EXPECT_TRUE(game.Shot("help_before_play"));
    ASSERT_TRUE(game.TapWidget("btn_help_ok"));

    WinnerBot bot(29);
    int total = 0;
    for (int stage = 1; stage <= kTempleStages; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        bool quaked = false;
        ASSERT_TRUE(WaitForStage(game, stage, quaked));
        // Every stage but the first comes in with the quake, from the board or the door's end.
        EXPECT_EQ(quaked, stage > 1);
        if (stage == 2 || stage == 6) {
            game.Frames(6);
            EXPECT_TRUE(BoardInFront(game)->IsQuakeFadeIn());
            EXPECT_TRUE(game.Shot("stage" + std::to_string(stage) + "_quake"));
        }
        ASSERT_TRUE(WaitForPlay(game));
        ShownHud hud = ReadHud(*BoardInFront(game));
        EXPECT_EQ(hud.caption, Caption(game, stage));
        EXPECT_EQ(hud.score, total) << "the frame shows the score of the stages won so far";
        if (stage == 1) {
            EXPECT_TRUE(game.Shot("stage1_play"));
        }

        const uint64_t heard = game.SoundMark();
        ShownStats shown;
        WinStage(game, bot, stage, shown);
        if (HasFatalFailure())
            return;
        total += shown.score;
        EXPECT_GT(game.AudibleSince(heard), 0u) << "a level is played in silence";
        if (stage == 1 || stage == kTempleStages) {
            EXPECT_TRUE(game.Shot("stage" + std::to_string(stage) + "_stats"));
        }
        ASSERT_TRUE(game.TapWidget("btn_stats_ok"));

        if (!Adventure::IsFirstStageOfDoor(stage + 1))
            continue;
        // The door's last stage: the frog walks while "Door n" and "Complete!" are typed out.
        StageCompleteScreen* complete = nullptr;
        ASSERT_TRUE(game.WaitUntil(
            [&] {
                complete = ScreenAtRest<StageCompleteScreen>(game, kSlotStageComplete);
                return complete && complete->GetPhase() == StageCompleteScreen::kFinished;
            },
            3000));
        const int door = Adventure::DoorOfStage(stage);
        EXPECT_EQ(complete->GetStageText().CStr(), LanguageText(game, "STR_STAGE") + " " + std::to_string(door));
        EXPECT_EQ(complete->GetCompleteText().CStr(), LanguageText(game, "STR_COMPLETE"));
        EXPECT_EQ(complete->GetHud()->GetCaption().CStr(), Caption(game, stage));
        EXPECT_EQ(ShownNumber(complete->GetHud()->GetScoreText().CStr()), total);
        EXPECT_TRUE(game.Shot("door" + std::to_string(door) + "_complete"));
        game.Tap(game.Width() / 2, game.Height() / 2);
    }

    // The temple's last door: the slide into its end, where the guardian and the frog speak.
    TempleCompleteScreen* temple = nullptr;
    bool slid = false;
    ASSERT_TRUE(game.WaitUntilEachFrame(
        [&] {
            temple = game.Screen<TempleCompleteScreen>(kSlotTempleComplete);
            if (!temple || game.CurrentScreen() != temple)
                return false;
            slid = temple->IsScreenFadingIn() && game.App()->GetTransition().kind == kTransitionSlide;
            return true;
        },
        300));
    EXPECT_TRUE(slid);
    game.Frames(10);
    EXPECT_TRUE(game.Shot("temple_slide"));
    ASSERT_TRUE(game.WaitUntil(
        [&] {
            auto* last = dynamic_cast<TypewriterLabel*>(game.Find("txt_temple_phrase3"));
            return ScreenAtRest<TempleCompleteScreen>(game, kSlotTempleComplete) && last && last->IsDone() &&
                   game.Shows("txt_temple_phrase3");
        },
        3000));
    EXPECT_EQ(game.TextOf("txt_temple_phrase1"), LanguageText(game, "STR_TEMPLE_COMPLETE_1_1", 0));
    EXPECT_EQ(game.TextOf("txt_temple_phrase3"), LanguageText(game, "STR_RIBBIT"));
    // Only the final stage's end pays for the lives left; a temple's end adds nothing.
    EXPECT_EQ(temple->GetLivesBonus(), 0);
    EXPECT_EQ(AdventureProgress(game)->score, total);
    EXPECT_EQ(ShownNumber(temple->GetHud()->GetScoreText().CStr()), total);
    EXPECT_TRUE(game.Shot("temple_complete"));
    game.Tap(game.Width() / 2, game.Height() / 2);

    // Back on the map the second temple fades in, its first door chosen.
    ASSERT_TRUE(game.WaitUntilEachFrame(
        [&] {
            map = game.Screen<AdventureMapScreen>(kSlotAdventureMap);
            return map && game.CurrentScreen() == map;
        },
        300));
    EXPECT_EQ(map->GetUnveilingTemple(), 1);
    game.Frames(20);
    EXPECT_TRUE(game.Shot("temple2_unveiling"));
    ASSERT_TRUE(game.WaitUntil([&] { return MapAtRest(game); }, 600));
    EXPECT_EQ(map->GetDoorsOpen(), 4);
    EXPECT_EQ(map->GetSelectedDoor(), 4);
    EXPECT_EQ(game.TextOf("txt_adv_stage_n"), "4");
    EXPECT_EQ(game.TextOf("txt_adv_temple"), LanguageText(game, "STR_TEMPLE_NAME_2"));
    EXPECT_TRUE(game.Shot("map_temple2"));

    // The profile: at stage 16 with every point the statistics showed, each map played opened
    // in the gauntlet and no other.
    PlayerRecord* player = game.Profiles()->CurrentPlayer();
    ModeProgress* progress = AdventureProgress(game);
    EXPECT_EQ(progress->stage, 16);
    EXPECT_EQ(progress->score, total);
    EXPECT_GE(progress->lives, 3);
    EXPECT_EQ(player->highestStage, 16);
    EXPECT_EQ(progress->templeShown[1], 1);
    EXPECT_EQ(progress->templeShown[2], 0);
    std::set<int> played;
    for (int stage = 1; stage <= kTempleStages; ++stage)
        played.insert(AdventureStageMap(stage));
    for (int m = 0; m < MapInfo::kCount; ++m) {
        const bool open = played.count(m) || m == 3 || m == 13;
        EXPECT_EQ(player->mapRanks[m] >= 0, open) << "map " << m;
    }

    // Stage 16 starts straight from the map: the help stays away.
    ASSERT_TRUE(game.TapWidget("btn_adv_play"));
    bool helped = false;
    ASSERT_TRUE(game.WaitUntilEachFrame(
        [&] {
            helped = helped || game.Screen<HelpScreen>(kSlotHelp) != nullptr;
            GameplayScreen* board = BoardInFront(game);
            return board && !board->IsScreenFading();
        },
        300));
    EXPECT_FALSE(helped);
    GameplayScreen* board = BoardInFront(game);
    EXPECT_EQ(ReadHud(*board).caption, Caption(game, 16));
    EXPECT_EQ(ReadHud(*board).score, total);
    EXPECT_TRUE(game.Shot("stage16"));

    EXPECT_EQ(game.Quit(), 0);
    EXPECT_TRUE(game.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, AdventureFlow, ::testing::ValuesIn(kFlowSizes),
                         [](const auto& info) { return FlowSizeName(info.param); });

}  // namespace

// Lives and the level's end on shipped levels: the hole watch, the loss sequence and its message,
// the press that pays a life, the lost and won statistics, the time bonus, best times and where a
// finished level leads.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/format_text.h"
#include "engine/ui/string_table.h"
#include "engine/ui/text_widgets.h"
#include "game/app/game_events.h"
#include "game/app/game_helpers.h"
#include "game/app/game_keys.h"
#include "game/app/profile_store.h"
#include "game/play/ball_sprite.h"
#include "game/play/frog.h"
#include "game/play/hole.h"
#include "game/tables/map_info.h"
#include "gameplay_rules_app.h"

namespace {

std::string Text(GameplayScreen& board, const char* name)
{
    auto* widget = dynamic_cast<TextWidget*>(ScriptWidget::FindByName(&board, name));
    return widget && widget->GetText().CStr() ? widget->GetText().CStr() : "<none>";
}

std::string Language(GameApp& app, const char* key)
{
    String text;
    app.GetLanguageTable()->Lookup(text, key);
    return text.CStr() ? text.CStr() : "";
}

void StartStage(RulesApp& app, int stage, int frames = 260)
{
    app.PlayAdventure(stage);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(frames);
    // Past the intro the board plays.
    if (frames > 200) {
        ASSERT_EQ(app.Board()->playState, kPlayPlaying);
    }
}

// Moves the whole first chain so that its head stands at the end of its track plus `past`.
void PutHeadAtHole(GameplayScreen& board, Fixed past)
{
    BallChain& chain = *board.chains[0];
    Fixed shift = chain.path->Length() + past - chain.balls[0].distance;
    for (int i = 0; i < chain.count; ++i) {
        chain.balls[i].distance += shift;
        chain.balls[i].pullSpeed = Fixed();
    }
    board.shotPending = 0;
    board.holeCountdown = 10;
}

// Runs the loss sequence until the chains have drained; false when they never do.
bool DrainAfterLoss(GameplayScreen& board)
{
    for (int i = 0; i < 3000 && !board.waitingAfterLoss; ++i)
        board.LoseLifeSequence();
    return board.waitingAfterLoss != 0;
}

int CountScore(const ScoreEntry* table, int score)
{
    int n = 0;
    for (int i = 0; i < kHighScoreEntries; ++i)
        n += table[i].score == score;
    return n;
}

}  // namespace

TEST(GameplayLives, TheHoleTakesALifeAfterTenQuietFrames)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 1);
    GameplayScreen& board = *app.Board();
    const Fixed overshoot = board.collisionDistance + Fixed::ShiftRight(board.collisionDistance, 1);
    PutHeadAtHole(board, Fixed());
    for (int i = 0; i < 9; ++i)
        board.CheckHole();
    EXPECT_EQ(board.lifeLost, 0);
    board.CheckHole();
    EXPECT_EQ(board.lifeLost, 1);
    EXPECT_EQ(board.playState, kPlayLifeLost);
    EXPECT_EQ(board.chains[0]->targetSpeed, board.rushSpeed);
    EXPECT_EQ(board.curves[0].GetHole()->GetCoverTarget(), board.curves[0].GetHole()->GetCoverFrameCount() - 1);

    // A shot still settling, or a head rolling back, costs nothing.
    StartStage(app, 1);
    GameplayScreen& settling = *app.Board();
    PutHeadAtHole(settling, Fixed());
    settling.shotPending = 1;
    for (int i = 0; i < 30; ++i)
        settling.CheckHole();
    EXPECT_EQ(settling.lifeLost, 0);
    settling.shotPending = 0;
    settling.chains[0]->balls[0].pullSpeed = Fixed::FromInt(-1);
    for (int i = 0; i < 10; ++i)
        settling.CheckHole();
    EXPECT_EQ(settling.lifeLost, 0);
    EXPECT_EQ(settling.holeCountdown, 10);

    // Half a ball more than a ball past the end costs a life at once; a pixel less does not.
    StartStage(app, 1);
    PutHeadAtHole(*app.Board(), overshoot - Fixed::FromInt(1));
    app.Board()->CheckHole();
    EXPECT_EQ(app.Board()->lifeLost, 0);
    PutHeadAtHole(*app.Board(), overshoot);
    app.Board()->CheckHole();
    EXPECT_EQ(app.Board()->lifeLost, 1);
}

TEST(GameplayLives, TheMessageTellsTheLivesLeft)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    String format;
    app.GetLanguageTable()->Lookup(format, "STR_LIVESLEFT");
    const std::string expected[] = {Language(app, "STR_LIVESGAMEOVER"), Language(app, "STR_LIVESLAST"),
                                    FormatText(format.CStr(), {2, 3}).CStr()};
    for (int lives = 1; lives <= 3; ++lives) {
        SCOPED_TRACE(lives);
        StartStage(app, 1);
        app.Player()->progress[0].lives = lives;
        GameplayScreen& board = *app.Board();
        board.LoseLife();
        ASSERT_TRUE(DrainAfterLoss(board));
        board.LoseLifeSequence();
        EXPECT_EQ(std::string(board.lossMessage.CStr()), expected[lives - 1]);
        EXPECT_GT(board.messageY, 0);
        for (int i = 0; i < 70; ++i)
            board.LoseLifeSequence();
        EXPECT_EQ(board.messageFrames, 66);
        EXPECT_EQ(board.lossFadeValue, -216);
        // Only the last life opens the lost statistics by itself.
        EXPECT_EQ(ScriptWidget::FindByName(&board, "dlg_lost_stats") != nullptr, lives == 1);
    }
}

TEST(GameplayLives, OnePressPaysOneLife)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 2);
    app.Player()->progress[0].lives = 3;
    GameplayScreen& board = *app.Board();
    board.LoseLife();
    ASSERT_TRUE(DrainAfterLoss(board));
    EXPECT_TRUE(board.CanSaveLevel());
    EXPECT_TRUE(board.OnRulesKey(kKeyAction, true));
    EXPECT_TRUE(board.OnRulesKey(kKeyAction, true));
    EXPECT_TRUE(board.OnRulesPointer(10, 10, 0, 1));
    EXPECT_EQ(app.Player()->progress[0].lives, 2);
    EXPECT_EQ(board.GetEndState(), 1);
    EXPECT_FALSE(board.CanSaveLevel());
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventPlayLevel});
}

TEST(GameplayLives, TheLostStatisticsEnterTheScoreOnce)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 3);
    ModeProgress& progress = app.Player()->progress[0];
    progress.lives = 1;
    progress.score = 41000;
    progress.gapShots = 2;
    GameplayScreen& board = *app.Board();
    board.levelScore = 1500;
    board.gapShots = 3;
    board.combos = 4;
    board.LoseLife();
    ASSERT_TRUE(DrainAfterLoss(board));
    for (int i = 0; i < 70; ++i)
        board.LoseLifeSequence();
    ASSERT_NE(ScriptWidget::FindByName(&board, "dlg_lost_stats"), nullptr);
    // The level is folded in once, its own numbers cleared, gap shots with them.
    EXPECT_EQ(progress.score, 42500);
    EXPECT_EQ(progress.gapShots, 5);
    EXPECT_EQ(board.levelScore, 0);
    EXPECT_EQ(board.gapShots, 0);
    EXPECT_EQ(Text(board, "txt_stats_gaps"), "5");
    EXPECT_EQ(Text(board, "txt_stats_combos"), std::to_string(progress.totalCombos));
    board.ShowLostStatsDialog();
    EXPECT_EQ(progress.gapShots, 5);

    EXPECT_TRUE(board.OnRulesUiEvent(nullptr, kMsgCommand, "btn_lost_stats_ok", 0));
    EXPECT_TRUE(board.OnRulesUiEvent(nullptr, kMsgCommand, "btn_lost_stats_ok", 0));
    EXPECT_EQ(CountScore(app.GetProfiles()->AdventureScores(), 42500), 1);
    // A new adventure waits.
    EXPECT_EQ(app.Player()->progress[0].stage, 1);
    EXPECT_EQ(app.Player()->progress[0].score, 0);
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventNewAdventure});
}

TEST(GameplayLives, ALostSurvivalGoesBackToTheMap)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayGauntlet(4, 9, true);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(260);
    GameplayScreen& board = *app.Board();
    KeepAsSeed(SaveBoard(board), 4 << 2 | 1, "survival_map_4");
    ASSERT_TRUE(app.SaveResumeState());
    ASSERT_TRUE(app.HasResumeSave(1));
    app.Player()->progress[1].lives = 3;
    board.levelScore = 777;
    board.LoseLife();
    ASSERT_TRUE(DrainAfterLoss(board));
    // Survival has no lives to spare: the statistics come, and a press opens them too.
    for (int i = 0; i < 70; ++i)
        board.LoseLifeSequence();
    ASSERT_NE(ScriptWidget::FindByName(&board, "dlg_lost_stats"), nullptr);
    EXPECT_TRUE(board.OnRulesUiEvent(nullptr, kMsgCommand, "btn_lost_stats_ok", 0));
    EXPECT_EQ(CountScore(app.GetProfiles()->GauntletScores(0, 4), 777), 1);
    EXPECT_FALSE(app.HasResumeSave(1));
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventGauntletMap});
}

TEST(GameplayLives, AQuitAtTheGameOverMessageResumesIntoTheLostStatistics)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 2);
    app.Player()->progress[0].lives = 1;
    app.Player()->progress[0].score = 3000;
    GameplayScreen& board = *app.Board();
    board.levelScore = 200;
    board.LoseLife();
    ASSERT_TRUE(DrainAfterLoss(board));
    board.LoseLifeSequence();
    ASSERT_LT(board.messageFrames, 66);
    KeepAsSeed(SaveBoard(board), 0, "game_over_message");
    ASSERT_TRUE(app.SaveResumeState());
    ASSERT_TRUE(app.ShowStartMenu());
    ASSERT_TRUE(app.ResumeGame(0));
    GameplayScreen* resumed = app.Board();
    ASSERT_NE(resumed, nullptr);
    EXPECT_EQ(resumed->playState, kPlayLifeLost);
    RemoveReadyDialog(*resumed);
    app.BoardFrames(80);
    ASSERT_NE(ScriptWidget::FindByName(resumed, "dlg_lost_stats"), nullptr);
    EXPECT_TRUE(resumed->OnRulesUiEvent(nullptr, kMsgCommand, "btn_lost_stats_ok", 0));
    EXPECT_TRUE(resumed->OnRulesUiEvent(nullptr, kMsgCommand, "btn_lost_stats_ok", 0));
    EXPECT_EQ(CountScore(app.GetProfiles()->AdventureScores(), 3200), 1);
}

TEST(GameplayLevelEnd, TimeBonusByHand)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 1, 1);
    GameplayScreen& board = *app.Board();
    const int par = 30 * 33;
    // Half the par: 1 - 0.5 of 25000, to the hundred below, plus 100.
    EXPECT_EQ(board.TimeBonus(495, par), 12600);
    // 660 / 990 is 170/256 in 24.8; 86/256 of 25000 is 8398.
    EXPECT_EQ(board.TimeBonus(660, par), 8400);
    EXPECT_EQ(board.TimeBonus(par, par), 100);
    EXPECT_EQ(board.TimeBonus(0, par), 25100);
    EXPECT_EQ(board.TimeBonus(par + 1, par), 0);
}

TEST(GameplayLevelEnd, OnlyAFasterTimeReplacesTheBest)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 2, 1);
    GameplayScreen& board = *app.Board();
    std::strcpy(app.Player()->name, "Ann");
    BestTime* best = app.GetProfiles()->AdventureTime(2);
    best->seconds = 0;
    board.levelTime = 40 * 33 + 20;
    board.RecordBestTime();
    EXPECT_EQ(best->seconds, 40);
    EXPECT_STREQ(best->name, "Ann");
    std::strcpy(app.Player()->name, "Bob");
    board.levelTime = 50 * 33;
    board.RecordBestTime();
    EXPECT_EQ(best->seconds, 40);
    EXPECT_STREQ(best->name, "Ann");
    board.levelTime = 30 * 33;
    board.RecordBestTime();
    EXPECT_EQ(best->seconds, 30);
    EXPECT_STREQ(best->name, "Bob");
    // A record of -1 is none: any time replaces it.
    best->seconds = -1;
    board.levelTime = 90 * 33;
    board.RecordBestTime();
    EXPECT_EQ(best->seconds, 90);
}

TEST(GameplayLevelEnd, AdventureStagesLeadOn)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayerRecord& player = *app.Player();
    const int map1 = AdventureStageMap(1);
    player.mapRanks[map1] = -1;
    StartStage(app, 1, 1);
    app.Board()->levelScore = 900;
    app.Board()->AdventureLevelEnd();
    EXPECT_EQ(player.progress[0].stage, 2);
    EXPECT_EQ(player.progress[0].score, 900);
    EXPECT_EQ(player.mapRanks[map1], 0);
    EXPECT_GE(player.highestStage, 2);
    EXPECT_EQ(app.GetTransition().kind, kTransitionQuake);
    EXPECT_EQ(app.GetTransition().quakeCountdown, 22);
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventPlayLevel});

    // The last stage of a door goes to the stage-complete screen; a rank reached stays.
    app.events.clear();
    player.mapRanks[AdventureStageMap(5)] = 2;
    StartStage(app, 5, 1);
    app.Board()->AdventureLevelEnd();
    EXPECT_EQ(player.progress[0].stage, 6);
    EXPECT_EQ(player.mapRanks[AdventureStageMap(5)], 2);
    EXPECT_EQ(app.GetTransition().kind, kTransitionNone);
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventStageComplete});

    app.events.clear();
    StartStage(app, 76, 1);
    app.Board()->AdventureLevelEnd();
    EXPECT_EQ(player.adventureFinished, 1);
    EXPECT_EQ(player.progress[0].stage, 77);
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventStageComplete});
}

TEST(GameplayLevelEnd, PracticeRaisesTheMapsRankAndNeverLowersIt)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayerRecord& player = *app.Player();
    player.mapRanks[6] = 0;
    app.PlayGauntlet(6, 7, false);
    ASSERT_TRUE(app.ShowBoard(true));
    app.Board()->GauntletLevelEnd();
    EXPECT_EQ(player.progress[1].stage, 8);
    EXPECT_EQ(player.mapRanks[6], 1);
    EXPECT_TRUE(player.progress[1].levelUp);
    EXPECT_EQ(app.GetTransition().kind, kTransitionNone);
    app.DeliverParked();
    EXPECT_EQ(app.events, std::vector<int>{kEventPlayLevel});

    player.mapRanks[6] = 3;
    app.PlayGauntlet(6, 7, false);
    ASSERT_TRUE(app.ShowBoard(true));
    app.Board()->GauntletLevelEnd();
    EXPECT_EQ(player.mapRanks[6], 3);

    // On the random map the rank is the random entry's, and the next map is drawn.
    player.mapRanks[kRandomMapEntry] = 0;
    app.PlayGauntlet(6, 7, false);
    player.progress[1].randomMap = true;
    ASSERT_TRUE(app.ShowBoard(true));
    app.Board()->GauntletLevelEnd();
    EXPECT_EQ(player.mapRanks[kRandomMapEntry], 1);
    EXPECT_EQ(player.mapRanks[6], 3);
    EXPECT_GE(player.progress[1].gauntletMap, 0);
    EXPECT_LT(player.progress[1].gauntletMap, MapInfo::kCount);
}

TEST(GameplayLevelEnd, TheStatisticsShowTheLevel)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    StartStage(app, 2);
    GameplayScreen& board = *app.Board();
    board.levelScore = 4321;
    board.combos = 3;
    board.gapShots = 2;
    board.bestChain = 6;
    board.levelTime = 75 * 33;
    board.timeBonus = 8400;
    BestTime* best = app.GetProfiles()->AdventureTime(2);
    best->seconds = 61;
    std::strcpy(best->name, "Cy");
    board.ShowStatsDialog();
    ASSERT_NE(ScriptWidget::FindByName(&board, "dlg_stats"), nullptr);
    EXPECT_EQ(Text(board, "txt_stats_score"), "4321");
    EXPECT_EQ(Text(board, "txt_stats_combos"), "3");
    EXPECT_EQ(Text(board, "txt_stats_gaps"), "2");
    EXPECT_EQ(Text(board, "txt_stats_maxchain"), "6");
    String time;
    FormatTime(time, 75);
    EXPECT_EQ(Text(board, "txt_stats_yourtime"), time.CStr());
    FormatTime(time, 61);
    EXPECT_EQ(Text(board, "txt_stats_best_time"), time.CStr());
    EXPECT_EQ(Text(board, "txt_stats_best_name"), "Cy");
    EXPECT_NE(Text(board, "txt_stats_bonus").find("8400"), std::string::npos);
    bool tip = false;
    for (int i = 0; i < 10; ++i) {
        String row;
        app.GetLanguageTable()->LookupOffset(row, "STR_TIPS_1", i);
        tip = tip || Text(board, "txt_stats_tip") == row.CStr();
    }
    EXPECT_TRUE(tip);
    // Closing the dialog is what ends the level.
    EXPECT_TRUE(board.OnRulesUiEvent(nullptr, kMsgChildClosed, "dlg_stats", 0));
    EXPECT_EQ(board.statisticsClosed, 1);
}

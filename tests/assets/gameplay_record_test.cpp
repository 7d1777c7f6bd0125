// The board record on shipped levels: where its words lie, that a board read back writes the same
// bytes, that damage anywhere fails the load without touching the player's progress, and how a
// resumed game continues.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/pack_memory_file.h"
#include "engine/ui/script_widget.h"
#include "game/app/game_events.h"
#include "game/play/ball_sprite.h"
#include "game/play/explosion.h"
#include "game/play/frog.h"
#include "gameplay_rules_app.h"
#include "platform/crt.h"

namespace {

int32_t WordAt(const std::vector<uint8_t>& bytes, size_t at)
{
    return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                   uint32_t(bytes[at + 3]) << 24);
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = uint8_t(uint32_t(value) >> (8 * i));
}

// The offset of the first byte where two records differ, -1 for equal records.
long FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return long(i);
    return a.size() == b.size() ? -1 : long(n);
}

// Where the fixed part of the record puts its words, and the first chain's.
constexpr size_t kProgressAt = 0;
constexpr size_t kLevelScoreAt = 4;
constexpr size_t kPlayStateAt = 28;
constexpr size_t kFrameCounterAt = 32;
constexpr size_t kChainCountAt = 40;
constexpr size_t kColourCountsAt = 79;
constexpr size_t kFirstChainAt = 103;
constexpr size_t kFirstBallAt = kFirstChainAt + 37;
constexpr size_t kBallBytes = 66;
constexpr size_t kBallColourAt = 49;
constexpr size_t kBallSaveNumberAt = 62;

// A board of stage 1 past its intro, the chain rolled well in.
void PlayIntoStage(RulesApp& app, int stage, int frames)
{
    app.PlayAdventure(stage);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(frames);
    ASSERT_EQ(app.Board()->playState, kPlayPlaying);
}

}  // namespace

TEST(GameplayRecord, WordsLieWhereTheRecordPutsThem)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 3, 260);
    GameplayScreen& board = *app.Board();
    board.levelScore = 1234;
    std::vector<uint8_t> bytes = SaveBoard(board);
    KeepAsSeed(bytes, 0, "stage_3");
    ASSERT_GT(bytes.size(), kFirstBallAt + 2 * kBallBytes);
    EXPECT_EQ(WordAt(bytes, kProgressAt), 3);
    EXPECT_EQ(WordAt(bytes, kLevelScoreAt), 1234);
    EXPECT_EQ(WordAt(bytes, kPlayStateAt), kPlayPlaying);
    EXPECT_EQ(WordAt(bytes, kFrameCounterAt), board.frameCounter);
    EXPECT_EQ(WordAt(bytes, kChainCountAt), 1);
    for (int c = 0; c < kBallColours; ++c)
        EXPECT_EQ(WordAt(bytes, kColourCountsAt + 4 * c), board.colourCount[c]);
    BallChain& chain = *board.chains[0];
    EXPECT_EQ(WordAt(bytes, kFirstChainAt), chain.count);
    EXPECT_EQ(WordAt(bytes, kFirstChainAt + 4), 0);
    for (int i = 0; i < 2; ++i) {
        size_t ball = kFirstBallAt + i * kBallBytes;
        EXPECT_EQ(WordAt(bytes, ball), chain.balls[i].distance.raw);
        EXPECT_EQ(WordAt(bytes, ball + kBallColourAt), chain.balls[i].colour);
        EXPECT_EQ(WordAt(bytes, ball + kBallSaveNumberAt), i + 1);
    }
    // The application reports the level score, the second word after the screen id.
    ASSERT_TRUE(app.SaveResumeState());
    int32_t value = 0;
    ASSERT_TRUE(app.ReadResumeInfo(0, value));
    EXPECT_EQ(value, 1234);
}

TEST(GameplayRecord, ABoardReadBackWritesTheSameBytes)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    // Map 15 has two tracks; the first chain is emptied so only the second is written.
    app.PlayGauntlet(15, 3, false);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(300);
    GameplayScreen& board = *app.Board();
    ASSERT_EQ(board.playState, kPlayPlaying);
    ASSERT_EQ(board.curveCount, 2);
    BallChain& first = *board.chains[0];
    for (int i = 0; i < first.count; ++i)
        first.balls[i].sprite->Kill();
    for (int i = 0; i < first.count; ++i)
        board.colourCount[first.balls[i].colour] = std::max(0, board.colourCount[first.balls[i].colour] - 1);
    first.count = 0;
    PurgeDeadSprites(board);
    board.chainCount = 1;
    // A shot in flight with gaps crossed, a coin and explosions.
    ASSERT_NE(board.currentBall, nullptr);
    BallChain& second = *board.chains[1];
    ASSERT_GE(second.count, 4);
    AddFlyingShot(board, second);
    ASSERT_TRUE(board.SpawnCoin(100, 100));
    for (int i = 0; i < 3; ++i)
        board.SpawnBallExplosion(Fixed::FromInt(50 + 10 * i), Fixed::FromInt(60), i);
    std::vector<uint8_t> saved = SaveBoard(board);
    KeepAsSeed(saved, 15 << 2 | 1, "two_tracks_shot_coin");
    const int secondCount = second.count;

    ASSERT_TRUE(app.ShowBoard(false));
    GameplayScreen& loaded = *app.Board();
    ASSERT_TRUE(LoadBoard(loaded, saved));
    EXPECT_EQ(loaded.chains[0]->count, 0);
    EXPECT_EQ(loaded.chains[0]->path, &loaded.curves[0]);
    EXPECT_EQ(loaded.chains[1]->count, secondCount);
    EXPECT_EQ(loaded.chains[1]->curveIndex, 1);
    ASSERT_EQ(loaded.shotCount, 1);
    ASSERT_GE(loaded.shot.GetGapsCrossed(), 1);
    // The gap names the same ball, by its new serial.
    EXPECT_EQ(loaded.shot.gaps[0].key, loaded.chains[1]->balls[2].serial);
    EXPECT_NE(loaded.shot.sprite, nullptr);
    // It lands as a ball of its own number, as every chain ball has.
    EXPECT_NE(loaded.shot.serial, 0);
    EXPECT_TRUE(ScriptWidget::FindByName(&loaded, "dlg_ready_go") != nullptr);
    EXPECT_EQ(FirstDifference(saved, SaveBoard(loaded)), -1);
    // The bomb pattern comes back with the board.
    EXPECT_EQ(loaded.bombOffsets.Count(), loaded.bombPatternSize);
}

TEST(GameplayRecord, ABallGoingInReadsBackAsItWasSaved)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 1, 260);
    GameplayScreen& board = *app.Board();
    BallChain& chain = *board.chains[0];
    ASSERT_GE(chain.count, 3);
    // One step short of settling, as the frame that saved it left it: a step more would settle
    // it and let the frog shoot again.
    const Fixed growth = Fixed::FromInt(1) - Fixed::Raw(chain.growthStep.raw / 2);
    chain.balls[1].growth = growth;
    chain.balls[1].insertStart = FixedVec2(Fixed::FromInt(300), Fixed::FromInt(400));
    board.shotPending = 1;
    const std::vector<uint8_t> saved = SaveBoard(board);

    ASSERT_TRUE(app.ShowBoard(false));
    GameplayScreen& loaded = *app.Board();
    ASSERT_TRUE(LoadBoard(loaded, saved));
    EXPECT_EQ(loaded.chains[0]->balls[1].growth, growth);
    EXPECT_EQ(loaded.shotPending, 1);
    EXPECT_EQ(FirstDifference(saved, SaveBoard(loaded)), -1);
    // The next frame grows it into place and the frog may shoot.
    RemoveReadyDialog(loaded);
    loaded.Update();
    EXPECT_EQ(loaded.chains[0]->balls[1].growth, Fixed::FromInt(1));
    EXPECT_EQ(loaded.shotPending, 0);
}

TEST(GameplayRecord, DamagedRecordsFailAndLeaveTheProgress)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 2, 260);
    // A chain word the board reads back as it stands marks where the counters lie.
    constexpr int32_t kChainMark = 424242;
    app.Board()->chain = kChainMark;
    std::vector<uint8_t> saved = SaveBoard(*app.Board());
    ASSERT_GT(saved.size(), kFirstBallAt + kBallBytes);
    ModeProgress& progress = app.Player()->progress[0];
    size_t chainAt = kFirstBallAt;
    while (chainAt + 4 <= saved.size() && WordAt(saved, chainAt) != kChainMark)
        ++chainAt;
    ASSERT_LT(chainAt + 4, saved.size());

    // Short records, from every byte of the fixed part and the first ball, then on through the
    // rest at a stride.
    std::vector<size_t> cuts;
    for (size_t n = 0; n < kFirstBallAt + kBallBytes; ++n)
        cuts.push_back(n);
    for (size_t n = kFirstBallAt + kBallBytes; n < saved.size(); n += 97)
        cuts.push_back(n);
    cuts.push_back(saved.size() - 1);
    progress.stage = 1;
    for (size_t n : cuts) {
        std::vector<uint8_t> part(saved.begin(), saved.begin() + long(n));
        ASSERT_TRUE(app.ShowBoard(false));
        EXPECT_FALSE(LoadBoard(*app.Board(), part)) << n;
        ASSERT_EQ(progress.stage, 1) << n;
    }

    // Each checked value one past its bound.
    struct Damage {
        size_t at;
        int32_t value;
    };
    const Damage kDamage[] = {
        {kProgressAt, 0},
        {kProgressAt, 77},
        {kPlayStateAt, 7},
        {kPlayStateAt, -1},
        {kChainCountAt, 2},
        {kFirstChainAt, 0},
        {kFirstChainAt, 201},
        {kFirstChainAt + 4, 1},
        {kFirstBallAt + kBallColourAt, 6},
        {kFirstBallAt + kBallSaveNumberAt, 2},
        {kColourCountsAt, -1},
        {kLevelScoreAt, 100000001},
        // Played on, its next match's chain points would overflow.
        {chainAt, 1946157052},
        {chainAt, -1},
        // In range, but not the board the balls make: the colour counts no longer match them.
        {kColourCountsAt, WordAt(saved, kColourCountsAt) + 1},
    };
    for (const Damage& d : kDamage) {
        std::vector<uint8_t> bad = saved;
        PutWord(bad, d.at, d.value);
        if (d.value == 1946157052)
            KeepAsSeed(bad, 0, "chain_past_its_bound");
        ASSERT_TRUE(app.ShowBoard(false));
        EXPECT_FALSE(LoadBoard(*app.Board(), bad)) << d.at << " " << d.value;
        EXPECT_EQ(progress.stage, 1) << d.at;
    }
    // And the record as it was loads.
    ASSERT_TRUE(app.ShowBoard(false));
    progress.stage = 2;
    EXPECT_TRUE(LoadBoard(*app.Board(), saved));
}

TEST(GameplayRecord, CountsPastTheirBoundsFail)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayGauntlet(15, 3, false);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(260);
    GameplayScreen& board = *app.Board();
    ASSERT_NE(board.currentBall, nullptr);
    AddFlyingShot(board, *board.chains[1]);
    ASSERT_TRUE(board.SpawnCoin(100, 100));
    // Words the board reads back as they stand mark where the counts lie.
    board.holeCountdown = 0x5A5A5A5A;
    board.lossFadeValue = 0x3C3C3C3C;
    board.shot.trackDistance[2] = 0x6B6B6B6B;
    std::vector<uint8_t> saved = SaveBoard(board);
    const int spots = board.coinPoints ? board.coinPoints->Count() : 0;
    const int guards = board.coinGuards[0] ? board.coinGuards[0]->Count() : 0;
    ASSERT_GT(spots, 0);
    auto find = [&](int32_t word) {
        for (size_t i = 0; i + 4 <= saved.size(); ++i)
            if (WordAt(saved, i) == word)
                return i;
        return saved.size();
    };
    const size_t shotCountAt = find(0x5A5A5A5A) - 8;
    const size_t gapCountAt = find(0x6B6B6B6B) + 4;
    const size_t lossEnd = find(0x3C3C3C3C) + 4;
    ASSERT_LT(gapCountAt, saved.size());
    ASSERT_EQ(WordAt(saved, shotCountAt), 1);
    ASSERT_EQ(WordAt(saved, gapCountAt), 1);
    ASSERT_EQ(WordAt(saved, saved.size() - 4 - 8 * guards), guards);
    // The shot comes right after the loss fields; its record is 74 bytes and one gap's 12, then
    // the effects' count and the first effect's type.
    const size_t effectsAt = lossEnd + 74 + 12;
    ASSERT_GE(WordAt(saved, effectsAt), 1);
    ASSERT_EQ(saved[effectsAt + 5], 1);
    struct Damage {
        size_t at;
        int32_t value;
        int bytes;
    };
    const Damage kDamage[] = {
        {shotCountAt, 2, 4},
        {gapCountAt, kMaxGapsCrossed + 1, 4},
        {effectsAt + 4, kObjectFrog, 1},
        {effectsAt + 4, kObjectHole, 1},
        {saved.size() - 4 - 8 * guards, spots + 1, 4},
    };
    ModeProgress& progress = app.Player()->progress[1];
    for (const Damage& d : kDamage) {
        std::vector<uint8_t> bad = saved;
        if (d.bytes == 4)
            PutWord(bad, d.at, d.value);
        else
            bad[d.at] = uint8_t(d.value);
        progress.stage = 1;
        ASSERT_TRUE(app.ShowBoard(false));
        EXPECT_FALSE(LoadBoard(*app.Board(), bad)) << d.at << " " << d.value;
        EXPECT_EQ(progress.stage, 1);
    }
    ASSERT_TRUE(app.ShowBoard(false));
    EXPECT_TRUE(LoadBoard(*app.Board(), saved));
}

TEST(GameplayRecord, ASurvivalBoardPastItsTargetLevelsUpOnce)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayGauntlet(4, 5, true);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(260);
    GameplayScreen& board = *app.Board();
    board.levelScore = board.targetScore + 40;
    board.combos = 2;
    const int reached = board.levelScore;
    std::vector<uint8_t> saved = SaveBoard(board);
    ModeProgress& progress = app.Player()->progress[1];
    progress.score = 1000;

    // Refused for a rule of the board (its colour counts are not its balls'), it leaves the
    // profile exactly as it was: nothing of it is folded in, no rank is raised.
    std::vector<uint8_t> bad = saved;
    PutWord(bad, kColourCountsAt, WordAt(saved, kColourCountsAt) + 1);
    const ModeProgress before = progress;
    const PlayerRecord player = *app.Player();
    ASSERT_TRUE(app.ShowBoard(false));
    EXPECT_FALSE(LoadBoard(*app.Board(), bad));
    EXPECT_EQ(progress.stage, before.stage);
    EXPECT_EQ(progress.score, before.score);
    EXPECT_EQ(progress.totalCombos, before.totalCombos);
    EXPECT_EQ(progress.totalFrames, before.totalFrames);
    EXPECT_EQ(std::memcmp(app.Player()->mapRanks, player.mapRanks, sizeof player.mapRanks), 0);

    ASSERT_TRUE(app.ShowBoard(false));
    ASSERT_TRUE(LoadBoard(*app.Board(), saved));
    EXPECT_EQ(progress.stage, 6);
    EXPECT_EQ(app.Board()->levelScore, 0);
    EXPECT_EQ(progress.totalCombos, 2);
    EXPECT_GE(progress.score, 1000 + reached);
}

TEST(GameplayRecord, StaleRecordStartsTheProfilesLevel)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 2, 260);
    std::vector<uint8_t> saved = SaveBoard(*app.Board());
    // The progress moved on and was saved without the record.
    app.Player()->progress[0].stage = 3;
    ASSERT_TRUE(app.ShowBoard(false));
    GameplayScreen& board = *app.Board();
    ASSERT_TRUE(LoadBoard(board, saved));
    EXPECT_EQ(app.Player()->progress[0].stage, 3);
    EXPECT_EQ(board.playState, kPlayStart);
    EXPECT_EQ(ScriptWidget::FindByName(&board, "dlg_ready_go"), nullptr);
}

TEST(GameplayRecord, LargestBoardsFitTheResumeRecord)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayGauntlet(15, 3, false);
    ASSERT_TRUE(app.ShowBoard(true));
    app.BoardFrames(200);
    GameplayScreen& board = *app.Board();
    ASSERT_EQ(board.curveCount, 2);
    for (int c = 0; c < 2; ++c)
        FillChainTo(board, *board.chains[c], kMaxChainBalls);
    AddFlyingShot(board, *board.chains[1]);
    ASSERT_TRUE(board.SpawnCoin(100, 100));
    for (int i = 0; i < 100; ++i)
        board.SpawnBallExplosion(Fixed::FromInt(i), Fixed::FromInt(i), i % kBallColours);
    std::vector<uint8_t> saved = SaveBoard(board);
    KeepAsSeed(saved, 15 << 2 | 1, "full_chains");
    EXPECT_LT(saved.size(), 50000u);
    ASSERT_TRUE(app.ShowBoard(false));
    EXPECT_TRUE(LoadBoard(*app.Board(), saved));
    EXPECT_EQ(app.Board()->chains[1]->count, kMaxChainBalls);
}

// A coin hit and saved while it swells is gone with its bonus paid: the board read back cannot
// pay it again.
TEST(GameplayRecord, ACoinSavedAsItSwellsIsNotCollectedAgain)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 3, 260);
    GameplayScreen& board = *app.Board();
    ASSERT_NE(board.currentBall, nullptr);
    const FixedVec2 at(board.currentBall->Bounds().CenterX(), board.currentBall->Bounds().CenterY());
    AddFlyingShot(board, *board.chains[0]);
    ASSERT_TRUE(board.SpawnCoin(at.x.ToInt(), at.y.ToInt()));
    board.UpdateCoins();
    ASSERT_EQ(board.coinsCollected, 1);
    const int score = board.levelScore;
    std::vector<uint8_t> saved = SaveBoard(board);

    ASSERT_TRUE(app.ShowBoard(false));
    GameplayScreen& loaded = *app.Board();
    ASSERT_TRUE(LoadBoard(loaded, saved));
    EXPECT_EQ(FirstDifference(saved, SaveBoard(loaded)), -1);
    // The next shot passes where the coin was.
    ASSERT_TRUE(loaded.ReloadFrog());
    ASSERT_NE(loaded.currentBall, nullptr);
    FixedRect ball = loaded.currentBall->Bounds();
    ball.x = at.x - ball.HalfWidth();
    ball.y = at.y - ball.HalfHeight();
    loaded.currentBall->SetBounds(ball);
    AddFlyingShot(loaded, *loaded.chains[0]);
    for (int i = 0; i < 6; ++i)
        loaded.UpdateCoins();
    EXPECT_EQ(loaded.coinsCollected, 1);
    EXPECT_EQ(loaded.levelScore, score);
}

TEST(GameplayRecord, RestoredRunEndsLikeTheRunThatWentOn)
{
    RulesApp app(800, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(4);
    crt::srand(77);
    ASSERT_TRUE(app.ShowBoard(true));
    GameplayScreen* board = app.Board();
    for (int& interval : board->powerUpInterval)
        interval = 0;
    app.BoardFrames(250);
    std::vector<uint8_t> atK = SaveBoard(*board);
    // Running on, with a shot and a draw every frame.
    crt::srand(5);
    board->shootRequest = 1;
    for (int i = 0; i < 120; ++i) {
        board->Update();
        board->Draw();
        EXPECT_TRUE(BoardValid(*board)) << "frame " << i;
    }
    std::vector<uint8_t> ranOn = SaveBoard(*board);

    ASSERT_TRUE(app.ShowBoard(false));
    board = app.Board();
    ASSERT_TRUE(LoadBoard(*board, atK));
    RemoveReadyDialog(*board);
    for (int& interval : board->powerUpInterval)
        interval = 0;
    crt::srand(5);
    board->shootRequest = 1;
    for (int i = 0; i < 120; ++i) {
        board->Update();
        if (i % 6 == 5)
            board->Draw();
        EXPECT_TRUE(BoardValid(*board)) << "restored, frame " << i;
    }
    std::vector<uint8_t> restored = SaveBoard(*board);
    EXPECT_EQ(FirstDifference(restored, ranOn), -1);
}

TEST(GameplayResume, ResumesThroughTheApplication)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 2, 260);
    int frames = app.Board()->frameCounter;
    ASSERT_TRUE(app.SaveResumeState());
    ASSERT_TRUE(app.ShowStartMenu());
    ASSERT_EQ(app.Board(), nullptr);
    ASSERT_TRUE(app.ResumeGame(0));
    GameplayScreen* board = app.Board();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->frameCounter, frames);
    // "Ready?" holds the board until its button closes it.
    ASSERT_NE(ScriptWidget::FindByName(board, "dlg_ready_go"), nullptr);
    app.BoardFrames(10);
    EXPECT_EQ(board->frameCounter, frames);
    board->RunActionFromFile("keloui.txt", "acn_ready_go_off");
    for (int i = 0; i < 30 && ScriptWidget::FindByName(board, "dlg_ready_go"); ++i)
        board->Update();
    EXPECT_EQ(ScriptWidget::FindByName(board, "dlg_ready_go"), nullptr);
    frames = board->frameCounter;
    app.BoardFrames(3);
    EXPECT_EQ(board->frameCounter, frames + 3);
}

TEST(GameplayResume, ARecordFollowsEachLevelTheApplicationStarts)
{
    RulesApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    PlayIntoStage(app, 2, 260);
    app.Board()->levelScore = 500;
    ASSERT_TRUE(app.SaveResumeState());
    // The stage is won: the next one starts, and its record replaces the old board's.
    app.Player()->progress[0].stage = 3;
    app.passEvents = true;
    app.OnEvent(&app, kEventPlayLevel, nullptr, 0);
    ASSERT_NE(app.Board(), nullptr);
    int32_t score = -1;
    ASSERT_TRUE(app.ReadResumeInfo(0, score));
    EXPECT_EQ(score, 0);
    ASSERT_TRUE(app.ShowStartMenu());
    ASSERT_TRUE(app.ResumeGame(0));
    ASSERT_NE(app.Board(), nullptr);
    EXPECT_EQ(app.Player()->progress[0].stage, 3);
    EXPECT_NE(ScriptWidget::FindByName(app.Board(), "dlg_ready_go"), nullptr);
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/graphics/surface.h"
#include "game/app/game_keys.h"
#include "game/play/ball_chain.h"
#include "game/play/ball_sprite.h"
#include "game/play/curve_path.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"
#include "gameplay_look_app.h"
#include "platform/crt.h"
#include "tests/game/play/board_valid.h"

namespace {

struct ScreenSize {
    int width, height;
};
const ScreenSize kScreens[] = {{640, 480}, {800, 480}, {320, 240}, {400, 240}, {320, 320}, {240, 240}};

bool OnScreen(const FixedVec2& p, int w, int h)
{
    return p.x.raw >= 0 && p.x < Fixed::FromInt(w) && p.y.raw >= 0 && p.y < Fixed::FromInt(h);
}

// The board's own frames, past the screen's fade.
void BoardFrames(GameplayLookApp& app, int n)
{
    for (int i = 0; i < n && app.Board(); ++i)
        app.Board()->Update();
}

int CountEffects(GameplayScreen& board, int type)
{
    int n = 0;
    for (int i = 0; i < board.effects.Count(); ++i)
        n += board.effects.Get(i)->Type() == type;
    return n;
}

// What a freshly started board must hold, whatever the map.
void ExpectFreshBoard(GameplayLookApp& app, int curves, int w, int h)
{
    GameplayScreen& board = *app.Board();
    const Fixed back = app.GetLayoutTable().fixed[kLayoutBallRadius];
    EXPECT_EQ(board.curveCount, curves);
    EXPECT_EQ(board.chainCount, curves);
    EXPECT_EQ(board.playState, 0);
    EXPECT_EQ(CountEffects(board, kObjectHole), curves);
    EXPECT_EQ(board.ballSprites.Count(), curves);
    ASSERT_NE(board.frog, nullptr);
    EXPECT_TRUE(board.levelImage != nullptr || board.nebula != nullptr);
    int balls = 0;
    for (int c = 0; c < curves; ++c) {
        BallChain* chain = board.chains[c];
        ASSERT_EQ(chain->count, 1) << c;
        EXPECT_EQ(chain->path, &board.curves[c]);
        EXPECT_EQ(chain->balls[0].distance, board.startDistance[c]);
        EXPECT_NE(chain->balls[0].sprite, nullptr);
        EXPECT_TRUE(board.colourEnabled[chain->balls[0].colour]);
        // The ball is placed just before the track comes onto the display.
        Fixed shown = board.startDistance[c] + back;
        if (board.startDistance[c].raw > 0) {
            EXPECT_TRUE(OnScreen(board.curves[c].PointAt(shown, nullptr, nullptr), w, h)) << c;
            EXPECT_FALSE(OnScreen(board.curves[c].PointAt(shown - Fixed::FromInt(1), nullptr, nullptr), w, h)) << c;
        }
        EXPECT_EQ(board.curves[c].GetHole() != nullptr, true);
        EXPECT_LE(board.rollInDistance[c], board.dangerPoint[c]);
    }
    for (int count : board.colourCount)
        balls += count;
    EXPECT_EQ(balls, curves) << "the colour counts hold each chain ball once";
}

}  // namespace

TEST(GameplayStart, ShippedMapsStartOnEveryScreen)
{
    for (const ScreenSize& r : kScreens) {
        SCOPED_TRACE(testing::Message() << r.width << "x" << r.height);
        GameplayLookApp app(r.width, r.height);
        ASSERT_TRUE(app.Ready());
        // Stage 1 has one track; map 14 two; map 15 two and tunnel overlays; map 21 the nebula.
        app.PlayAdventure(1);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ExpectFreshBoard(app, 1, r.width, r.height);
        EXPECT_EQ(app.Board()->levelImage->GetWidth(), r.width);
        EXPECT_EQ(app.Board()->levelImage->GetHeight(), r.height);

        app.PlayGauntlet(15, 1, false);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ExpectFreshBoard(app, 2, r.width, r.height);
        EXPECT_GE(app.Board()->overlayCount, 1);
        for (int i = 0; i < app.Board()->overlayCount; ++i)
            EXPECT_NE(app.Board()->overlayImages[i], nullptr);

        app.PlayGauntlet(21, 3, false);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        ExpectFreshBoard(app, 1, r.width, r.height);
        EXPECT_NE(app.Board()->nebula, nullptr);
        EXPECT_EQ(app.Board()->levelImage, nullptr);
    }
}

TEST(GameplayStart, LevelsOutsideTheTablesDoNotStart)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    for (int stage : {0, 77, -3}) {
        app.PlayAdventure(stage);
        EXPECT_TRUE(app.ShowGameplay(true).failed()) << stage;
        EXPECT_EQ(app.Board(), nullptr) << "a board that did not start is not left current";
    }
    for (int map : {-1, 22}) {
        app.PlayGauntlet(map, 1, false);
        EXPECT_TRUE(app.ShowGameplay(true).failed()) << map;
    }
    app.PlayAdventure(76);
    EXPECT_TRUE(app.ShowGameplay(true).ok());
}

TEST(GameplayStart, TargetsAndParTimesOfTheShippedRecords)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    // Survival asks 1250 x 0.75 = 937.5 points, cut to 937, whatever the record says.
    app.PlayGauntlet(0, 12, true);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    EXPECT_EQ(app.Board()->targetScore, 937);
    EXPECT_TRUE(app.Board()->IsSurvival());
    // Practice level 1 asks 1000 x 0.75 = 750 points; 35 s a thousand is 26.25 s: par 30.
    app.PlayGauntlet(0, 1, false);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    EXPECT_EQ(app.Board()->targetScore, 750);
    EXPECT_EQ(app.Board()->parTime, 30);
    // Four colours in rank 0; the rolled-in chains use only those.
    EXPECT_EQ(app.Board()->colourEnabled[3], 1);
    EXPECT_EQ(app.Board()->colourEnabled[4], 0);

    // A fresh level's bar drains from full; one reached by a level-up shows its progress at once.
    GameHud* hud = app.Board()->hud;
    ASSERT_NE(hud, nullptr);
    EXPECT_GT(hud->GetShownWidth(), 0);
    EXPECT_EQ(hud->GetTargetWidth(), 0);
    app.Player()->progress[1].levelUp = true;
    ASSERT_TRUE(app.Board()->StartLevel().ok());
    EXPECT_EQ(hud->GetShownWidth(), 0);
    EXPECT_FALSE(app.Player()->progress[1].levelUp);
}

TEST(GameplayStart, TheIntroLastsPastFrame131AndSweepsEachTrackOnce)
{
    for (int map : {0, 14}) {
        GameplayLookApp app(640, 480);
        ASSERT_TRUE(app.Ready());
        app.PlayGauntlet(map, 1, false);
        ASSERT_TRUE(app.ShowGameplay(true).ok());
        GameplayScreen& board = *app.Board();
        board.Update();
        EXPECT_EQ(board.playState, 1);
        EXPECT_TRUE(board.titleActive);
        int frames = 0;
        while (board.playState == 1 && frames < 2000) {
            board.Update();
            EXPECT_TRUE(BoardValid(board)) << map << ", frame " << frames;
            ++frames;
        }
        EXPECT_EQ(board.playState, 2);
        EXPECT_GE(frames, 132);
        EXPECT_EQ(board.introFrames, frames);
        EXPECT_EQ(board.previewSweeps, board.curveCount) << map;
        EXPECT_FALSE(board.titleActive);
        EXPECT_EQ(board.levelTime, 0);
        board.Update();
        EXPECT_EQ(board.levelTime, 1);
    }
}

TEST(GameplayStart, AnOpenDialogFreezesTheBoard)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(1);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    GameplayScreen& board = *app.Board();
    BoardFrames(app, 200);
    ASSERT_EQ(board.playState, 2);
    const int frame = board.frameCounter, time = board.levelTime;
    const Fixed head = board.chains[0]->balls[0].distance;
    board.OpenPauseDialog();
    ASSERT_NE(board.FindModalChild(), nullptr);
    BoardFrames(app, 50);
    EXPECT_EQ(board.frameCounter, frame);
    EXPECT_EQ(board.levelTime, time);
    EXPECT_EQ(board.chains[0]->balls[0].distance, head);
    // A second request while the dialog shows opens no second one.
    const int children = board.GetChildCount();
    board.OpenPauseDialog();
    EXPECT_EQ(board.GetChildCount(), children);
}

TEST(GameplayStart, TheBoardMayBeSavedUntilTheLevelIsFinished)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(1);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    EXPECT_TRUE(app.Board()->CanSaveLevel());
    app.Board()->endState = 1;
    EXPECT_FALSE(app.Board()->CanSaveLevel()) << "a loss being paid is not saved again";
    app.Board()->endState = 0;
    app.Board()->levelFinished = 1;
    EXPECT_FALSE(app.Board()->CanSaveLevel());
}

namespace {

// A hash of the display after each drawn frame of a seeded level with a scripted player: aim
// right for a while, shoot, aim left, shoot again, swap.
std::vector<uint64_t> ScriptedRun(unsigned seed, int frames)
{
    std::vector<uint64_t> hashes;
    GameplayLookApp app(640, 480);
    if (!app.Ready())
        return hashes;
    app.PlayGauntlet(14, 3, false);
    crt::srand(seed);
    if (app.ShowGameplay(true).failed())
        return hashes;
    GameplayScreen& board = *app.Board();
    Surface* screen = app.GetScreenSurface();
    for (int f = 0; f < frames; ++f) {
        if (f == 200)
            board.OnKey(kKeyRight, true);
        if (f == 215)
            board.OnKey(kKeyRight, false);
        if (f == 220 || f == 300)
            board.OnKey(kKeyAction, true);
        if (f == 222 || f == 302)
            board.OnKey(kKeyAction, false);
        if (f == 240)
            board.OnKey(kKeyLeft, true);
        if (f == 270)
            board.OnKey(kKeyLeft, false);
        board.Update();
        board.Draw();
        uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < screen->GetHeight(); ++y)
            for (int x = 0; x < screen->GetWidth(); ++x)
                hash = (hash ^ screen->GetPixels()[y * screen->GetRawWidth() + x]) * 1099511628211ull;
        hashes.push_back(hash);
    }
    return hashes;
}

}  // namespace

TEST(GameplayStart, ASeededLevelPlaysTheSameFrames)
{
    const std::vector<uint64_t> first = ScriptedRun(77, 360);
    ASSERT_EQ(first.size(), 360u);
    EXPECT_EQ(ScriptedRun(77, 360), first);
    // The frames move, and the seed reaches them.
    EXPECT_NE(first[150], first[350]);
    EXPECT_NE(ScriptedRun(78, 360), first);
}

namespace {

// Starts the level and runs the board through its intro; false when it never ends.
bool PastTheIntro(GameplayLookApp& app)
{
    if (app.ShowGameplay(true).failed())
        return false;
    for (int i = 0; i < 1000 && app.Board()->playState != kPlayPlaying; ++i)
        app.Board()->Update();
    return app.Board()->playState == kPlayPlaying;
}

// Degrees as 0..359.
int Turned(Fixed from, Fixed to)
{
    return (((to - from).ToInt()) % 360 + 360) % 360;
}

}  // namespace

TEST(GameplayStart, HeldKeysTurnFasterEachFrameAndBothTogetherStop)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(1);
    ASSERT_TRUE(PastTheIntro(app));
    GameplayScreen& board = *app.Board();
    ASSERT_NE(board.frog, nullptr);
    BoardFrames(app, 3);
    const Fixed start = board.frog->GetAngle();
    board.OnKey(kKeyRight, true);
    BoardFrames(app, 4);
    // 1, 1.5, 2 and 2.5 degrees.
    EXPECT_EQ(Turned(start, board.frog->GetAngle()), 7);
    BoardFrames(app, 40);
    EXPECT_EQ(board.keyTurnRate, Fixed::FromInt(15)) << "the rate stops growing at 15";
    const Fixed turned = board.frog->GetAngle();
    board.OnKey(kKeyLeft, true);
    BoardFrames(app, 5);
    EXPECT_EQ(board.frog->GetAngle(), turned) << "left and right together hold the aim";
}

TEST(GameplayStart, AQuakeTransitionPansToTheFrog)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(2);
    ScreenTransition& transition = app.GetTransition();
    transition.kind = kTransitionQuake;
    transition.start = FixedVec2(Fixed::FromInt(100), Fixed::FromInt(0));
    transition.angle = Fixed::FromInt(77);
    ASSERT_TRUE(app.ShowGameplay(true).ok());
    GameplayScreen& board = *app.Board();
    const FixedRect& frog = board.frog->Bounds();
    const FixedVec2 centre(frog.x + Fixed::Raw(frog.w.raw >> 1), frog.y + Fixed::Raw(frog.h.raw >> 1));
    EXPECT_EQ(transition.end, centre);
    // The pan moves a sixteenth of the way a step on each axis.
    EXPECT_EQ(transition.steps.x.raw, std::abs((centre.x - Fixed::FromInt(100)).raw) / 16);
    EXPECT_EQ(transition.steps.y.raw, centre.y.raw / 16);
    EXPECT_EQ(board.frog->GetAngle(), Fixed::FromInt(77));
    EXPECT_EQ(transition.rate, Fixed16::FromDouble(0.075));
}

TEST(GameplayStart, AClearedBoardEarnsItsTimeSweepsAndShowsItsStatistics)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayAdventure(1);
    ASSERT_TRUE(PastTheIntro(app));
    GameplayScreen& board = *app.Board();
    BoardFrames(app, 5);
    // The target is reached and the last ball has gone; the frame ends at 495 of 990 par frames.
    board.targetReached = 1;
    for (BallChain* chain : board.chains)
        chain->count = 0;
    // Emptied as the board's own matches leave it, its counts with it.
    board.chainCount = 0;
    for (int32_t& count : board.colourCount)
        count = 0;
    board.parTime = 30;
    board.levelTime = 494;
    board.endSweepStart[0] = board.curveLength[0] - Fixed::FromInt(200);
    const int score = board.levelScore;
    board.Update();
    EXPECT_EQ(board.levelFinished, 1);
    EXPECT_EQ(board.timeBonus, 12600);
    EXPECT_EQ(board.levelScore, score + 12600);
    EXPECT_GE(board.playState, kPlayWon);
    EXPECT_EQ(board.currentBall, nullptr) << "a finished level takes the frog's ball";

    int frames = 0;
    while (board.playState != kPlayStatistics && frames < 3000) {
        board.Update();
        ++frames;
    }
    ASSERT_EQ(board.playState, kPlayStatistics);
    EXPECT_EQ(board.endSweepCurve, 0) << "one track, one sweep";
    EXPECT_GT(board.levelScore, score + 12600) << "the sweep pays as it runs";
    ASSERT_NE(board.FindModalChild(), nullptr) << "the statistics show at once";
    const int frame = board.frameCounter;
    BoardFrames(app, 10);
    EXPECT_EQ(board.frameCounter, frame);

    // Once closed, the level ends: the adventure moves on a stage.
    Widget* dialog = board.FindModalChild();
    board.RemoveChild(dialog);
    delete dialog;
    board.statisticsClosed = 1;
    board.Update();
    EXPECT_EQ(board.statisticsClosed, 0);
    EXPECT_EQ(app.Player()->progress[0].stage, 2);
}

// The second track's warning still runs when the level is won: it ends there, so that the sweeps
// pay once for each track, not again for the warning's remaining run.
TEST(GameplayStart, AWarningRunningAtTheWinEndsAndEachSweepPaysOnce)
{
    GameplayLookApp app(640, 480);
    ASSERT_TRUE(app.Ready());
    app.PlayGauntlet(14, 1, false);
    ASSERT_TRUE(PastTheIntro(app));
    GameplayScreen& board = *app.Board();
    ASSERT_EQ(board.curveCount, 2);
    ASSERT_FALSE(board.trackSparkle->IsActive(1));
    BallChain& second = *board.chains[1];
    ASSERT_GT(second.count, 0);
    const Fixed shift = board.dangerPoint[1] + Fixed::FromInt(10) - second.balls[0].distance;
    for (int i = 0; i < second.count; ++i)
        second.balls[i].distance += shift;
    BoardFrames(app, 2);
    ASSERT_TRUE(board.trackSparkle->IsActive(1));

    board.targetReached = 1;
    for (BallChain* chain : board.chains)
        chain->count = 0;
    // Emptied as the board's own matches leave it, its counts with it.
    board.chainCount = 0;
    for (int32_t& count : board.colourCount)
        count = 0;
    // The first track was cleared at its end; the second sweep has three steps of 50 to run.
    board.endSweepStart[0] = board.trackSparkle->GetEnd(0);
    board.endSweepStart[1] = board.trackSparkle->GetEnd(1) - Fixed::FromInt(150);
    board.Update();
    ASSERT_EQ(board.levelFinished, 1);
    const int won = board.levelScore;
    for (int i = 0; i < 3000 && board.playState != kPlayStatistics; ++i)
        board.Update();
    ASSERT_EQ(board.playState, kPlayStatistics);
    EXPECT_EQ(board.levelScore - won, 300);
}

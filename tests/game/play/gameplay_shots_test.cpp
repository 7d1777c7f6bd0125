#include <gtest/gtest.h>

#include <algorithm>

#include "game/play/ball_sprite.h"
#include "game/app/sound_bank.h"
#include "game/play/coin.h"
#include "game/play/frog.h"
#include "tests/game/play/rolling_board.h"

namespace {

// A board with a frog at the angle whose mouth is at (x, y) and a loaded ball of the colour.
void LoadFrog(RollingBoard& t, int x, int y, Fixed angle, int colour)
{
    GameplayScreen& b = *t.board;
    if (!b.frog)
        b.frog = new Frog(&t.app);
    b.frog->SetAngle(angle);
    b.mouthPoint = P(x, y);
    b.currentBall = new BallSprite(&t.app, colour);
    ASSERT_TRUE(b.currentBall->Init());
}

// A shot of the colour standing at (x, y), its sprite in the effect list as shooting leaves it.
Ball& ShotAt(RollingBoard& t, int x, int y, int colour)
{
    GameplayScreen& b = *t.board;
    b.shot.Reset();
    b.shot.position = P(x, y);
    b.shot.colour = colour;
    b.shot.isNew = 1;
    b.shot.serial = Ball::NewSerial();
    auto* sprite = new BallSprite(&t.app, colour);
    sprite->Init();
    b.effects.Append(sprite);
    b.shot.sprite = sprite;
    b.shotCount = 1;
    return b.shot;
}

bool Played(RollingBoard& t, int sound)
{
    const auto& played = t.app.sound->played;
    return std::find(played.begin(), played.end(), sound) != played.end();
}

}  // namespace

TEST(GameplayShots, ShotsAreRefusedWhilePendingAndDropOffScreen)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    LoadFrog(t, 320, 220, Fixed(), 2);
    b.combo = 3;
    b.holeCountdown = 4;

    for (int refusal = 0; refusal < 3; ++refusal) {
        b.shotPending = refusal == 0;
        b.lifeLost = refusal == 1;
        b.levelFinished = refusal == 2;
        b.ShootBall();
        EXPECT_EQ(b.shotCount, 0);
        EXPECT_NE(b.currentBall, nullptr);
    }
    b.shotPending = b.lifeLost = b.levelFinished = 0;

    // Aimed straight down (angle 0) at 9 px a step, the first step already taken.
    BallSprite* sprite = b.currentBall;
    b.ShootBall();
    ASSERT_EQ(b.shotCount, 1);
    EXPECT_EQ(b.shot.position, P(320, 229));
    EXPECT_EQ(b.shot.velocity, P(0, 9));
    EXPECT_EQ(b.shot.previousPosition, b.shot.position);
    EXPECT_EQ(b.shot.isNew, 1);
    EXPECT_EQ(b.shot.colour, 2);
    EXPECT_EQ(b.shot.sprite, sprite);
    EXPECT_EQ(b.effects.Count(), 1);
    EXPECT_EQ(b.currentBall, nullptr);
    EXPECT_EQ(b.shotPending, 1);
    EXPECT_EQ(b.combo, 0);
    EXPECT_EQ(b.holeCountdown, 10);
    EXPECT_EQ(b.shotsTaken, 1);
    EXPECT_TRUE(Played(t, kShotSound));

    // A second ball cannot follow while the first flies.
    LoadFrog(t, 320, 220, Fixed(), 3);
    b.ShootBall();
    EXPECT_EQ(b.shotsTaken, 1);
    EXPECT_NE(b.currentBall, nullptr);

    // It stays while within 10 px of the 480 px display (y = 490 after 29 steps), then goes as a
    // miss: the pending shot and the matched flag clear, its sprite is killed.
    b.matchedFlag = 1;
    for (int step = 0; step < 29; ++step)
        b.UpdateShots();
    EXPECT_EQ(b.shotCount, 1);
    EXPECT_EQ(b.shot.position, P(320, 490));
    EXPECT_EQ(sprite->Bounds().y, F(490 - sprite->Bounds().h.ToInt() / 2));  // centred on the shot
    b.UpdateShots();
    EXPECT_EQ(b.shotCount, 0);
    EXPECT_EQ(b.shotPending, 0);
    EXPECT_EQ(b.matchedFlag, 0);
    EXPECT_TRUE(sprite->IsDead());

    // Turned a quarter, the frog shoots to the left.
    FixedVec2 v;
    b.frog->SetAngle(F(90));
    b.AimVector(v);
    EXPECT_EQ(v, P(-9, 0));
}

TEST(GameplayShots, AHitJoinsTheChainOnTheNearerSide)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    // Balls at x = 200, 168, 136 on y = 100.
    BallChain& chain = t.Lay(0, {500, 468, 436}, {0, 1, 2});
    const int32_t behindSerial = chain.balls[2].serial;

    // 8 px behind ball 1: the track one diameter behind (x = 136) is nearer than the one ahead.
    Ball& shot = ShotAt(t, 160, 110, 3);
    ASSERT_TRUE(b.ShotHitsChain(shot));
    ASSERT_EQ(chain.count, 4);
    EXPECT_EQ(chain.balls[2].colour, 3);
    EXPECT_EQ(chain.balls[2].distance, F(436));
    EXPECT_EQ(chain.balls[2].growth, Fixed());
    EXPECT_EQ(chain.balls[2].insertStart, P(160, 110));
    EXPECT_EQ(chain.balls[2].serial, shot.serial);
    EXPECT_EQ(chain.balls[3].serial, behindSerial);
    EXPECT_EQ(b.colourCount[3], 1);
    EXPECT_TRUE(Played(t, kHitSound));
    // The sprite now belongs to the chain's list.
    EXPECT_EQ(b.effects.Count(), 0);
    EXPECT_EQ(b.ballSprites.Count(), 1);
    b.ballSprites.Clear();

    // 8 px ahead of it: the shot takes its place.
    t.Lay(0, {500, 468, 436}, {0, 1, 2});
    ASSERT_TRUE(b.ShotHitsChain(ShotAt(t, 176, 110, 3)));
    EXPECT_EQ(chain.balls[1].colour, 3);
    EXPECT_EQ(chain.balls[1].distance, F(468));
    EXPECT_EQ(chain.balls[2].colour, 1);
    b.ballSprites.Clear();
    b.effects.Clear();

    // A ball in a tunnel is passed over: the search goes on to the next one within reach.
    t.Lay(0, {500, 468, 436}, {0, 1, 2});
    chain.balls[1].tunnel = 1;
    ASSERT_TRUE(b.ShotHitsChain(ShotAt(t, 160, 100, 4)));
    EXPECT_EQ(chain.balls[1].colour, 1);
    EXPECT_EQ(chain.count, 4);
    EXPECT_TRUE(chain.balls[2].colour == 4 || chain.balls[3].colour == 4);
    b.ballSprites.Clear();
    b.effects.Clear();
    t.Lay(0, {500, 468, 436}, {0, 1, 2});
    chain.balls[1].tunnel = 1;
    EXPECT_FALSE(b.ShotHitsChain(ShotAt(t, 168, 100, 4)));  // 32 px from either neighbour
    EXPECT_EQ(chain.count, 3);
    b.effects.Clear();

    // A full chain of 200 takes no shot: it flies on.
    chain.LayOut(199, F(9000));
    ASSERT_TRUE(chain.InsertAt(Ball(), 199));
    chain.Update(nullptr);  // all beyond the track, at (-400, -400)
    EXPECT_FALSE(b.ShotHitsChain(ShotAt(t, -400, -400, 1)));
    EXPECT_EQ(chain.count, 200);
}

TEST(GameplayShots, GapBonusByTheNarrowestGap)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    ASSERT_EQ(b.gapBonusScale, 300);  // 640x480
    BallChain& chain = *b.chains[0];
    struct Case {
        int widths[2];
        int points, count;
    };
    // 40 px: 64 off leaves nothing, the whole 500; 100 px: 500 x (300 - 36) / 300 = 440; two gaps
    // double the narrowest's; a very wide gap still gives 10.
    const Case cases[] = {{{40, 0}, 500, 1}, {{100, 0}, 440, 1}, {{100, 40}, 1000, 2}, {{5000, 0}, 10, 1},
                          {{5000, 6000}, 20, 2}, {{0, 0}, 0, 0}};
    for (const Case& c : cases) {
        t.Lay(0, {500, 468, 436}, {0, 1, 2});
        Ball& shot = ShotAt(t, 200, 100, 3);
        for (int i = 0; i < 2; ++i)
            if (c.widths[i] > 0)
                shot.AddGapCrossed(0, c.widths[i], 1000 + i);
        ASSERT_TRUE(b.ShotHitsChain(shot));
        const Ball& joined = chain.balls[0].colour == 3 ? chain.balls[0] : chain.balls[1];
        EXPECT_EQ(joined.GetGapBonusPoints(), c.points) << c.widths[0] << " " << c.widths[1];
        EXPECT_EQ(joined.GetGapBonusCount(), c.count);
        b.ballSprites.Clear();
    }
    // Survival's base is 250.
    t.app.PlaySurvival();
    ASSERT_TRUE(b.IsSurvival());
    t.Lay(0, {500, 468, 436}, {0, 1, 2});
    Ball& shot = ShotAt(t, 200, 100, 3);
    shot.AddGapCrossed(0, 40, 7);
    ASSERT_TRUE(b.ShotHitsChain(shot));
    EXPECT_EQ((chain.balls[0].colour == 3 ? chain.balls[0] : chain.balls[1]).GetGapBonusPoints(), 250);
    b.ballSprites.Clear();
}

TEST(GameplayShots, AShotNotesTheGapsItCrosses)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(2));
    GameplayScreen& b = *t.board;
    // Track 0 (y = 100): a 100 px gap between the balls at x = 368 and x = 268. Track 1
    // (y = 300): a chain under the shot's line x = 318.
    BallChain& upper = t.Lay(0, {700, 668, 568, 536}, {0, 0, 1, 1});
    BallChain& lower = t.Lay(1, {654, 622, 590}, {2, 2, 3});
    const int32_t key = upper.balls[2].serial;
    LoadFrog(t, 318, 31, Fixed(), 1);
    b.ShootBall();

    // The shot comes within the 16 px radius of the track's point at 608 (x = 308) at y = 94.
    for (int step = 1; step < 6; ++step) {
        b.UpdateShots();
        EXPECT_TRUE(BoardValid(b)) << "step " << step;
    }
    EXPECT_EQ(b.shot.position, P(318, 85));
    EXPECT_EQ(b.shot.GetTrackDistance(0), -1);
    b.UpdateShots();
    EXPECT_EQ(b.shot.GetTrackDistance(0), 608);
    ASSERT_EQ(b.shot.GetGapsCrossed(), 1);
    EXPECT_EQ(b.shot.gaps[0].width, 100);
    EXPECT_EQ(b.shot.gaps[0].key, key);
    // Off the track again at y = 121, the crossing is forgotten (a new pass would count).
    for (int step = 0; step < 3; ++step) {
        b.UpdateShots();
        EXPECT_TRUE(BoardValid(b)) << "step " << step;
    }
    EXPECT_EQ(b.shot.position, P(318, 121));
    EXPECT_EQ(b.shot.GetTrackDistance(0), -1);

    // It hits the lower chain's ball at x = 322 from y = 274, nearer the track behind it, and
    // brings its bonus: 500 x (300 - 36) / 300.
    while (b.shotCount > 0 && lower.count == 3) {
        b.UpdateShots();
        EXPECT_TRUE(BoardValid(b));
    }
    ASSERT_EQ(lower.count, 4);
    const Ball& joined = lower.balls[2];
    EXPECT_EQ(joined.distance, F(590));
    EXPECT_EQ(joined.colour, 1);
    EXPECT_EQ(joined.insertStart, P(318, 274));
    EXPECT_EQ(joined.GetGapBonusPoints(), 440);
    EXPECT_EQ(joined.gaps[0].key, key);
    // Parked and removed in the same step, the hit keeps the shot pending until the ball settles.
    EXPECT_EQ(b.shotCount, 0);
    EXPECT_EQ(b.shotPending, 1);
    EXPECT_EQ(joined.sprite->IsDead(), false);
    b.matchedFlag = 1;
    b.chain = 4;
    b.OnInsertedBallSettled();
    EXPECT_EQ(b.shotPending, 0);
    EXPECT_EQ(b.chain, 4);  // a shot that matched keeps the chain of shots going
    b.OnInsertedBallSettled();
    EXPECT_EQ(b.chain, 0);
}

TEST(GameplayShots, CrossingsSkipTunnelsAndTailEnds)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1, true));  // a tunnel over x = 400..600
    GameplayScreen& b = *t.board;
    BallChain& chain = t.Lay(0, {950, 918, 700, 668}, {0, 0, 1, 1});
    Ball* behind = nullptr;
    Ball* ahead = nullptr;
    b.FindBallsAroundDistance(0, F(800), behind, ahead);
    EXPECT_EQ(behind, &chain.balls[2]);
    EXPECT_EQ(ahead, &chain.balls[1]);

    // Over the tunnel the gap between 918 and 700 is not seen.
    Ball& shot = ShotAt(t, 500, 100, 2);
    b.RecordCrossings(shot);
    EXPECT_EQ(shot.GetTrackDistance(0), -1);
    EXPECT_EQ(shot.GetGapsCrossed(), 0);
    // Behind the tail (x = 200, first within 16 px at 496) there is nothing to name.
    shot.position = P(200, 100);
    b.RecordCrossings(shot);
    EXPECT_EQ(shot.GetTrackDistance(0), 496);
    EXPECT_EQ(shot.GetGapsCrossed(), 0);
    b.FindBallsAroundDistance(0, F(496), behind, ahead);
    EXPECT_EQ(behind, nullptr);
    EXPECT_EQ(ahead, nullptr);
    // Ahead of the head neither.
    b.FindBallsAroundDistance(0, F(1000), behind, ahead);
    EXPECT_EQ(behind, nullptr);
}

TEST(GameplayShots, AimGuideLookUps)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    auto* first = new Coin(&t.app);
    auto* second = new Coin(&t.app);
    first->SetPositionAndSize(P(100, 100), P(20, 20));
    second->SetPositionAndSize(P(110, 100), P(20, 20));
    b.effects.Append(first);
    b.effects.Append(second);
    // Edges count; the later coin is found first; a dead coin is not found.
    EXPECT_EQ(b.CoinAtPoint(P(100, 120)), first);
    EXPECT_EQ(b.CoinAtPoint(P(115, 110)), second);
    second->Kill();
    EXPECT_EQ(b.CoinAtPoint(P(115, 110)), first);
    EXPECT_EQ(b.CoinAtPoint(P(121, 110)), nullptr);

    BallChain& chain = t.Lay(0, {500, 468, 436}, {0, 1, 2});
    EXPECT_EQ(b.ChainBallNear(P(166, 100)), &chain.balls[1]);
    chain.balls[1].matched = 1;
    EXPECT_EQ(b.ChainBallNear(P(168, 100)), nullptr);  // 32 px from the others: not near
    EXPECT_EQ(b.ChainBallNear(P(160, 100)), &chain.balls[2]);
    chain.balls[2].tunnel = 1;
    EXPECT_EQ(b.ChainBallNear(P(160, 100)), nullptr);
}

TEST(GameplayShots, TheFrogReloadsAndSwapsFromTheBoardsColours)
{
    RollingBoard t;
    ASSERT_TRUE(t.Tracks(1));
    GameplayScreen& b = *t.board;
    b.frog = new Frog(&t.app);
    b.mouthPoint = P(320, 240);
    b.colourCount[3] = 5;  // only colour 3 on the board

    ASSERT_TRUE(b.ReloadFrog());
    ASSERT_NE(b.currentBall, nullptr);
    ASSERT_NE(b.nextBall, nullptr);
    EXPECT_EQ(b.currentBall->GetColour(), 3);
    EXPECT_EQ(b.nextBall->GetColour(), 3);
    b.PlaceFrogBalls();
    const int half = b.currentBall->Bounds().w.ToInt() / 2;
    EXPECT_GT(half, 0);
    EXPECT_EQ(b.currentBall->Bounds().x, F(320 - half));
    EXPECT_EQ(b.currentBall->Bounds().y, F(240 - half));
    EXPECT_EQ(b.loadedBallPoint, P(320, 240));

    // The next ball moves to the mouth and a new one comes on the back.
    BallSprite* next = b.nextBall;
    DeleteAndNull(b.currentBall);
    b.colourCount[3] = 0;
    b.colourCount[1] = 2;
    ASSERT_TRUE(b.ReloadFrog());
    EXPECT_EQ(b.currentBall, next);
    EXPECT_EQ(b.nextBall->GetColour(), 1);

    // A swap exchanges them and places the new current ball in the mouth.
    BallSprite* current = b.currentBall;
    BallSprite* back = b.nextBall;
    b.SwapBalls();
    EXPECT_EQ(b.currentBall, back);
    EXPECT_EQ(b.nextBall, current);
    EXPECT_EQ(b.currentBall->GetColour(), 1);
    EXPECT_EQ(b.currentBall->Bounds().x, F(320 - half));

    // While a shot is pending the loaded ball stays on the point it was loaded at.
    b.mouthPoint = P(100, 100);
    b.currentBall->SetPositionAndSize(P(0, 0), P(2 * half, 2 * half));
    b.shotPending = 1;
    b.HoldLoadedBall();
    EXPECT_EQ(b.currentBall->Bounds().x, F(320 - half));
    // Without a next ball there is nothing to swap.
    DeleteAndNull(b.nextBall);
    BallSprite* alone = b.currentBall;
    b.SwapBalls();
    EXPECT_EQ(b.currentBall, alone);
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/play/explosion.h"
#include "game/app/sound_bank.h"
#include "platform/crt.h"
#include "tests/game/play/rules_board.h"

namespace {

// Moves a ball and centres its sprite on it.
void PlaceBall(BallChain& chain, int i, int x, int y)
{
    Ball& ball = chain.balls[i];
    ball.position = FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
    const FixedRect& r = ball.sprite->Bounds();
    ball.sprite->SetPositionAndSize(FixedVec2(ball.position.x - r.HalfWidth(), ball.position.y - r.HalfHeight()),
                                    FixedVec2(r.w, r.h));
}

std::vector<int> BombDelays(GameplayScreen& s)
{
    std::vector<int> delays;
    for (int i = 0; i < s.effects.Count(); ++i) {
        auto* explosion = static_cast<Explosion*>(s.effects.Get(i));
        if (explosion->Type() == kObjectExplosion && explosion->GetColour() == Explosion::kBomb)
            delays.push_back(explosion->GetDelay());
    }
    return delays;
}

}  // namespace

TEST(PowerUps, ReverseAndSlowCancelAndStopWithNoHeadPastItsStart)
{
    RulesBoard board;
    GameplayScreen& s = *board.screen;
    s.reverseDuration = 99;
    s.slowDuration = 363;
    s.startDistance[0] = Fixed::FromInt(900);
    BallChain& chain = board.MakeChain(0, 0, {0, 1});  // head at 1000
    s.StartReverse();
    s.StartAccuracy();
    EXPECT_EQ(s.reverseTimer, 99);
    s.StartSlowDown();
    EXPECT_EQ(s.reverseTimer, 0);
    EXPECT_EQ(s.slowTimer, 363);
    EXPECT_EQ(s.accuracyTimer, 660);
    EXPECT_EQ(board.app.sound->played, (std::vector<int>{kReverseSound, kAccuracySound, kSlowDownSound}));
    s.UpdatePowerUpTimers();
    EXPECT_EQ(s.slowTimer, 362);
    EXPECT_EQ(s.accuracyTimer, 659);
    s.StartReverse();
    EXPECT_EQ(s.slowTimer, 0);

    // The head back at its start: Reverse and Slow Down end at once, Accuracy runs on.
    chain.balls[0].distance = Fixed::FromInt(900);
    EXPECT_FALSE(s.ChainsOnBoard());
    s.UpdatePowerUpTimers();
    EXPECT_EQ(s.reverseTimer, 0);
    EXPECT_EQ(s.accuracyTimer, 658);
    s.accuracyTimer = 0;
    s.UpdatePowerUpTimers();
    EXPECT_EQ(s.accuracyTimer, 0);
}

TEST(PowerUps, OneRemovalCarryingAllFourStartsReverseAccuracyAndTheBomb)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.reverseDuration = 99;
    s.slowDuration = 363;
    s.targetScore = 100000;
    BallChain& chain = board.MakeChain(0, 0, {2, 2, 2, 2});
    for (int kind = 0; kind < kPowerUpKinds; ++kind)
        chain.balls[kind].sprite->SetPowerUp(kind);  // still pending: it counts
    RulesBoard::Flag(chain, {0, 1, 2, 3});
    s.CollectExploded(chain);
    EXPECT_EQ(s.reverseTimer, 99);
    EXPECT_EQ(s.slowTimer, 0);
    EXPECT_EQ(s.accuracyTimer, 660);
    EXPECT_EQ(s.powerUpsUsed, 3);
    // The bomb found nothing left to take: no blast sound.
    EXPECT_EQ(board.app.sound->played,
              (std::vector<int>{kReverseSound, kAccuracySound, kBallsDestroyedSound, kChime1Sound}));
    EXPECT_EQ(s.levelScore, 40);
}

TEST(Bomb, ReachesBelowItsRadiusOnly)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.targetScore = 100000;
    s.BuildBombPattern();
    // Nothing in reach: no sound, no blast.
    board.MakeChain(0, 0, {0}, 0, 0);
    s.DetonateBomb(Fixed::FromInt(300), Fixed::FromInt(200));
    EXPECT_TRUE(board.app.sound->played.empty());
    EXPECT_EQ(s.effects.Count(), 0);

    // 640x480's radius is 120: 119 px goes, 120 stays, on each side.
    BallChain& chain = board.MakeChain(0, 0, {0, 1, 2, 3, 4, 5});
    PlaceBall(chain, 0, 300 + 119, 200);
    PlaceBall(chain, 1, 300 + 120, 200);
    PlaceBall(chain, 2, 300 - 120, 200);
    PlaceBall(chain, 3, 300, 200 - 119);
    PlaceBall(chain, 4, 300 + 85, 200 + 85);  // 120.2 away
    PlaceBall(chain, 5, 300 - 84, 200 + 84);  // 118.8 away
    s.combo = 1;
    s.chain = 2;
    s.DetonateBomb(Fixed::FromInt(300), Fixed::FromInt(200));
    ASSERT_EQ(chain.count, 3);
    EXPECT_EQ(chain.balls[0].colour, 1);
    EXPECT_EQ(chain.balls[1].colour, 2);
    EXPECT_EQ(chain.balls[2].colour, 4);
    // Scored as one removal of three, without a combo; the blast's twelve explosions follow.
    EXPECT_EQ(s.levelScore, 30);
    EXPECT_EQ(s.combo, 1);
    EXPECT_EQ(s.chain, 2);
    EXPECT_EQ(s.matchedFlag, 1);
    EXPECT_EQ(s.bombCollecting, 0);
    EXPECT_EQ(board.app.sound->played, (std::vector<int>{kBallsDestroyedSound, kChime1Sound, kBombSound}));
    EXPECT_EQ(board.ExplosionCount(), 3 + 12);
    EXPECT_EQ(BombDelays(s).size(), 12u);
}

TEST(Bomb, TwoChainsScoreApartAndANestedBombAddsNoCombo)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    s.targetScore = 100000;
    BallChain& first = board.MakeChain(0, 0, {0, 1, 3});
    BallChain& second = board.MakeChain(1, 1, {2, 4});
    PlaceBall(first, 0, 300, 200);
    PlaceBall(first, 1, 350, 200);
    PlaceBall(first, 2, 700, 200);
    PlaceBall(second, 0, 250, 200);
    PlaceBall(second, 1, 460, 200);  // only the second bomb reaches it
    first.balls[1].sprite->SetPowerUp(kPowerBomb);
    s.combo = 1;
    s.combos = 0;
    s.DetonateBomb(Fixed::FromInt(300), Fixed::FromInt(200));
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(second.count, 0);
    // The outer blast takes two of the first chain (20); the bomb among them takes the whole
    // second chain (20), scored apart, and neither raises the combo.
    EXPECT_EQ(s.levelScore, 40);
    EXPECT_EQ(s.combo, 1);
    EXPECT_EQ(s.combos, 0);
    EXPECT_EQ(s.powerUpsUsed, 1);
    EXPECT_EQ(s.bombCollecting, 0);
    EXPECT_EQ(s.chainCount, 1);
}

TEST(Bomb, PatternRingAndDelaysComeFromTheRandomSource)
{
    RulesBoard board;
    ASSERT_TRUE(board.setsMade);
    GameplayScreen& s = *board.screen;
    crt::srand(77);
    s.BuildBombPattern();
    const int after = crt::rand();
    crt::srand(77);
    for (int i = 0; i < 24; ++i)
        crt::rand();
    EXPECT_EQ(crt::rand(), after) << "two draws per blast point";
    ASSERT_EQ(s.bombOffsets.Count(), 12);
    for (int i = 0; i < 12; ++i) {
        const ItemPair& o = *s.bombOffsets.At(i);
        EXPECT_LT(o.first * o.first + o.second * o.second, 76 * 76) << i;
        EXPECT_LT(*s.bombDelays.At(i), 8u);
    }
    // The first point lies on the ray at 0 degrees, the fourth at 90.
    EXPECT_EQ(s.bombOffsets.At(0)->second, 0);
    EXPECT_GE(s.bombOffsets.At(0)->first, 0);
    EXPECT_LE(std::abs(s.bombOffsets.At(3)->first), 1);

    s.SpawnBombExplosions(Fixed::FromInt(100), Fixed::FromInt(100));
    std::vector<int> delays = BombDelays(s);
    ASSERT_EQ(delays.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const int d = static_cast<int>(*s.bombDelays.At(i));
        EXPECT_EQ(delays[static_cast<size_t>(i)], d < 1 ? 0 : d + 1);
    }
    // Without a full pattern nothing is spawned.
    s.bombOffsets.Clear();
    s.SpawnBombExplosions(Fixed::FromInt(100), Fixed::FromInt(100));
    EXPECT_EQ(BombDelays(s).size(), 12u);
}

TEST(PowerUps, SpawnsWaitMoreThanTheIntervalAndDrawFirst)
{
    RulesBoard board;
    GameplayScreen& s = *board.screen;
    // No ball sprites: no draw at all.
    s.powerUpInterval[0] = s.powerUpInterval[1] = s.powerUpInterval[2] = s.powerUpInterval[3] = 1000;
    crt::srand(5);
    s.SpawnPowerUps();
    const int first = crt::rand();
    crt::srand(5);
    EXPECT_EQ(crt::rand(), first);

    BallChain& chain = board.MakeChain(0, 0, {0});
    BallSprite* sprite = chain.balls[0].sprite;
    // Each kind draws its number every frame, also while it waits.
    s.frameCounter = 100;
    for (int& last : s.lastSpawnFrame)
        last = 100;
    crt::srand(5);
    s.SpawnPowerUps();
    const int next = crt::rand();
    crt::srand(5);
    for (int i = 0; i < 4; ++i)
        crt::rand();
    EXPECT_EQ(crt::rand(), next);
    EXPECT_EQ(sprite->GetPowerUp(), -1);

    // An interval of 1 always draws 0: the wait alone decides. Turned-off kinds never come.
    s.powerUpInterval[0] = s.powerUpInterval[1] = s.powerUpInterval[3] = 0;
    s.powerUpInterval[2] = 1;
    s.lastSpawnFrame[2] = 99;
    s.SpawnPowerUps();
    EXPECT_EQ(sprite->GetPowerUp(), -1);
    s.lastSpawnFrame[2] = 98;
    s.SpawnPowerUps();
    EXPECT_EQ(sprite->GetPowerUp(), kPowerBomb);
    EXPECT_EQ(s.lastSpawnFrame[2], 100);
    // A ball never carries two: the attempt still counts as a spawn.
    s.powerUpInterval[2] = 0;
    s.powerUpInterval[0] = 1;
    s.lastSpawnFrame[0] = -3300;
    s.SpawnPowerUps();
    EXPECT_EQ(sprite->GetPowerUp(), kPowerBomb);
    EXPECT_EQ(s.lastSpawnFrame[0], 100);
}

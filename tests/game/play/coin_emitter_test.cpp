#include <gtest/gtest.h>

#include "game/play/coin.h"
#include "game/app/sound_bank.h"
#include "game/play/effect_emitter.h"
#include "tests/game/play/board_app.h"
#include "tests/game/play/record_io.h"

namespace {

bool AddCoinSets(BoardApp& app)
{
    return app.AddSet("Coin", 24, 10, 10) && app.AddSet("ParticleTrace", 14, 6, 6) &&
           app.AddSet("ParticleStarSmall", 18, 6, 6) && app.AddSet("ParticleBlik", 1, 6, 6) &&
           app.AddBallSets();
}

int UpdatesToDie(GameObject& object, int limit = 1000)
{
    int n = 0;
    while (!object.IsDead() && n < limit) {
        object.Update();
        ++n;
    }
    return n;
}

}  // namespace

TEST(Coin, VanishesAtItsAgeWithTheVanishingSound)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    Coin coin(&app);
    ASSERT_TRUE(coin.Init());
    EXPECT_EQ(coin.Bounds().w, Fixed::FromInt(10));
    for (int i = 0; i < 329; ++i)
        coin.Update();
    EXPECT_FALSE(coin.IsDead());
    EXPECT_TRUE(app.sound->played.empty());
    coin.Update();
    EXPECT_TRUE(coin.IsDead());
    EXPECT_EQ(app.sound->played, std::vector<int>{kCoinVanishSound});
    // 330 spin steps through 24 frames.
    EXPECT_EQ(coin.GetFrame(), Fixed::FromInt(330 % 24));
}

TEST(Coin, TheLaterShotCollectsItAndTheBonusFollowsTheTarget)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    RecordingScreen screen;
    screen.targetScore = 4000;
    app.UseScreen(&screen);
    Coin coin(&app);
    ASSERT_TRUE(coin.Init());
    coin.SetPositionAndSize(FixedVec2(Fixed::FromInt(100), Fixed::FromInt(100)), FixedVec2());

    BallSprite far(&app, 0), near1(&app, 1), near2(&app, 2);
    Ball shots[3];
    BallSprite* sprites[3] = {&near1, &near2, &far};
    int xs[3] = {95, 104, 300};
    for (int i = 0; i < 3; ++i) {
        sprites[i]->SetPositionAndSize(FixedVec2(Fixed::FromInt(xs[i]), Fixed::FromInt(100)), FixedVec2());
        shots[i].sprite = sprites[i];
        screen.shots.push_back(&shots[i]);
    }
    Ball noSprite;
    screen.shots.push_back(&noSprite);
    coin.Update();
    EXPECT_EQ(screen.removedShots, std::vector<int>{1});
    EXPECT_EQ(screen.coinsCollected, 1);
    EXPECT_EQ(screen.coinBonuses, std::vector<int>{600});
    EXPECT_EQ(app.sound->played, std::vector<int>{kCoinGrabSound});
    EXPECT_TRUE(coin.IsCollected());
    // It swells for five updates (0.2 each) and is gone, touching no more shots.
    EXPECT_EQ(UpdatesToDie(coin), 5);
    EXPECT_EQ(screen.removedShots.size(), 1u);

    EXPECT_EQ(Coin::BonusPoints(4000, false), 600);
    EXPECT_EQ(Coin::BonusPoints(1200, false), 500);
    EXPECT_EQ(Coin::BonusPoints(1200, true), 200);
    EXPECT_EQ(Coin::BonusPoints(599, true), 200);
}

TEST(Coin, ItsTrailStopsWithItAndTheLinkNeverOutlivesTheTrail)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    auto* trail = new TraceEmitter(&app);
    ASSERT_TRUE(trail->Init());
    {
        Coin coin(&app);
        ASSERT_TRUE(coin.Init());
        coin.SetPositionAndSize(FixedVec2(Fixed::FromInt(40), Fixed::FromInt(60)), FixedVec2());
        coin.SetTrail(trail);
        coin.Update();
        // The trail sits on the coin's top centre.
        EXPECT_EQ(trail->Bounds().x, Fixed::FromInt(45));
        EXPECT_EQ(trail->Bounds().y, Fixed::FromInt(60));
        static_cast<GameObject&>(coin).Kill();
        EXPECT_FALSE(trail->IsEmitting());
        EXPECT_EQ(coin.GetTrail(), nullptr);
    }
    // A trail that stops emitting lives until its particles fade: one spawn every two updates,
    // each fading by 10 over 26 steps.
    int n = UpdatesToDie(*trail);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 26);
    delete trail;

    Coin coin(&app);
    ASSERT_TRUE(coin.Init());
    trail = new TraceEmitter(&app);
    ASSERT_TRUE(trail->Init());
    coin.SetTrail(trail);
    delete trail;
    EXPECT_EQ(coin.GetTrail(), nullptr);
    coin.Update();
}

TEST(Coin, RecordCarriesItsTrail)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    Coin coin(&app);
    ASSERT_TRUE(coin.Init());
    auto* trail = new TraceEmitter(&app);
    ASSERT_TRUE(trail->Init());
    coin.SetTrail(trail);
    for (int i = 0; i < 9; ++i) {
        coin.Update();
        trail->Update();
    }
    std::vector<uint8_t> bytes = SaveObject(coin);
    // coin 11 + has-trail 1 + trail (11 + 8 + 25 particles * 52 + 1 + 4) + age 4
    ASSERT_EQ(bytes.size(), 11u + 1 + 11 + 8 + 25 * 52 + 1 + 4 + 4);
    EXPECT_EQ(bytes[12], kObjectTraceEmitter);
    auto loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    auto* copy = static_cast<Coin*>(loaded.get());
    EXPECT_EQ(copy->GetAge(), 9);
    ASSERT_NE(copy->GetTrail(), nullptr);
    std::unique_ptr<TraceEmitter> copiedTrail(copy->GetTrail());
    EXPECT_EQ(SaveObject(*copiedTrail), SaveObject(*trail));

    // An age past the coin's life is refused: it would have vanished (and could overflow).
    std::vector<uint8_t> old = bytes;
    old[old.size() - 4] = 74;
    old[old.size() - 3] = 1;  // 330
    EXPECT_EQ(LoadObject(&app, old), nullptr);

    std::vector<uint8_t> wrongType = bytes;
    wrongType[12] = kObjectStarEmitter;
    EXPECT_EQ(LoadObject(&app, wrongType), nullptr);
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(LoadObject(&app, bytes), nullptr);
    delete trail;
}

TEST(Coin, ATrailLoadedWithTheLowestCountdownSpawnsAtOnce)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    TraceEmitter trail(&app);
    ASSERT_TRUE(trail.Init());
    std::vector<uint8_t> bytes = SaveObject(trail);
    ASSERT_GE(bytes.size(), 4u);
    // The countdown is the record's last field.
    bytes[bytes.size() - 4] = 0;
    bytes[bytes.size() - 3] = 0;
    bytes[bytes.size() - 2] = 0;
    bytes[bytes.size() - 1] = 0x80;
    auto loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    loaded->Update();
    // It was due: one particle spawned and the countdown starts again at 1 (before, it wrapped
    // round to the highest count and the trail stopped for good).
    std::vector<uint8_t> after = SaveObject(*loaded);
    ASSERT_EQ(after.size(), bytes.size());
    EXPECT_EQ(std::vector<uint8_t>(after.end() - 4, after.end()), (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST(Emitters, BurstsLiveTheirCountedUpdates)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    StarEmitter star(&app);
    ASSERT_TRUE(star.Init());
    star.SetPositionAndSize(FixedVec2(Fixed::FromInt(100), Fixed::FromInt(100)), FixedVec2());
    star.Update();
    // Particle 0 at 5 degrees: (int(15 * cos 5), -int(1.5 * sin 5)) = (14, 0) from the point.
    EXPECT_EQ(star.Particle(0).position, FixedVec2(Fixed::FromInt(114), Fixed::FromInt(100)));
    EXPECT_EQ(star.Particle(1).kind, 1);
    EXPECT_EQ(UpdatesToDie(star) + 1, 52);

    SparkEmitter spark(&app);
    ASSERT_TRUE(spark.Init());
    EXPECT_EQ(UpdatesToDie(spark), 18);

    // A record with no particles dies on its first update.
    StarEmitter empty(&app);
    ASSERT_TRUE(empty.Init());
    std::vector<uint8_t> bytes = SaveObject(empty);
    ASSERT_EQ(bytes.size(), 11u + 8 + 8 * 52 + 1);
    bytes[11] = 0;
    bytes.resize(11 + 8);
    bytes.push_back(1);
    auto loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(UpdatesToDie(*loaded), 1);
}

TEST(Emitters, RecordsRefuseCountsIndicesAndKindsOutOfRange)
{
    BoardApp app;
    ASSERT_TRUE(AddCoinSets(app));
    SparkEmitter spark(&app);
    ASSERT_TRUE(spark.Init());
    spark.Update();
    std::vector<uint8_t> bytes = SaveObject(spark);
    ASSERT_NE(LoadObject(&app, bytes), nullptr);
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> out = bytes;
        out[at] = value;
        return out;
    };
    EXPECT_EQ(LoadObject(&app, with(11, 49)), nullptr);          // count
    EXPECT_EQ(LoadObject(&app, with(15, 48)), nullptr);          // next index
    EXPECT_EQ(LoadObject(&app, with(15 + 4 + 8 * 4, 2)), nullptr);  // kind of particle 0
    EXPECT_NE(LoadObject(&app, with(15 + 4 + 8 * 4, 1)), nullptr);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "game/play/ball_sprite.h"
#include "game/play/explosion.h"
#include "game/play/frog.h"
#include "game/play/hole.h"
#include "tests/game/play/board_app.h"
#include "tests/game/play/record_io.h"

namespace {

void Place(GameObject& object, int x, int y)
{
    object.SetPositionAndSize(FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y)), FixedVec2());
}

bool AddFrogSets(BoardApp& app)
{
    return app.AddSet("Frog", 1, 20, 20) && app.AddSet("NextToShoot", 6, 6, 6) && app.AddSet("EyeBlink", 2, 8, 4) &&
           app.AddSet("Tongue", 2, 6, 8) && app.AddSet("FrogNose", 1, 6, 6) && app.AddSet("FrogAll", 1, 20, 20);
}

}  // namespace

TEST(BoardObjects, FactoryMakesEachTypeAndTheCommonRecordIsElevenBytes)
{
    BoardApp app;
    ObjectFactory factory(&app);
    EXPECT_EQ(factory.Create(0), nullptr);
    EXPECT_EQ(factory.Create(9), nullptr);
    for (int type = 1; type <= 8; ++type) {
        std::unique_ptr<GameObject> object(factory.Create(type));
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->Type(), type);
    }

    Frog frog(&app);
    Place(frog, 0x0102, -2);
    std::vector<uint8_t> bytes = SaveObject(frog);
    std::vector<uint8_t> expected = {3, 1, 0x00, 0x02, 0x01, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(bytes, expected);
    // Size is kept: only the position moves.
    EXPECT_EQ(frog.Bounds().w, Fixed::FromInt(108));
}

TEST(BoardObjects, PurgeDeletesTheDeadAndKeepsTheOrder)
{
    BoardApp app;
    OwnedItemArray<GameObject> list;
    for (int i = 0; i < 4; ++i) {
        auto* hole = new Hole(&app);
        Place(*hole, i, 0);
        list.Append(hole);
    }
    list.Append(nullptr);
    list.Get(1)->Kill();
    list.Get(2)->Kill();
    PurgeDeadObjects(list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0)->Bounds().x, Fixed::FromInt(0));
    EXPECT_EQ(list.Get(1)->Bounds().x, Fixed::FromInt(3));
    EXPECT_EQ(list.Get(2), nullptr);
}

TEST(Frog, RecoilGlidesHomeAndTheEyeBlinks)
{
    BoardApp app;
    ASSERT_TRUE(AddFrogSets(app));
    Frog frog(&app);
    ASSERT_TRUE(frog.Init());
    frog.StartRecoil();
    // Out by Fixed 28 (-4) at once, capped at Fixed 30 (-4), home by Fixed 29 (raw 205) a frame.
    const int offsets[] = {-1024, -819, -614, -409, -204, 0, 0};
    const int blinks[] = {0, 1, 1, 1, 1, 0, 0};
    EXPECT_EQ(frog.GetBlinkFrame().ToInt(), 0);
    for (int i = 0; i < 7; ++i) {
        frog.Update();
        EXPECT_EQ(frog.GetRecoilOffset().raw, offsets[i]) << i;
        EXPECT_EQ(frog.GetBlinkFrame().ToInt(), blinks[i]) << i;
    }
    EXPECT_FALSE(frog.IsBlinking());

    // A second shot mid-recoil starts over.
    frog.StartRecoil();
    frog.Update();
    frog.Update();
    frog.StartRecoil();
    frog.Update();
    EXPECT_EQ(frog.GetRecoilOffset().raw, -1024);

    // Only a screen that lost a life fades the frog.
    EXPECT_EQ(frog.GetAlpha(), 0);
    RecordingScreen screen;
    screen.lossFade = -90;
    app.UseScreen(&screen);
    frog.Update();
    EXPECT_EQ(frog.GetAlpha(), 0);
    screen.playState = 6;
    frog.Update();
    EXPECT_EQ(frog.GetAlpha(), -90);
}

TEST(Hole, CoverFollowsItsTargetAndTheGlowRisesAndFalls)
{
    BoardApp app;
    ASSERT_TRUE(app.AddSet("Hole", 1, 16, 16) && app.AddSet("Pitcover", 8, 16, 16));
    Hole hole(&app);
    ASSERT_TRUE(hole.Init());
    EXPECT_EQ(hole.GetCoverFrameCount(), 8);
    hole.SetCoverTarget(20);
    EXPECT_EQ(hole.GetCoverTarget(), 7);
    hole.SetCoverTarget(-3);
    EXPECT_EQ(hole.GetCoverTarget(), 0);
    hole.SetCoverTarget(1);
    // 0.2 is raw 51: five steps reach 255, the sixth is clamped to the target.
    for (int i = 0; i < 5; ++i)
        hole.Update();
    EXPECT_EQ(hole.GetCoverFrame().raw, 255);
    hole.Update();
    EXPECT_EQ(hole.GetCoverFrame(), Fixed::FromInt(1));
    hole.ResetCoverTarget();
    hole.Update();
    EXPECT_EQ(hole.GetCoverFrame().raw, 256 - 51);
    hole.SetCoverTargetLast();
    EXPECT_EQ(hole.GetCoverTarget(), 7);
    hole.ResetCoverTarget();

    hole.StartGlow();
    for (int i = 0; i < 16; ++i)
        hole.Update();
    EXPECT_EQ(hole.GetGlow(), Fixed::FromInt(255));
    for (int i = 0; i < 15; ++i)
        hole.Update();
    EXPECT_EQ(hole.GetGlow(), Fixed::FromInt(15));
    hole.Update();
    EXPECT_EQ(hole.GetGlow(), Fixed());
    hole.Update();
    EXPECT_EQ(hole.GetGlow(), Fixed());

    // Drawing disabled: nothing drawn and the last drawn frame stays; enabled: it is recorded.
    std::unique_ptr<Surface> target(app.CreateImage());
    ASSERT_TRUE(target->Create(64, 64));
    hole.Draw(target.get(), 0, 0);
    EXPECT_EQ(hole.GetLastDrawnCover(), -1);
    hole.SetDrawingEnabled(true);
    hole.Draw(target.get(), 0, 0);
    EXPECT_EQ(hole.GetLastDrawnCover(), 0);
}

TEST(BallSprite, PowerUpTimelineAndFlash)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    BallSprite sprite(&app, 3);
    ASSERT_TRUE(sprite.Init());
    EXPECT_LT(sprite.GetStartFrame(), 46);

    sprite.SetPowerUp(2);
    EXPECT_EQ(sprite.GetPowerUp(), 2);
    EXPECT_EQ(sprite.GetActivePowerUp(), -1);
    for (int i = 0; i < 65; ++i)
        sprite.Update();
    EXPECT_EQ(sprite.GetActivePowerUp(), -1);
    sprite.Update();
    EXPECT_EQ(sprite.GetActivePowerUp(), 2);
    // The life of 660 already counted its first frame, and the glow its first rise of 24.
    EXPECT_EQ(sprite.GetPowerUpLife(), 659);
    EXPECT_EQ(sprite.GetGlow(), Fixed::FromInt(24));
    sprite.SetPowerUp(2);
    EXPECT_EQ(sprite.GetPendingDelay(), 0);
    for (int i = 0; i < 10; ++i)
        sprite.Update();
    EXPECT_EQ(sprite.GetGlow(), Fixed::FromInt(255));
    sprite.Update();
    EXPECT_EQ(sprite.GetGlow(), Fixed::FromInt(231));
    for (int i = 11; i < 658; ++i)
        sprite.Update();
    EXPECT_EQ(sprite.GetPowerUpLife(), 1);
    sprite.Update();
    EXPECT_EQ(sprite.GetActivePowerUp(), 2);
    EXPECT_EQ(sprite.GetPendingPowerUp(), -1);
    EXPECT_EQ(sprite.GetPendingDelay(), 66);
    for (int i = 0; i < 66; ++i)
        sprite.Update();
    EXPECT_EQ(sprite.GetActivePowerUp(), -1);
    EXPECT_EQ(sprite.GetPowerUp(), -1);

    // Removing a power-up that is not there still blinks for 66 frames.
    sprite.SetPowerUp(-1);
    EXPECT_EQ(sprite.GetPendingDelay(), 0);
    sprite.SetPowerUp(1);
    sprite.SetPowerUp(-1);
    EXPECT_EQ(sprite.GetPendingDelay(), 66);

    sprite.Flash(3);
    EXPECT_EQ(sprite.GetFlashCounter(), 4);
    sprite.Flash(0);
    EXPECT_EQ(sprite.GetFlashCounter(), 0);

    int r, g, b;
    BallSprite::ColourTint(2, r, g, b);
    EXPECT_EQ(r * 65536 + g * 256 + b, 255 * 65536 + 170 * 256 + 170);
}

// The glow is drawn at the bonus frame's angle: upright for most kinds, turned with the track for
// Reverse, whose arrow follows the rotation.
TEST(BallSprite, TheGlowTurnsWithTheBonusFrame)
{
    BoardApp app;
    ASSERT_TRUE(app.AddSet("Ball1", 50, 16, 16) && app.AddSet("BonusBall1", 4, 16, 16) &&
                app.AddSet("BonusLightAlpha", 4, 16, 16, true, true));
    std::unique_ptr<Surface> target(app.CreateImage());
    ASSERT_TRUE(target->Create(64, 64));
    auto drawn = [&](BallSprite& sprite) {
        target->Clear(0, 0, 0);
        sprite.Draw(target.get(), 0, 0);
        const uint16_t* pixels = target->GetPixels();
        return std::vector<uint16_t>(pixels, pixels + 64 * target->GetRawWidth());
    };
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind);
        BallSprite sprite(&app, 0);
        ASSERT_TRUE(sprite.Init());
        sprite.SetPositionAndSize(FixedVec2(Fixed::FromInt(24), Fixed::FromInt(24)),
                                  FixedVec2(Fixed::FromInt(16), Fixed::FromInt(16)));
        sprite.SetPowerUp(kind);
        for (int i = 0; i < 76; ++i)
            sprite.Update();
        ASSERT_EQ(sprite.GetGlow(), Fixed::FromInt(255));
        std::vector<uint16_t> lit = drawn(sprite);
        for (int i = 0; i < 11; ++i)
            sprite.Update();
        ASSERT_EQ(sprite.GetGlow(), Fixed());
        std::vector<uint16_t> dark = drawn(sprite);
        // The box of the pixels the glow brightened.
        int left = 64, right = -1, top = 64, bottom = -1;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (lit[y * target->GetRawWidth() + x] != dark[y * target->GetRawWidth() + x]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, left);
        const int wide = right - left + 1, tall = bottom - top + 1;
        if (kind == 1)
            EXPECT_GT(wide, tall) << "turned a quarter, as the arrow is at rotation 0";
        else
            EXPECT_GT(tall, wide);
    }
}

TEST(BallSprite, RollFollowsTheDistanceInDesignPixels)
{
    BoardApp half(2);
    ASSERT_TRUE(half.AddBallSets());
    BallSprite sprite(&half, 0);
    ASSERT_TRUE(sprite.Init());
    int start = sprite.GetStartFrame();
    // On 320x240 a screen pixel is two design pixels.
    sprite.SetRoll(90, Fixed::FromInt(10));
    EXPECT_EQ(sprite.GetFrame().ToInt(), (start + 20) % 50);
    EXPECT_EQ(sprite.GetRotation(), 90);
    sprite.SetRoll(0, Fixed::FromInt(-100));
    EXPECT_EQ(sprite.GetFrame(), Fixed());

    BallSprite loose(&half, -1);
    EXPECT_FALSE(loose.Init());
    loose.SetRoll(45, Fixed::FromInt(3));
    EXPECT_EQ(loose.GetRotation(), 0);
}

TEST(BallSprite, InitNeedsFramesInEverySet)
{
    BoardApp app;
    ASSERT_TRUE(app.AddSet("Ball1", 1, 8, 8) && app.AddSet("BonusBall1", 3, 8, 8) &&
                app.AddSet("BonusLightAlpha", 4, 8, 8));
    BallSprite sprite(&app, 0);
    EXPECT_FALSE(sprite.Init());
    BallSprite missing(&app, 1);
    EXPECT_FALSE(missing.Init());
}

TEST(BoardObjects, RecordsRoundTripAndRefuseOutOfRangeFields)
{
    BoardApp app;
    ASSERT_TRUE(app.AddBallSets());
    ASSERT_TRUE(app.AddSet("BallExplosion", 12, 8, 8) && app.AddSet("Explosion", 10, 8, 8));
    ASSERT_TRUE(app.AddSet("Hole", 1, 16, 16) && app.AddSet("Pitcover", 8, 16, 16));

    BallSprite sprite(&app, 4);
    ASSERT_TRUE(sprite.Init());
    Place(sprite, 33, 44);
    sprite.SetRoll(123, Fixed::FromInt(7));
    sprite.SetPowerUp(3);
    sprite.Update();
    sprite.Flash(5);
    sprite.SetPathAndSegment(1, 17);
    sprite.SetVisibility(99);
    std::vector<uint8_t> bytes = SaveObject(sprite);
    ASSERT_EQ(bytes.size(), 11u + 13 * 4);
    auto loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    auto* copy = static_cast<BallSprite*>(loaded.get());
    EXPECT_EQ(copy->Bounds().x, Fixed::FromInt(33));
    EXPECT_EQ(copy->GetRotation(), 123);
    EXPECT_EQ(copy->GetFrame(), sprite.GetFrame());
    EXPECT_EQ(copy->GetPendingPowerUp(), 3);
    EXPECT_EQ(copy->GetPendingDelay(), 65);
    EXPECT_EQ(copy->GetFlashCounter(), 6);
    EXPECT_EQ(copy->GetSegmentIndex(), 17);
    EXPECT_EQ(copy->GetVisibility(), 99);
    EXPECT_EQ(SaveObject(*copy), bytes);

    auto patched = [&](std::vector<uint8_t> record, size_t field, int32_t value) {
        for (int i = 0; i < 4; ++i)
            record[11 + field * 4 + i] = uint8_t(uint32_t(value) >> (8 * i));
        return record;
    };
    EXPECT_EQ(LoadObject(&app, patched(bytes, 0, 6)), nullptr);   // colour
    EXPECT_EQ(LoadObject(&app, patched(bytes, 2, 50 << 8)), nullptr);  // frame past the 50
    EXPECT_EQ(LoadObject(&app, patched(bytes, 8, 4)), nullptr);   // power-up
    EXPECT_EQ(LoadObject(&app, patched(bytes, 9, -2)), nullptr);  // pending
    EXPECT_NE(LoadObject(&app, patched(bytes, 8, -1)), nullptr);
    bytes.pop_back();
    EXPECT_EQ(LoadObject(&app, bytes), nullptr);

    Explosion explosion(&app);
    explosion.SetColour(2);
    explosion.SetDelay(4);
    bytes = SaveObject(explosion);
    ASSERT_EQ(bytes.size(), 19u);
    loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(static_cast<Explosion*>(loaded.get())->GetDelay(), 5);
    EXPECT_EQ(LoadObject(&app, patched(bytes, 0, 7)), nullptr);
    EXPECT_EQ(LoadObject(&app, patched(bytes, 1, -1)), nullptr);

    Hole hole(&app);
    Place(hole, -5, 6);
    bytes = SaveObject(hole);
    ASSERT_EQ(bytes.size(), 11u);
    loaded = LoadObject(&app, bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Bounds().x, Fixed::FromInt(-5));
}

TEST(Explosion, LifetimesAndDelay)
{
    BoardApp app;
    ASSERT_TRUE(app.AddSet("BallExplosion", 12, 8, 8) && app.AddSet("Explosion", 10, 8, 8));
    auto updatesToDie = [&](int colour, int delay) {
        Explosion explosion(&app);
        EXPECT_TRUE(explosion.Init());
        explosion.SetColour(colour);
        explosion.SetDelay(delay);
        int n = 0;
        while (!explosion.IsDead() && n < 100) {
            explosion.Update();
            ++n;
            if (n <= delay + 1 && delay > 0) {
                EXPECT_EQ(explosion.GetFrame(), Fixed()) << n;
            }
        }
        return n;
    };
    EXPECT_EQ(updatesToDie(0, 0), 12);
    // 0.7 a step: 14 steps reach 9.79, the 15th 10.49.
    EXPECT_EQ(updatesToDie(Explosion::kBomb, 0), 15);
    EXPECT_EQ(updatesToDie(Explosion::kBomb, 3), 15 + 4);
}

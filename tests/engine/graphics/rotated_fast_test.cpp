#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/graphics/rotated_draw.h"
#include "engine/graphics/trig_table.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

class TurnedScreen : public Application {
public:
    void SetRotationForTest(int rotation) { rotation_ = rotation; }
    OptionsRecord* CreateOptionsRecord() override { return nullptr; }
    LoadResult LoadLanguage() override { return LoadResult(); }
    String GetImageFolder() override { return String(); }
    String GetSoundFolder() override { return String(); }
    String GetSaveDirectory() override { return String(); }
    String GetCommonPackName() override { return String(); }
    String GetScreenPackName() override { return String(); }
};

// Alphas weighted towards the thresholds the coverage tests (8, 9, 245, a sum of 1000) and the ends.
uint8_t PickAlpha(std::mt19937& rng)
{
    static const uint8_t special[] = {0, 0, 1, 2, 8, 9, 10, 200, 244, 245, 246, 249, 250, 254, 255, 255};
    return rng() % 3 ? special[rng() % 16] : uint8_t(rng());
}

int PickSize(std::mt19937& rng)
{
    static const int sizes[] = {1, 1, 2, 3, 7, 8, 9, 15, 16, 17, 31, 32, 33};
    return rng() % 4 ? sizes[rng() % 13] : 1 + int(rng() % 60);
}

int PickAngle(std::mt19937& rng)
{
    static const int angles[] = {0, 23040, 46080, 69120, 11520, 92159, -100, 92160};
    return rng() % 4 == 0 ? angles[rng() % 8] : int(rng() % 200000) - 50000;
}

int PickScale(std::mt19937& rng)
{
    switch (rng() % 5) {
    case 0:
        return 65536;
    case 1:
        return 4096 + int(rng() % 60000);  // shrinking
    case 2:
        return 65536 + int(rng() % 300000);  // growing
    case 3:
        return rng() % 8 ? 4096 : 4095;
    default:
        return 20000 + int(rng() % 100000);
    }
}

struct Case {
    int kind;  // which draw
    int x, y, angle, scale, pivotX, pivotY, offset, r, g, b, blendMode;
};

class RotatedFastPath : public ::testing::Test {
protected:
    void TearDown() override { rotated_draw::SetFastPathsEnabled(true); }

    void Run(TrigTable& table, const Surface& source, Surface& target, const Case& c)
    {
        const Fixed x = Fixed::Raw(c.x), y = Fixed::Raw(c.y);
        const Fixed16 scale = Fixed16::Raw(c.scale);
        switch (c.kind) {
        case 0:
            table.DrawRotated(&source, &target, x, y, c.angle, scale);
            break;
        case 1:
            table.DrawRotatedAlpha(&source, &target, x, y, c.angle, scale, c.offset);
            break;
        case 2:
            table.DrawRotatedPivot(&source, &target, x, y, c.angle, Fixed::Raw(c.pivotX), Fixed::Raw(c.pivotY),
                                   scale, c.offset);
            break;
        case 3:
            table.DrawRotatedTinted(&source, &target, x, y, c.angle, scale, c.r, c.g, c.b, c.offset);
            break;
        case 4:
            table.DrawRotatedAdditive(&source, &target, x, y, c.angle, scale, c.r, c.g, c.b, c.offset);
            break;
        default:
            table.DrawTransformed(&source, &target, x, y, c.angle, Fixed::Raw(c.pivotX), Fixed::Raw(c.pivotY),
                                  scale, c.blendMode, c.offset, c.r, c.g, c.b);
            break;
        }
    }
};

}  // namespace

TEST_F(RotatedFastPath, BilinearDrawsEqualTheReference)
{
#if defined(__SSE2__)
    {
        auto source = Make565(4, 4);
        auto target = Make565(8, 8);
        rotated_draw::Params p;
        p.source = source.get();
        p.destination = target.get();
        p.x = p.y = 4 * 256;
        p.cosine = 256;
        rotated_draw::Mapping m;
        ASSERT_TRUE(rotated_draw::Setup(p, m));
        EXPECT_TRUE(rotated_draw::DrawBilinearSse2(rotated_draw::Variant::Default, p, m));
    }
#endif
    TurnedScreen screen;
    std::mt19937 rng(20240611);
    int drawn = 0;
    const int kRounds = 3000;
    for (int round = 0; round < kRounds; ++round) {
        const int rotation = int(rng() % 3);
        screen.SetRotationForTest(rotation);
        TrigTable table(rng() % 2 ? &screen : nullptr, 5760);
        ASSERT_TRUE(table.Build());
        table.SetTightBounds(rng() % 3 == 0);

        const int sw = PickSize(rng), sh = rng() % 3 ? PickSize(rng) : sw;
        const bool plane = rng() % 5 != 0;
        auto source = Make565(sw, sh, int(rng() % 3), plane);
        FillRandom(*source, rng, false);
        if (plane)
            for (int i = 0; i < sw * sh; ++i)
                source->GetAlpha()[i] = PickAlpha(rng);
        if (rng() % 6 == 0)  // some black pixels for the additive draw's skip
            for (int i = 0; i < sw * sh; ++i)
                if (rng() % 2)
                    source->GetPixels()[i] = 0;

        const int tw = 1 + int(rng() % 70), th = 1 + int(rng() % 50);
        auto base = Make565(tw, th, rotation, false);
        FillRandom(*base, rng, false);

        Case c;
        c.kind = int(rng() % 6);
        // Positions reach past every edge so that the box is clipped on each side.
        c.x = int(rng() % uint32_t((tw + 24) * 256)) - 12 * 256;
        c.y = int(rng() % uint32_t((th + 24) * 256)) - 12 * 256;
        c.angle = PickAngle(rng);
        c.scale = PickScale(rng);
        c.pivotX = int(rng() % uint32_t((sw + 4) * 256)) - 512;
        c.pivotY = int(rng() % uint32_t((sh + 4) * 256)) - 512;
        c.offset = rng() % 4 == 0 ? 0 : int(rng() % 300) - 260;
        c.r = int(rng() % 256);
        c.g = int(rng() % 256);
        c.b = int(rng() % 256);
        c.blendMode = int(rng() % 4);

        uint64_t sums[2];
        for (int fast = 0; fast < 2; ++fast) {
            rotated_draw::SetFastPathsEnabled(fast == 1);
            auto target = Make565(tw, th, rotation, false);
            memcpy(target->GetPixels(), base->GetPixels(), size_t(tw) * th * 2);
            Run(table, *source, *target, c);
            sums[fast] = Checksum(*target);
        }
        drawn += sums[0] != Checksum(*base);
        ASSERT_EQ(sums[0], sums[1]) << "round " << round << " draw " << c.kind << " source " << sw << "x" << sh
                                    << " target " << tw << "x" << th << " at " << c.x << "," << c.y << " angle "
                                    << c.angle << " scale " << c.scale << " offset " << c.offset;
    }
    // Enough cases must reach the target, or the comparison proves little.
    EXPECT_GT(drawn, kRounds / 3);
}

// Large turned and scaled pictures give long inner runs, with rows cut at both ends.
TEST_F(RotatedFastPath, LargePicturesEqualTheReference)
{
    TrigTable table(nullptr, 5760);
    ASSERT_TRUE(table.Build());
    std::mt19937 rng(99);
    auto source = Make565(121, 87);
    FillRandom(*source, rng, false);
    for (int i = 0; i < 121 * 87; ++i)
        source->GetAlpha()[i] = PickAlpha(rng);
    auto base = Make565(320, 240, 0, false);
    FillRandom(*base, rng, false);
    int drawn = 0;
    for (int round = 0; round < 24; ++round) {
        Case c = {int(rng() % 6), int(rng() % (320 * 256)), int(rng() % (240 * 256)), int(rng() % kFullTurn),
                  PickScale(rng), int(rng() % (121 * 256)), int(rng() % (87 * 256)), -int(rng() % 200),
                  128, 64, 255, int(rng() % 2)};
        uint64_t sums[2];
        for (int fast = 0; fast < 2; ++fast) {
            rotated_draw::SetFastPathsEnabled(fast == 1);
            auto target = Make565(320, 240, 0, false);
            memcpy(target->GetPixels(), base->GetPixels(), 320 * 240 * 2);
            Run(table, *source, *target, c);
            sums[fast] = Checksum(*target);
        }
        drawn += sums[0] != Checksum(*base);
        ASSERT_EQ(sums[0], sums[1]) << "round " << round << " draw " << c.kind;
    }
    EXPECT_GT(drawn, 16);
}

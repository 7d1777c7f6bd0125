// The ball shadow's plain mask blit against the turned reference it stands in for, on seeded
// random boards and a soft round shadow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/play/ball_shadow.h"

namespace {

std::unique_ptr<Surface> RandomBoard(unsigned seed)
{
    auto s = std::make_unique<Surface>(nullptr);
    s->Create(96, 64);
    s->FreeAlpha();
    std::mt19937 rng(seed);
    for (int i = 0; i < 96 * 64; ++i)
        s->GetPixels()[i] = uint16_t(rng());
    return s;
}

// A disc that fades out towards its rim, as the shipped shadow does.
std::unique_ptr<Surface> SoftDisc(int size)
{
    auto s = std::make_unique<Surface>(nullptr);
    s->Create(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
            const double r = std::sqrt(dx * dx + dy * dy) / (size / 2.0);
            s->GetPixels()[y * size + x] = 0;
            s->GetAlpha()[y * size + x] = uint8_t(r >= 1 ? 0 : 255 * (1 - r));
        }
    return s;
}

int Channel(uint16_t v, int c)
{
    return c == 0 ? v >> 11 : c == 1 ? (v >> 5) & 63 : v & 31;
}

}  // namespace

TEST(BallShadow, PlainBlitMatchesTheTurnedDrawAtWholePixels)
{
    TrigTable trig(nullptr, 5760);
    ASSERT_TRUE(trig.Build());
    auto disc = SoftDisc(24);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        auto reference = RandomBoard(seed), fast = RandomBoard(seed), untouched = RandomBoard(seed);
        std::mt19937 rng(seed * 7);
        // Centres anywhere, partly off the board too.
        const Fixed x = Fixed::FromInt(int(rng() % 110) - 7), y = Fixed::FromInt(int(rng() % 78) - 7);
        DrawBallShadowReference(trig, disc.get(), reference.get(), x, y, Fixed16::FromInt(1));
        DrawBallShadow(trig, disc.get(), fast.get(), x, y, Fixed16::FromInt(1));
        int darkened = 0, darkenedFast = 0, worst = 0;
        for (int i = 0; i < 96 * 64; ++i) {
            darkened += reference->GetPixels()[i] != untouched->GetPixels()[i];
            darkenedFast += fast->GetPixels()[i] != untouched->GetPixels()[i];
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(Channel(reference->GetPixels()[i], c) - Channel(fast->GetPixels()[i], c)));
        }
        // The filtered edge differs from the sampled one by a few levels at most, over the same area.
        EXPECT_LE(worst, 3);
        EXPECT_NEAR(darkenedFast, darkened, darkened * 3 / 10 + 2);
        if (x.ToInt() > 12 && y.ToInt() > 12 && x.ToInt() < 84 && y.ToInt() < 52) {
            EXPECT_GT(darkened, 60);
        }
    }
}

TEST(BallShadow, ScaledBallsKeepTheTurnedDraw)
{
    TrigTable trig(nullptr, 5760);
    ASSERT_TRUE(trig.Build());
    auto disc = SoftDisc(24);
    auto reference = RandomBoard(3), fast = RandomBoard(3);
    const Fixed16 grown = Fixed16::FromDouble(0.6);
    DrawBallShadowReference(trig, disc.get(), reference.get(), Fixed::FromDouble(40.3), Fixed::FromDouble(30.7), grown);
    DrawBallShadow(trig, disc.get(), fast.get(), Fixed::FromDouble(40.3), Fixed::FromDouble(30.7), grown);
    EXPECT_EQ(std::memcmp(reference->GetPixels(), fast->GetPixels(), 96 * 64 * 2), 0);
    EXPECT_EQ(trig.GetDrawMode(), 0);
}

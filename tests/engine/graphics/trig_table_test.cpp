#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/rotated_draw.h"
#include "engine/graphics/trig_table.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

const Fixed16 kOne = Fixed16::Raw(65536);

uint16_t Unspread565(uint16_t p)
{
    return uint16_t(p & 0xFFDF);
}

Fixed At256(int n)
{
    return Fixed::FromInt(n);
}

class Rotation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(table.Build()); }
    std::unique_ptr<Surface> Black(int w = 200, int h = 200)
    {
        auto s = Make565(w, h, 0, false);
        Fill(*s, 0);
        return s;
    }
    TrigTable table{nullptr, 5760};
};

int Changed(const Surface& s, uint16_t background = 0)
{
    int n = 0;
    for (int i = 0; i < s.GetRawWidth() * s.GetRawHeight(); ++i)
        n += s.GetPixels()[i] != background;
    return n;
}

}  // namespace

TEST_F(Rotation, TablesAndIndices)
{
    EXPECT_EQ(table.GetAngleFactor(), 4096);
    EXPECT_EQ(table.AngleToIndex(23040), 1440);
    EXPECT_EQ(table.GetSine()[1440], 256);
    EXPECT_EQ(table.GetCosine()[1440], 0);
    EXPECT_EQ(table.GetSine16()[1440], 65536);
    EXPECT_EQ(table.AngleToIndex(-100), table.AngleToIndex(92060));
    EXPECT_EQ(table.AngleToIndex(92160), 0);
    EXPECT_EQ(table.AngleToIndex(-92160 * 3 + 16), 1);

    EXPECT_EQ(Fixed::EaseInOut(Fixed::Raw(0), table).raw, 0);
    EXPECT_EQ(Fixed::EaseInOut(Fixed::Raw(128), table).raw, 128);
    EXPECT_EQ(Fixed::EaseInOut(Fixed::Raw(256), table).raw, 256);
    EXPECT_LT(Fixed::EaseInOut(Fixed::Raw(64), table).raw, 64);
}

TEST_F(Rotation, UnturnedOpaqueSourceCoversItsSquare)
{
    auto source = Make565(10, 10, 0, false);
    Fill(*source, pixel::Format565::Make(31, 63, 31));
    auto target = Black();
    table.DrawRotated(source.get(), target.get(), At256(100), At256(100), 0, kOne);
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 110; ++x) {
            bool inside = x >= 95 && x <= 104 && y >= 95 && y <= 104;
            uint16_t p = At(*target, x, y);
            if (!inside) {
                ASSERT_EQ(p, 0) << x << "," << y;
                continue;
            }
            ASSERT_EQ(Red(p), 30) << x << "," << y;
            ASSERT_EQ(Green(p), 62);
        }
}

TEST_F(Rotation, AnglesWrapAndTinyScalesDrawNothing)
{
    std::mt19937 rng(3);
    auto source = Make565(16, 12);
    FillRandom(*source, rng);
    auto a = Black(), b = Black();
    table.DrawRotated(source.get(), a.get(), At256(50), At256(60), -100, kOne);
    table.DrawRotated(source.get(), b.get(), At256(50), At256(60), 92060, kOne);
    EXPECT_EQ(Checksum(*a), Checksum(*b));
    EXPECT_GT(Changed(*a), 100);
    a = Black();
    b = Black();
    table.DrawRotated(source.get(), a.get(), At256(50), At256(60), 92160 * 2, kOne);
    table.DrawRotated(source.get(), b.get(), At256(50), At256(60), 0, kOne);
    EXPECT_EQ(Checksum(*a), Checksum(*b));

    a = Black();
    table.DrawRotated(source.get(), a.get(), At256(50), At256(60), 1234, Fixed16::Raw(2048));
    table.DrawRotated(source.get(), a.get(), At256(50), At256(60), 1234, Fixed16::Raw(0));
    table.DrawRotated(nullptr, a.get(), At256(50), At256(60), 1234, kOne);
    table.DrawTransformed(source.get(), a.get(), At256(50), At256(60), 0, At256(8), At256(6), kOne, 2, 0, 1, 2, 3);
    EXPECT_EQ(Changed(*a), 0);
    // Half size covers about a quarter of the pixels.
    table.DrawRotated(source.get(), a.get(), At256(50), At256(60), 0, Fixed16::Raw(32768));
    EXPECT_GT(Changed(*a), 20);
    EXPECT_LT(Changed(*a), 70);
}

TEST_F(Rotation, PivotAtTheCentreEqualsDrawRotated)
{
    std::mt19937 rng(9);
    auto source = Make565(12, 8);
    FillRandom(*source, rng);
    for (int angle : {0, 5000, 23040, 70000}) {
        auto a = Black(), b = Black(), c = Black();
        table.DrawRotated(source.get(), a.get(), At256(70), At256(80), angle, Fixed16::Raw(90000));
        table.DrawRotatedPivot(source.get(), b.get(), At256(70), At256(80), angle, At256(6), At256(4),
                               Fixed16::Raw(90000), 0);
        table.DrawTransformed(source.get(), c.get(), At256(70), At256(80), angle, At256(6), At256(4),
                              Fixed16::Raw(90000), 0, 0, 0, 0, 0);
        EXPECT_EQ(Checksum(*a), Checksum(*b)) << angle;
        EXPECT_EQ(Checksum(*a), Checksum(*c)) << angle;
    }
    // A pivot at the top-left corner moves the picture down and right by half its size.
    auto a = Black(), b = Black();
    table.DrawRotated(source.get(), a.get(), At256(76), At256(84), 0, kOne);
    table.DrawRotatedPivot(source.get(), b.get(), At256(70), At256(80), 0, At256(0), At256(0), kOne, 0);
    EXPECT_EQ(Checksum(*a), Checksum(*b));
}

TEST_F(Rotation, TightBoundsCutSquaresOnly)
{
    auto square = Make565(20, 20, 0, false);
    Fill(*square, 0xFFFF);
    auto loose = Black(), tight = Black();
    table.DrawRotated(square.get(), loose.get(), At256(100), At256(100), 11520, kOne);
    table.SetTightBounds(true);
    table.DrawRotated(square.get(), tight.get(), At256(100), At256(100), 11520, kOne);
    EXPECT_LT(Changed(*tight), Changed(*loose));
    EXPECT_NE(At(*loose, 100, 87), 0);
    EXPECT_EQ(At(*tight, 100, 87), 0);

    auto oblong = Make565(10, 12, 0, false);
    Fill(*oblong, 0xFFFF);
    auto withFlag = Black(), without = Black();
    table.DrawRotated(oblong.get(), withFlag.get(), At256(100), At256(100), 11520, kOne);
    table.SetTightBounds(false);
    table.DrawRotated(oblong.get(), without.get(), At256(100), At256(100), 11520, kOne);
    EXPECT_EQ(Checksum(*withFlag), Checksum(*without));
}

TEST_F(Rotation, OffsetsFadeTintAndAdd)
{
    auto opaque = Make565(10, 10, 0, false);
    Fill(*opaque, 0xFFFF);
    auto target = Black();
    // Without a plane the picture fades rather than vanishing.
    table.DrawRotatedAlpha(opaque.get(), target.get(), At256(50), At256(50), 0, kOne, -128);
    EXPECT_EQ(At(*target, 50, 50), pixel::Blend565(0, pixel::Format565::Make(30, 62, 30), 127));
    table.DrawRotatedAlpha(opaque.get(), target.get(), At256(150), At256(50), 0, kOne, -255);
    EXPECT_EQ(At(*target, 150, 50), 0);

    std::mt19937 rng(1);
    auto sprite = Make565(10, 10);
    FillRandom(*sprite, rng, false);
    memset(sprite->GetAlpha(), 255, 100);
    target = Black();
    table.DrawRotatedTinted(sprite.get(), target.get(), At256(50), At256(50), 0, kOne, 255, 0, 0, 40);
    EXPECT_EQ(At(*target, 50, 50), 0xF800);
    EXPECT_EQ(At(*target, 97, 50), 0);
    table.DrawRotatedTinted(sprite.get(), target.get(), At256(100), At256(50), 0, kOne, 255, 0, 0, -255);
    EXPECT_EQ(At(*target, 100, 50), 0);

    auto a = Black(), b = Black();
    table.DrawRotatedAdditive(sprite.get(), a.get(), At256(50), At256(50), 3000, kOne, 0, 0, 0, -20);
    table.DrawRotatedAdditive(sprite.get(), b.get(), At256(50), At256(50), 3000, kOne, 255, 255, 255, -20);
    EXPECT_EQ(Checksum(*a), Checksum(*b));
    EXPECT_GT(Changed(*a), 50);
    // Adding onto white saturates.
    auto white = Black();
    Fill(*white, 0xFFFF);
    table.DrawRotatedAdditive(sprite.get(), white.get(), At256(50), At256(50), 3000, kOne, 0, 0, 0, 0);
    EXPECT_EQ(Changed(*white, 0xFFFF), 0);
}

// A tint reads only the alpha plane, so a mask whose colour pixels were freed after loading
// paints exactly what the same plane with pixels does, on the fast rows and the reference alike.
TEST_F(Rotation, TintNeedsOnlyTheAlphaPlane)
{
    std::mt19937 rng(9);
    auto sprite = Make565(24, 18);
    FillRandom(*sprite, rng);
    for (bool fast : {true, false}) {
        rotated_draw::SetFastPathsEnabled(fast);
        auto withPixels = Black(), planeOnly = Black();
        table.DrawRotatedTinted(sprite.get(), withPixels.get(), At256(60), At256(70), 5000, kOne, 255, 255, 0, -40);
        auto mask = Make565(24, 18);
        memcpy(mask->GetAlpha(), sprite->GetAlpha(), 24 * 18);
        ASSERT_TRUE(mask->FreePixels());
        ASSERT_EQ(mask->GetPixels(), nullptr);
        table.DrawRotatedTinted(mask.get(), planeOnly.get(), At256(60), At256(70), 5000, kOne, 255, 255, 0, -40);
        EXPECT_GT(Changed(*withPixels), 100) << fast;
        EXPECT_EQ(Checksum(*withPixels), Checksum(*planeOnly)) << fast;
        // Draws that blend the source's own colour still want it.
        auto untouched = Black();
        table.DrawRotatedAlpha(mask.get(), untouched.get(), At256(60), At256(70), 5000, kOne, -40);
        EXPECT_EQ(Changed(*untouched), 0) << fast;
    }
    rotated_draw::SetFastPathsEnabled(true);
}

TEST_F(Rotation, FastModesDrawInnerPixelsUpToTheLastColumn)
{
    std::mt19937 rng(4);
    auto sprite = Make565(10, 10);
    FillRandom(*sprite, rng, false);
    memset(sprite->GetAlpha(), 255, 100);
    for (int mode : {0, 1}) {
        table.SetDrawMode(mode);
        auto target = Black(20, 20);
        table.DrawRotated(sprite.get(), target.get(), At256(18), At256(10), 0, kOne);
        // Unturned and unscaled, nearest sampling copies the inner pixels.
        EXPECT_EQ(At(*target, 19, 10), mode == 0 ? At(*sprite, 6, 5) : Unspread565(At(*sprite, 6, 5))) << mode;
        EXPECT_EQ(At(*target, 13, 5), mode == 0 ? At(*sprite, 0, 0) : Unspread565(At(*sprite, 0, 0))) << mode;
        EXPECT_EQ(At(*target, 12, 10), 0);
    }
    table.SetDrawMode(2);
}

TEST(MapFixedPoint, FollowsTheDestinationOrientation)
{
    auto s = Make565(240, 320, 1);
    Fixed x = Fixed::FromInt(10), y = Fixed::FromInt(20);
    MapFixedPoint(s.get(), x, y);
    EXPECT_EQ(x.raw, 20 * 256);
    EXPECT_EQ(y.raw, 320 * 256 - 10 * 256 - 256);
    s->SetOrientation(2);
    x = Fixed::FromInt(10);
    y = Fixed::FromInt(20);
    MapFixedPoint(s.get(), x, y);
    EXPECT_EQ(x.raw, 240 * 256 - 20 * 256 - 256);
    EXPECT_EQ(y.raw, 10 * 256);
}

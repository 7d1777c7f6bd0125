#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "engine/graphics/fill_lines.h"
#include "engine/graphics/pixel_formats.h"
#include "surface_test_support.h"

using namespace drawing_test;

TEST(Blend, FollowsTheChannelFormula)
{
    EXPECT_EQ(pixel::Blend565(0x0000, 0xFFFF, 128), 0x7BEF);
    uint16_t p = pixel::Blend565(0x0000, 0xFFFF, 254);
    EXPECT_EQ(Red(p), 30);
    EXPECT_EQ(Green(p), 62);
    EXPECT_EQ(Blue(p), 30);
    // Towards a darker colour the arithmetic shift rounds down as well.
    EXPECT_EQ(Red(pixel::Blend565(0xFFFF, 0x0000, 1)), 30);
}

TEST(Blit, AlphaPlaneSkipsBlendsAndCopies)
{
    std::mt19937 rng(5);
    auto source = Make565(6, 5);
    FillRandom(*source, rng, false);
    auto target = Make565(8, 8);
    Fill(*target, 0x0841);
    memset(source->GetAlpha(), 0, 30);
    source->Blit(target.get(), 1, 1, 0, 0, 0);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(target->GetPixels()[i], 0x0841);
    memset(source->GetAlpha(), 255, 30);
    source->Blit(target.get(), 1, 1, 0, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(At(*target, x + 1, y + 1), At(*source, x, y));
    EXPECT_EQ(At(*target, 7, 7), 0x0841);
}

TEST(Blit, MirrorsLogicallyInEveryOrientation)
{
    for (int orientation : {0, 1, 2}) {
        // The same logical picture in the orientation under test.
        auto source = Make565(orientation ? 4 : 6, orientation ? 6 : 4, orientation, false);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                int rx = x, ry = y;
                if (orientation == 1) {
                    rx = y;
                    ry = 5 - x;
                } else if (orientation == 2) {
                    rx = 3 - y;
                    ry = x;
                }
                At(*source, rx, ry) = uint16_t(y * 16 + x + 1);
            }
        ASSERT_EQ(source->GetWidth(), 6);
        auto target = Make565(orientation ? 10 : 12, orientation ? 12 : 10, orientation, false);
        Fill(*target, 0);
        source->Blit(target.get(), 3, 2, 0, 0, kMirrorLeftRight | kMirrorTopBottom);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(Logical(*target, 3 + x, 2 + y), uint16_t((3 - y) * 16 + (5 - x) + 1))
                    << "orientation " << orientation;
        // A partial part is the logical top-left corner.
        Fill(*target, 0);
        source->Blit(target.get(), 0, 0, 2, 3, 0);
        EXPECT_EQ(Logical(*target, 1, 2), uint16_t(2 * 16 + 1 + 1));
        EXPECT_EQ(Logical(*target, 2, 2), 0);
        EXPECT_EQ(Logical(*target, 1, 3), 0);
    }
}

TEST(BlitRegion, ClipsAgainstBothSurfaces)
{
    auto source = Make565(10, 4, 0, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            At(*source, x, y) = uint16_t(100 + y * 10 + x);
    auto target = Make565(20, 10, 0, false);
    Fill(*target, 0);
    source->BlitRegion(target.get(), 2, 1, 10, 4, -5, 0, 0);
    EXPECT_EQ(At(*target, 6, 1), 0);
    EXPECT_EQ(At(*target, 7, 1), 100);
    EXPECT_EQ(At(*target, 11, 1), 104);
    EXPECT_EQ(At(*target, 12, 1), 0);

    // A negative destination position advances the source start.
    Fill(*target, 0);
    source->BlitRegion(target.get(), -3, -1, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), 113);
    EXPECT_EQ(At(*target, 6, 2), 139);
    EXPECT_EQ(At(*target, 7, 0), 0);
    EXPECT_EQ(At(*target, 0, 3), 0);
}

TEST(BlitRegion, OffsetsOnAnOpaqueSource)
{
    auto source = Make565(4, 4, 0, false);
    Fill(*source, 0xFFFF);
    auto target = Make565(4, 4, 0, false);
    Fill(*target, 0);
    source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, -128);
    EXPECT_EQ(At(*target, 3, 3), pixel::Blend565(0, 0xFFFF, 127));
    Fill(*target, 0);
    source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, -250);
    EXPECT_EQ(At(*target, 0, 0), 0);
    source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, -5);
    EXPECT_EQ(At(*target, 0, 0), 0xFFFF);
}

TEST(BlitRegion, AlphaThresholdsAndTint)
{
    auto source = Make565(4, 1);
    Fill(*source, 0xFFFF);
    const uint8_t alpha[4] = {10, 11, 239, 240};
    memcpy(source->GetAlpha(), alpha, 4);
    auto target = Make565(4, 1, 0, false);
    Fill(*target, 0);
    source->BlitRegion(target.get(), 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), 0);
    EXPECT_EQ(At(*target, 1, 0), pixel::Blend565(0, 0xFFFF, 11));
    EXPECT_EQ(At(*target, 2, 0), pixel::Blend565(0, 0xFFFF, 239));
    EXPECT_EQ(At(*target, 3, 0), 0xFFFF);

    // White tint is the plain region blit; a positive offset never overshoots the tint.
    std::mt19937 rng(11);
    auto a = Make565(16, 16);
    FillRandom(*a, rng);
    auto plain = Make565(16, 16), tinted = Make565(16, 16);
    FillRandom(*plain, rng);
    memcpy(tinted->GetPixels(), plain->GetPixels(), 16 * 16 * 2);
    a->BlitRegion(plain.get(), 1, 2, 12, 12, 2, 1, -30);
    a->BlitRegionTinted(tinted.get(), 255, 255, 255, 1, 2, 12, 12, 2, 1, -30);
    EXPECT_EQ(Checksum(*plain), Checksum(*tinted));
    Fill(*target, 0);
    memset(source->GetAlpha(), 200, 4);
    source->BlitRegionTinted(target.get(), 255, 0, 255, 0, 0, 0, 0, 0, 0, 200);
    EXPECT_EQ(At(*target, 0, 0), pixel::Blend565(0, pixel::Format565::Make(30, 0, 30), 255));
}

TEST(BlitRegion, AdditiveSaturatesEachChannel)
{
    auto source = Make565(2, 1);
    At(*source, 0, 0) = pixel::Format565::Make(20, 10, 0);
    At(*source, 1, 0) = pixel::Format565::Make(20, 10, 0);
    source->GetAlpha()[0] = 255;
    source->GetAlpha()[1] = 128;
    auto target = Make565(2, 1, 0, false);
    Fill(*target, pixel::Format565::Make(20, 60, 3));
    source->BlitRegionAdditive(target.get(), 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), pixel::Format565::Make(31, 63, 3));
    EXPECT_EQ(At(*target, 1, 0), pixel::Format565::Make(30, 63, 3));
}

TEST(Mask, PaintsAndAddsThroughThePlane)
{
    auto source = Make565(2, 1);
    source->GetAlpha()[0] = 255;
    source->GetAlpha()[1] = 0;
    auto target = Make565(2, 1, 0, false);
    Fill(*target, pixel::Format565::Make(20, 33, 7));
    source->DrawMaskAdditive(target.get(), 255, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), pixel::Format565::Make(31, 32, 7));
    EXPECT_EQ(At(*target, 1, 0), pixel::Format565::Make(20, 33, 7));
    // A large positive offset is full strength, not more.
    Fill(*target, 0);
    source->DrawMaskAdditive(target.get(), 0, 0, 128, 0, 0, 0, 0, 0, 400);
    EXPECT_EQ(At(*target, 0, 0), pixel::Format565::Make(0, 0, 15));

    Fill(*target, 0);
    source->GetAlpha()[1] = 100;
    source->DrawMask(target.get(), 255, 255, 255, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*target, 0, 0), 0xFFFF);
    EXPECT_EQ(At(*target, 1, 0), pixel::Blend565(0, 0xFFFF, 100));
}

TEST(CopyTo, ClipsAndKeepsTheFourthByte)
{
    auto source = Make565(4, 4, 0, false);
    for (int i = 0; i < 16; ++i)
        source->GetPixels()[i] = uint16_t(i + 1);
    auto target = Make565(3, 3, 0, false);
    Fill(*target, 0);
    source->CopyTo(target.get(), -1, -2, 10, 0);
    EXPECT_EQ(At(*target, 0, 0), 10);
    EXPECT_EQ(At(*target, 2, 1), 16);
    EXPECT_EQ(At(*target, 0, 2), 0);
    source->CopyAlphaTo(target.get(), 0, 0, 0, 0);  // no plane: nothing

    Surface a(nullptr, FormatProperties(4)), b(nullptr, FormatProperties(4));
    ASSERT_TRUE(a.Create(1, 1));
    ASSERT_TRUE(b.Create(1, 1));
    const uint8_t px[4] = {1, 2, 3, 4};
    memcpy(a.GetPixelBytes(), px, 4);
    b.GetPixelBytes()[3] = 99;
    a.CopyTo(&b, 0, 0, 0, 0);
    EXPECT_EQ(b.GetPixelBytes()[2], 3);
    EXPECT_EQ(b.GetPixelBytes()[3], 99);
    a.CopyAlphaTo(&b, 0, 0, 0, 0);
    EXPECT_EQ(b.GetPixelBytes()[3], 4);
}

TEST(Lines, HalfOpenRunsClampedToTheSurface)
{
    auto s = Make565(8, 4, 0, false);
    Fill(*s, 0);
    s->DrawHLine(5, 5, 1, 255, 255, 255, 255);
    EXPECT_EQ(At(*s, 5, 1), 0);
    s->DrawHLine(-3, 4, 1, 255, 255, 255, 255);
    EXPECT_EQ(At(*s, 0, 1), 0xFFFF);
    EXPECT_EQ(At(*s, 3, 1), 0xFFFF);
    EXPECT_EQ(At(*s, 4, 1), 0);
    s->DrawVLine(7, -10, 10, 0, 0, 255, 128);
    EXPECT_EQ(At(*s, 7, 3), pixel::Blend565(0, 0x001F, 128));
    s->DrawHLine(0, 8, 4, 255, 255, 255, 255);  // row outside: nothing
    s->DrawHLine(0, 8, 0, 255, 255, 255, -5);   // negative alpha: nothing
    EXPECT_EQ(At(*s, 0, 0), 0);

    Fill(*s, 0);
    s->DrawRect(1, 1, 0, 2, 255, 255, 255);
    s->DrawRect(1, 1, 3, -2, 255, 255, 255);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(s->GetPixels()[i], 0);
    s->DrawRect(1, 1, 3, 3, 255, 255, 255);
    EXPECT_EQ(At(*s, 1, 1), 0xFFFF);
    EXPECT_EQ(At(*s, 3, 3), 0xFFFF);
    EXPECT_EQ(At(*s, 2, 2), 0);
    EXPECT_EQ(At(*s, 4, 1), 0);
}

TEST(Fill, MapsThroughOrientationAndBlends)
{
    auto s = Make565(240, 320, 1, false);
    Fill(*s, 0);
    s->FillRect(0, 0, 10, 10, 255, 255, 255);
    int filled = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            if (At(*s, x, y)) {
                ++filled;
                ASSERT_LT(x, 10);
                ASSERT_GE(y, 310);
            }
    EXPECT_EQ(filled, 100);

    auto a = Make565(9, 7, 0, false), b = Make565(9, 7, 0, false);
    Fill(*a, 0x1234);
    Fill(*b, 0x1234);
    FillRectRotatedBlend(nullptr, a.get(), 1, 1, 5, 5, 10, 200, 30, 255);
    b->FillRect(1, 1, 5, 5, 10, 200, 30);
    EXPECT_EQ(Checksum(*a), Checksum(*b));
    FillRectRotatedBlend(nullptr, a.get(), -2, -2, 50, 50, 0, 0, 0, -1);
    EXPECT_EQ(Checksum(*a), Checksum(*b));
    FillRectRotatedBlend(nullptr, a.get(), -2, -2, 50, 50, 0, 0, 0, 64);
    EXPECT_EQ(At(*a, 0, 0), pixel::Blend565(0x1234, 0, 64));
    FillRectRotatedAdditive(nullptr, a.get(), 0, 0, 1, 1, 255, 8, 0);
    EXPECT_EQ(Red(At(*a, 0, 0)), 31);
    EXPECT_EQ(Green(At(*a, 0, 0)), Green(pixel::Blend565(0x1234, 0, 64)) + 2);
}

// Positions and sizes at the ends of the int range lie off the surface or cover it; none may
// overflow on the way through the orientation mapping.
TEST(Drawing, ExtremeCoordinatesInEveryOrientation)
{
    const int far[] = {INT_MIN, INT_MIN + 1, -(1 << 30), 1 << 30, INT_MAX - 1, INT_MAX};
    for (int orientation : {0, 1, 2}) {
        SCOPED_TRACE(orientation);
        // The logical 6 x 4 picture numbered y * 16 + x + 1.
        auto source = Make565(orientation ? 4 : 6, orientation ? 6 : 4, orientation);
        for (int i = 0; i < 24; ++i) {
            int x = i % 6, y = i / 6;
            int rx = orientation == 1 ? y : orientation == 2 ? 3 - y : x;
            int ry = orientation == 1 ? 5 - x : orientation == 2 ? x : y;
            At(*source, rx, ry) = uint16_t(y * 16 + x + 1);
        }
        ASSERT_EQ(Logical(*source, 5, 3), 3 * 16 + 5 + 1);
        auto target = Make565(orientation ? 10 : 12, orientation ? 12 : 10, orientation, false);
        Fill(*target, 0);
        for (int x : far)
            for (int y : far) {
                source->Blit(target.get(), x, y, 0, 0, 0);
                source->BlitAlpha(target.get(), x, y);
                source->DrawMask(target.get(), 255, 255, 255, x, y, 0, 0, 0, 0);
                source->DrawMaskAdditive(target.get(), 255, 255, 255, x, y, 0, 0, 0, 0);
                source->StretchBlit(target.get(), x, y, 0, 0, 0, 0, 0, 0, 0, 0);
                source->BlitRegion(target.get(), x, y, 0, 0, 0, 0, 0);
                source->BlitRegion(target.get(), 0, 0, 3, 3, x, y, 0);
                source->BlitRegionAdditive(target.get(), x, y, 3, 3, 0, 0, 0);
                source->BlitRegionTinted(target.get(), 255, 0, 0, 0, 0, 3, 3, x, y, 0);
                target->DrawRect(x, y, 3, 3, 255, 255, 255);
                target->DrawRect(x, y, INT_MAX, INT_MAX, 255, 255, 255);
                target->FillRect(x, y, 3, 3, 255, 255, 255);
            }
        for (int i = 0; i < 120; ++i)
            ASSERT_EQ(target->GetPixels()[i], 0);

        // An outline reaching far to the right and down shows only its left and top edges.
        target->DrawRect(0, 0, INT_MAX, INT_MAX, 255, 255, 255);
        for (int y = 0; y < target->GetHeight(); ++y)
            for (int x = 0; x < target->GetWidth(); ++x)
                ASSERT_EQ(Logical(*target, x, y), x == 0 || y == 0 ? 0xFFFF : 0) << x << "," << y;
        // A fill from up-left of the surface covers all of it.
        target->FillRect(-5, -5, INT_MAX, INT_MAX, 0, 0, 0);
        for (int i = 0; i < 120; ++i)
            ASSERT_EQ(target->GetPixels()[i], 0);
        // A region as large as can be, starting as far up-left in both surfaces, lays the whole
        // source at the origin.
        source->BlitRegion(target.get(), -5, -5, INT_MAX, INT_MAX, -5, -5, 0);
        for (int y = 0; y < target->GetHeight(); ++y)
            for (int x = 0; x < target->GetWidth(); ++x)
                ASSERT_EQ(Logical(*target, x, y), x < 6 && y < 4 ? Logical(*source, x, y) : 0) << x << "," << y;
    }
}

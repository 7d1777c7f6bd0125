#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/core/test_app.h"
#include "engine/graphics/colour_adjust.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface_turn.h"
#include "surface_test_support.h"

using namespace drawing_test;

namespace {

// A 5:6:5 source whose pixel value tells its raw position: column in the low byte, row above.
std::unique_ptr<Surface> Numbered(int w, int h, int orientation = 0)
{
    auto s = Make565(w, h, orientation, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            At(*s, x, y) = uint16_t(y << 8 | x);
    return s;
}

constexpr uint16_t kUntouched = 0xFFFF;

}  // namespace

TEST(StretchBlit, StepsSampleTheSourceAsTheRectangleSays)
{
    auto source = Numbered(10, 10);
    auto destination = Make565(40, 40);
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, 20, 20, 0, 0, 10, 10, 0, 0);
    // Step 128: each source column and row is read twice.
    EXPECT_EQ(At(*destination, 0, 0), 0x0000);
    EXPECT_EQ(At(*destination, 1, 0), 0x0000);
    EXPECT_EQ(At(*destination, 2, 0), 0x0001);
    EXPECT_EQ(At(*destination, 19, 19), 0x0909);
    EXPECT_EQ(At(*destination, 5, 3), 0x0102);
    EXPECT_EQ(At(*destination, 20, 0), kUntouched);
    EXPECT_EQ(At(*destination, 0, 20), kUntouched);

    // Shrinking by two reads every other column; sizes of 0 take the source's raw size.
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, 5, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*destination, 1, 0), 0x0002);
    EXPECT_EQ(At(*destination, 4, 9), 0x0908);
    EXPECT_EQ(At(*destination, 5, 0), kUntouched);
    EXPECT_EQ(At(*destination, 0, 10), kUntouched);

    // Columns clipped off the left still count towards the source position.
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), -4, 0, 20, 20, 0, 0, 10, 10, 0, 0);
    EXPECT_EQ(At(*destination, 0, 0), 0x0002);
    EXPECT_EQ(At(*destination, 15, 0), 0x0009);
    EXPECT_EQ(At(*destination, 16, 0), kUntouched);
}

TEST(StretchBlit, MirrorsWithinTheSourceRectangle)
{
    auto source = Numbered(10, 4);
    auto destination = Make565(20, 20);
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, 10, 4, 0, 0, 10, 4, kMirrorLeftRight, 0);
    EXPECT_EQ(At(*destination, 0, 0), 0x0009);
    EXPECT_EQ(At(*destination, 9, 2), 0x0200);

    // A source x other than 0 mirrors inside its own columns 3..7.
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, 5, 4, 3, 0, 5, 4, kMirrorLeftRight | kMirrorTopBottom, 0);
    EXPECT_EQ(At(*destination, 0, 0), 0x0307);
    EXPECT_EQ(At(*destination, 4, 0), 0x0303);
    EXPECT_EQ(At(*destination, 2, 3), 0x0005);
    EXPECT_EQ(At(*destination, 5, 0), kUntouched);
}

TEST(StretchBlit, NeverReadsOutsideTheSource)
{
    auto source = Numbered(10, 10);
    auto destination = Make565(20, 20);
    Fill(*destination, kUntouched);
    // Columns 8..11 and rows 8..11 asked for: only 8 and 9 exist.
    source->StretchBlit(destination.get(), 0, 0, 4, 4, 8, 8, 4, 4, 0, 0);
    EXPECT_EQ(At(*destination, 0, 0), 0x0808);
    EXPECT_EQ(At(*destination, 1, 1), 0x0909);
    EXPECT_EQ(At(*destination, 2, 0), kUntouched);
    EXPECT_EQ(At(*destination, 0, 2), kUntouched);

    // Mirrored, the missing columns come first.
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, 4, 1, 8, 0, 4, 1, kMirrorLeftRight, 0);
    EXPECT_EQ(At(*destination, 0, 0), kUntouched);
    EXPECT_EQ(At(*destination, 2, 0), 0x0009);
    EXPECT_EQ(At(*destination, 3, 0), 0x0008);

    // Negative sizes draw nothing.
    Fill(*destination, kUntouched);
    source->StretchBlit(destination.get(), 0, 0, -5, 4, 0, 0, 4, 4, 0, 0);
    source->StretchBlit(destination.get(), 0, 0, 5, 4, 0, 0, -4, 4, 0, 0);
    source->StretchBlit(destination.get(), 0, 0, 5, 4, 0, 0, 4, -4, 0, 0);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(destination->GetPixels()[i], kUntouched);
}

TEST(StretchBlit, AlphaRulesAndOffset)
{
    auto source = Make565(2, 1);
    At(*source, 0, 0) = pixel::Pack565(255, 255, 255);
    At(*source, 1, 0) = pixel::Pack565(255, 255, 255);
    source->GetAlpha()[0] = 0;
    source->GetAlpha()[1] = 128;
    auto destination = Make565(2, 1);
    const uint16_t grey = pixel::Format565::Make(8, 16, 8);
    Fill(*destination, grey);
    source->StretchBlit(destination.get(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(*destination, 0, 0), grey);
    // ((31 * 128) >> 8) - ((8 * 128) >> 8) + 8 = 19, green (63 * 128 >> 8) - 8 + 16 = 39.
    EXPECT_EQ(At(*destination, 1, 0), pixel::Format565::Make(19, 39, 19));

    Fill(*destination, grey);
    source->StretchBlit(destination.get(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 127);
    EXPECT_EQ(At(*destination, 0, 0), grey);  // alpha 0 stays hidden whatever the offset
    EXPECT_EQ(At(*destination, 1, 0), pixel::Pack565(255, 255, 255));
    Fill(*destination, grey);
    source->StretchBlit(destination.get(), 0, 0, 0, 0, 0, 0, 0, 0, 0, -128);
    EXPECT_EQ(At(*destination, 1, 0), grey);
}

TEST(StretchBlit, TurnedSurfacesPlaceAndMirrorLikeBlit)
{
    std::mt19937 rng(7);
    for (int orientation = 0; orientation < 3; ++orientation) {
        for (int flags = 0; flags < 4; ++flags) {
            auto source = Make565(6, 9, orientation);
            FillRandom(*source, rng);
            // The two mix half-transparent pixels by different rules; compare placement only.
            for (int i = 0; i < 54; ++i)
                source->GetAlpha()[i] = source->GetAlpha()[i] & 1 ? 255 : 0;
            auto viaBlit = Make565(30, 30, orientation);
            auto viaStretch = Make565(30, 30, orientation);
            Fill(*viaBlit, 0x1234);
            Fill(*viaStretch, 0x1234);
            source->Blit(viaBlit.get(), 5, 7, 0, 0, flags);
            source->StretchBlit(viaStretch.get(), 5, 7, 0, 0, 0, 0, 0, 0, flags, 0);
            EXPECT_EQ(Checksum(*viaBlit), Checksum(*viaStretch)) << orientation << " " << flags;
        }
    }
}

TEST(StretchBlit, ByteFormatsKeepTheFourthByte)
{
    Surface source(nullptr, FormatProperties(4));
    source.Create(2, 1);
    uint8_t* s = source.GetPixelBytes();
    const uint8_t pixels[] = {10, 20, 30, 255, 40, 50, 60, 0};
    memcpy(s, pixels, 8);
    Surface destination(nullptr, FormatProperties(4));
    destination.Create(4, 1);
    memset(destination.GetPixelBytes(), 7, 16);
    source.StretchBlit(&destination, 0, 0, 4, 1, 0, 0, 2, 1, 0, 0);
    const uint8_t* d = destination.GetPixelBytes();
    const uint8_t expected[] = {10, 20, 30, 7, 10, 20, 30, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    EXPECT_EQ(memcmp(d, expected, 16), 0);

}

TEST(ColourAdjust, HslConversions)
{
    int h, s, l, r, g, b;
    RgbToHsl(255, 0, 0, h, s, l);
    EXPECT_EQ(h, 0);  // a full turn folds back to red
    EXPECT_EQ(s, 255);
    EXPECT_EQ(l, 127);
    HslToRgb(0, 255, 127, r, g, b);
    EXPECT_EQ(r, 254);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    HslToRgb(255, 200, 100, r, g, b);
    EXPECT_EQ(r, 100);
    EXPECT_EQ(g, 100);
    EXPECT_EQ(b, 100);
    RgbToHsl(0, 0, 0, h, s, l);
    EXPECT_EQ(h + s + l, 0);
    RgbToHsl(128, 128, 128, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 128);
    // Out-of-range saturation and luminance are clamped, not wrapped.
    HslToRgb(0, 100000, 100000, r, g, b);
    EXPECT_EQ(r, 255);
    HslToRgb(0, 0, -100000, r, g, b);
    EXPECT_EQ(r + g + b, 0);
}

TEST(ColourAdjust, AdjustHslKeepsRedsAndWrapsHue)
{
    auto surface = Make565(3, 1);
    At(*surface, 0, 0) = pixel::Pack565(255, 0, 0);
    At(*surface, 1, 0) = pixel::Pack565(255, 40, 40);  // green equals blue below red
    At(*surface, 2, 0) = pixel::Pack565(0, 255, 0);
    surface->AdjustHsl(0, 0, 0);
    // Still red, not the grey the full-turn hue would give.
    for (int x = 0; x < 2; ++x) {
        uint16_t p = At(*surface, x, 0);
        EXPECT_GE(Red(p), 30) << x;
        EXPECT_LE(Green(p), 11) << x;
        EXPECT_LE(Blue(p), 6) << x;
    }
    EXPECT_EQ(Red(At(*surface, 2, 0)), 0);
    EXPECT_GE(Green(At(*surface, 2, 0)), 62);

    // A third of a turn backwards from red wraps upward to blue.
    At(*surface, 0, 0) = pixel::Pack565(255, 0, 0);
    surface->AdjustHsl(-85, 0, 0);
    EXPECT_EQ(Red(At(*surface, 0, 0)), 0);
    EXPECT_GE(Blue(At(*surface, 0, 0)), 30);
    // Whole turns, either way, are no turn at all.
    std::mt19937 rng(11);
    auto reference = Make565(8, 8);
    FillRandom(*reference, rng);
    auto forward = Make565(8, 8), backward = Make565(8, 8);
    memcpy(forward->GetPixels(), reference->GetPixels(), 128);
    memcpy(backward->GetPixels(), reference->GetPixels(), 128);
    reference->AdjustHsl(0, 0, 0);
    forward->AdjustHsl(255 * 3, 0, 0);
    backward->AdjustHsl(-255 * 2, 0, 0);
    EXPECT_EQ(Checksum(*forward), Checksum(*reference));
    EXPECT_EQ(Checksum(*backward), Checksum(*reference));

    // 24-bit pixels are B, G, R bytes; 32-bit surfaces are left alone.
    Surface wide(nullptr, FormatProperties(3));
    wide.Create(1, 1);
    uint8_t* p = wide.GetPixelBytes();
    p[0] = 0;
    p[1] = 0;
    p[2] = 255;
    wide.AdjustHsl(85, 0, 0);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[1], 254);
    Surface deep(nullptr, FormatProperties(4));
    deep.Create(1, 1);
    memset(deep.GetPixelBytes(), 0x40, 4);
    deep.AdjustHsl(100, 100, 100);
    EXPECT_EQ(deep.GetPixelBytes()[0], 0x40);
}

TEST(ColourAdjust, Brighten)
{
    std::mt19937 rng(3);
    auto surface = Make565(16, 16);
    FillRandom(*surface, rng);
    uint64_t before = Checksum(*surface);
    surface->Brighten(0);
    EXPECT_EQ(Checksum(*surface), before);

    At(*surface, 0, 0) = pixel::Format565::Make(10, 40, 20);
    surface->Brighten(128);
    // Widened: red 80 + 40 = 120 packs as 15, green 160 + 80 = 240 as 60, blue 160 + 80 as 30.
    EXPECT_EQ(At(*surface, 0, 0), pixel::Format565::Make(15, 60, 30));

    Surface nibbles(nullptr, FormatProperties(0));
    nibbles.Create(1, 1);
    nibbles.GetPixels()[0] = 0x0F84;
    nibbles.Brighten(256);
    EXPECT_EQ(nibbles.GetPixels()[0], 0x0FF8);  // 240 doubled clamps at 255 and packs as 0xF

}

TEST(ColourAdjust, BrightenOnTheScreenSurface)
{
    TestApp app;
    app.SetUpArea(8, 4);
    Surface* screen = app.GetScreenSurface();
    ASSERT_NE(screen, nullptr);
    Fill(*screen, pixel::Format565::Make(20, 33, 1));
    screen->Brighten(INT32_MAX);  // a huge amount saturates instead of overflowing
    EXPECT_EQ(screen->GetPixels()[31], pixel::Format565::Make(31, 63, 31));
    Fill(*screen, pixel::Format565::Make(20, 33, 1));
    screen->Brighten(64);
    EXPECT_EQ(screen->GetPixels()[0], pixel::Format565::Make(25, 41, 1));
}

namespace {

class CountingSurface : public Surface {
public:
    using Surface::Surface;
    bool ReturnTrue() override
    {
        ++notices;
        return true;
    }
    int notices = 0;
};

class TurnApp : public TestApp {
public:
    void SetDrawTarget(Surface* surface) { drawTarget_ = surface; }
};

}  // namespace

TEST(SurfaceTurn, ReversesPixelsAndOwnAlpha)
{
    CountingSurface surface(nullptr);
    surface.SetOrientation(1);
    surface.Create(3, 2);
    for (int i = 0; i < 6; ++i) {
        surface.GetPixels()[i] = uint16_t(i);
        surface.GetAlpha()[i] = uint8_t(10 * i);
    }
    TurnSurface180(&surface, 2);
    EXPECT_EQ(surface.GetOrientation(), 2);
    EXPECT_EQ(surface.notices, 1);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(surface.GetPixels()[i], 5 - i);
        EXPECT_EQ(surface.GetAlpha()[i], 10 * (5 - i));
    }
    TurnSurface180(&surface, 2);  // already there
    EXPECT_EQ(surface.notices, 1);

    CountingSurface upright(nullptr);
    upright.Create(2, 1);
    upright.GetPixels()[0] = 1;
    TurnSurface180(&upright, 2);
    EXPECT_EQ(upright.GetOrientation(), 0);
    EXPECT_EQ(upright.GetPixels()[0], 1);
    EXPECT_EQ(upright.notices, 0);

    // A shared plane belongs to someone else and stays.
    uint8_t shared[6] = {1, 2, 3, 4, 5, 6};
    auto withShared = Make565(3, 2, 1);
    withShared->SetAlpha(shared);
    TurnSurface180(withShared.get(), 2);
    EXPECT_EQ(shared[0], 1);
    EXPECT_EQ(shared[5], 6);

    // 32-bit pixels turn whole, their alpha byte with them.
    Surface deep(nullptr, FormatProperties(4));
    deep.SetOrientation(2);
    deep.Create(2, 1);
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    memcpy(deep.GetPixelBytes(), bytes, 8);
    TurnSurface180(&deep, 1);
    const uint8_t turned[] = {5, 6, 7, 8, 1, 2, 3, 4};
    EXPECT_EQ(memcmp(deep.GetPixelBytes(), turned, 8), 0);
}

TEST(SurfaceTurn, SwitchScreenRotationTurnsEachSurfaceOnce)
{
    TurnApp app;
    app.SetUpArea(4, 6, 1);
    app.SetImageListEnabled(true);
    Surface* image = app.CreateImage();
    Surface* sheet = app.CreateImage();
    Surface* target = app.CreateImage();
    ASSERT_TRUE(image && sheet && target);
    image->Create(2, 2);
    sheet->SetOrientation(0);
    sheet->Create(2, 1);
    target->Create(1, 2);
    app.SetDrawTarget(target);  // also in the image list, still turned once
    Surface* screen = app.GetScreenSurface();
    for (Surface* s : {screen, image, target})
        for (int i = 0; i < s->GetRawWidth() * s->GetRawHeight(); ++i)
            s->GetPixels()[i] = uint16_t(i + 1);
    sheet->GetPixels()[0] = 1;

    SwitchScreenRotation(&app, 2);
    EXPECT_EQ(app.GetRotation(), 2);
    EXPECT_EQ(screen->GetOrientation(), 2);
    EXPECT_EQ(screen->GetPixels()[0], 24);
    EXPECT_EQ(image->GetPixels()[0], 4);
    EXPECT_EQ(target->GetPixels()[0], 2);
    EXPECT_EQ(sheet->GetPixels()[0], 1);
    EXPECT_EQ(sheet->GetOrientation(), 0);

    SwitchScreenRotation(&app, 2);
    EXPECT_EQ(screen->GetPixels()[0], 24);
    // Only half turns: a quarter turn cannot be done by reversing pixels.
    SwitchScreenRotation(&app, 0);
    EXPECT_EQ(app.GetRotation(), 2);
    SwitchScreenRotation(&app, 1);
    EXPECT_EQ(screen->GetPixels()[0], 1);
    EXPECT_EQ(image->GetOrientation(), 1);
    SwitchScreenRotation(nullptr, 2);
    delete image;
    delete sheet;
    delete target;

    TurnApp flat;
    flat.SetUpArea(4, 6, 0);
    flat.GetScreenSurface()->GetPixels()[0] = 9;
    SwitchScreenRotation(&flat, 2);
    EXPECT_EQ(flat.GetRotation(), 0);
    EXPECT_EQ(flat.GetScreenSurface()->GetPixels()[0], 9);
}

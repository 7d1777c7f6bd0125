#include "game/app/game_helpers.h"

#include <gtest/gtest.h>

#include "engine/core/options_record.h"
#include "engine/graphics/surface.h"
#include "screen_test_app.h"

namespace {

TEST(GameHelpers, NumbersAndClockTexts)
{
    EXPECT_STREQ(FormatWithCommas(0).CStr(), "0");
    EXPECT_STREQ(FormatWithCommas(999).CStr(), "999");
    EXPECT_STREQ(FormatWithCommas(1000).CStr(), "1,000");
    EXPECT_STREQ(FormatWithCommas(100000).CStr(), "100,000");
    EXPECT_STREQ(FormatWithCommas(1234567).CStr(), "1,234,567");
    EXPECT_STREQ(FormatWithCommas(-1234).CStr(), "-1,234");

    String text;
    const struct {
        int seconds;
        const char* text;
    } kTimes[] = {{0, "00:00"}, {59, "00:59"}, {60, "01:00"}, {3599, "59:59"},
                  {3600, "01:00:00"}, {3725, "01:02:05"}, {-1, "00:-1"}};
    for (const auto& time : kTimes) {
        FormatTime(text, time.seconds);
        EXPECT_STREQ(text.CStr(), time.text) << time.seconds;
    }
}

TEST(GameHelpers, ClipRectMovesEdgesWithoutShrinking)
{
    Rect out;
    EXPECT_TRUE(ClipRectTo(Rect{-5, 0, 20, 10}, Rect{0, 0, 100, 100}, out));
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.w, 20);
    EXPECT_FALSE(ClipRectTo(Rect{5, 5, 20, 10}, Rect{0, 0, 100, 100}, out));
    EXPECT_TRUE(ClipRectTo(Rect{90, 95, 20, 10}, Rect{0, 0, 100, 100}, out));
    EXPECT_EQ(out.w, 10);
    EXPECT_EQ(out.h, 5);
}

// A 4 x 4 source whose pixel (x, y) has red x * 8 and blue y * 8, blitted onto a black 16 x 16
// screen.
struct BlitFixture : ::testing::Test {
    BlitFixture() : source(&app), screen(&app)
    {
        source.Create(4, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                source.GetPixels()[y * 4 + x] = static_cast<uint16_t>((x << 11) | y);
        screen.Create(16, 16);
        screen.Clear(0, 0, 0);
    }
    uint16_t At(int x, int y) { return screen.GetPixels()[y * 16 + x]; }
    int Drawn()
    {
        int count = 0;
        for (int i = 0; i < 256; ++i)
            count += screen.GetPixels()[i] != 0;
        return count;
    }
    ScreenTestApp app;
    Surface source, screen;
};

TEST_F(BlitFixture, ClippedBlitTakesTheClippedPartOfTheRegion)
{
    // Inside the clip: drawn once, in place; w = 0 takes the source's width.
    BlitRegionClipped(&screen, &source, 2, 3, 0, 2, 0, 1, 0, Rect{0, 0, 16, 16});
    EXPECT_EQ(Drawn(), 8);
    EXPECT_EQ(At(2, 3), 1);
    EXPECT_EQ(At(5, 4), (3 << 11) | 2);
    screen.Clear(0, 0, 0);
    // Clipped on the left by 2 with source position (1, 1): the part from source x 3 shows.
    BlitRegionClipped(&screen, &source, 3, 3, 3, 2, 1, 1, 0, Rect{5, 0, 11, 16});
    EXPECT_EQ(At(5, 3), (3 << 11) | 1);
    EXPECT_EQ(At(6, 3), 0);
    EXPECT_EQ(At(5, 4), (3 << 11) | 2);
    EXPECT_EQ(Drawn(), 2);
    screen.Clear(0, 0, 0);
    // A region the clip cuts away wholly draws nothing.
    BlitRegionClipped(&screen, &source, -10, 0, 4, 4, 0, 0, 0, Rect{0, 0, 16, 16});
    EXPECT_EQ(Drawn(), 0);
    BlitRegionAdditiveClipped(&screen, &source, 0, 20, 4, 4, 0, 0, 0, Rect{0, 0, 16, 16});
    EXPECT_EQ(Drawn(), 0);
}

TEST_F(BlitFixture, FlatAndTurnedTriangles)
{
    auto v = [](int x, int y) { return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y)); };
    FillTriangleBlended(&screen, v(1, 5), v(8, 5), v(12, 5), 255, 255, 255, 0);
    EXPECT_EQ(Drawn(), 0) << "all three on one row";
    // Counter-clockwise on the screen draws nothing.
    FillTriangleBlended(&screen, v(0, 0), v(0, 8), v(8, 0), 255, 255, 255, 0);
    EXPECT_EQ(Drawn(), 0);
    // Clockwise: rows 0..7, row y spans x 0 .. 8 - y (exclusive), 36 pixels in all.
    // Full strength still weighs red and blue by 255/256: 31 becomes 30.
    FillTriangleBlended(&screen, v(0, 0), v(8, 0), v(0, 8), 248, 252, 248, 0);
    const uint16_t white = (30 << 11) | (63 << 5) | 30;
    EXPECT_EQ(Drawn(), 36);
    EXPECT_EQ(At(7, 0), white);
    EXPECT_EQ(At(8, 0), 0);
    EXPECT_EQ(At(0, 7), white);
    EXPECT_EQ(At(1, 7), 0);
    // Half strength: red and blue halfway, green replaced.
    screen.Clear(0, 0, 0);
    FillTriangleBlended(&screen, v(0, -4), v(8, -4), v(0, 4), 248, 0, 248, -128);
    EXPECT_EQ(At(0, 0), (15 << 11) | 15) << "rows above the top are stepped, not drawn";
    EXPECT_EQ(At(4, 0), 0);
    EXPECT_EQ(At(3, 0), (15 << 11) | 15);
    FillTriangleBlended(&screen, v(0, 10), v(8, 10), v(0, 14), 248, 0, 248, -255);
    EXPECT_EQ(At(0, 10), 0) << "alpha -255 draws nothing";
}

TEST(GameAppInput, KeysFollowTheWayTheDeviceIsHeld)
{
    ScreenTestApp app;
    const int keys[4] = {'2', '4', '6', '8'};
    const int expected[3][4] = {{3, 1, 2, 4}, {2, 3, 4, 1}, {1, 4, 3, 2}};
    for (int orientation = 0; orientation < 3; ++orientation) {
        app.SetRotation(orientation);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(app.MapKey(keys[i]), expected[orientation][i]) << orientation << " " << keys[i];
        EXPECT_EQ(app.MapKey('5'), 5);
        EXPECT_EQ(app.MapKey(' '), 5);
        EXPECT_EQ(app.MapKey('7'), 0);
    }
    app.GetOptions()->keyCodes[4] = '8';
    EXPECT_EQ(app.MapKey('8'), 4) << "the player's own key wins";
    app.SetRotation(3);
    EXPECT_EQ(app.MapKey('2'), 0);
    EXPECT_EQ(app.MapKey(' '), 5);
}

TEST(GameAppInput, CharactersWithoutNameEntryAreIgnored)
{
    ScreenTestApp app;
    app.roots[kSlotStartMenu] = "root_plain";
    EXPECT_FALSE(app.OnChar('a'));
    ASSERT_TRUE(app.ShowScreen(kSlotStartMenu).ok());
    EXPECT_FALSE(app.OnChar('a'));
}

TEST(GameAppInput, RotationIsRememberedOnlyWhenAutomatic)
{
    ScreenTestApp app;
    app.SetRotation(1);
    app.GetOptions()->rotation = 0;
    app.OnRotationChanged(2);
    EXPECT_EQ(app.GetRotation(), 1);
    app.GetOptions()->rotation = -2;
    app.OnRotationChanged(0);
    EXPECT_EQ(app.GetRotation(), 1);
    EXPECT_EQ(app.Profiles().autoOrientation, 1);
}

}  // namespace

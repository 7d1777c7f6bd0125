#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

#include "engine/core/device_info.h"
#include "engine/graphics/surface_helpers.h"
#include "platform/device.h"
#include "support/sprite_app.h"
#include "surface_test_support.h"

using drawing_test::Logical;

TEST(AngleDegreesTest, AxesDiagonalsAndOctants)
{
    EXPECT_EQ(AngleDegrees(1, 0), 360);
    EXPECT_EQ(AngleDegrees(0, 0), 270);
    EXPECT_EQ(AngleDegrees(0, 5), 90);
    EXPECT_EQ(AngleDegrees(0, -3), 270);
    EXPECT_EQ(AngleDegrees(-10, 0), 180);
    EXPECT_EQ(AngleDegrees(10, 10), 45);
    EXPECT_EQ(AngleDegrees(-10, 10), 135);
    EXPECT_EQ(AngleDegrees(-10, -10), 225);
    EXPECT_EQ(AngleDegrees(10, -10), 315);
    // Every octant stays within a few degrees of the true direction (y points down).
    for (int a = 3; a < 360; a += 7) {
        double r = a * M_PI / 180;
        int dx = int(std::lround(1000 * std::cos(r))), dy = int(std::lround(1000 * std::sin(r)));
        EXPECT_NEAR(AngleDegrees(dx, dy), a, 2) << a;
    }
    // Huge vectors do not overflow the table index.
    EXPECT_EQ(AngleDegrees(INT_MAX, INT_MAX), 45);
    EXPECT_EQ(AngleDegrees(INT_MIN, 0), 180);
}

TEST(SurfaceHelpersTest, PointInRectIncludesBothEdges)
{
    Rect r{0, 0, 10, 10};
    EXPECT_TRUE(PointInRect(10, 10, r));
    EXPECT_TRUE(PointInRect(0, 0, r));
    EXPECT_FALSE(PointInRect(11, 10, r));
    EXPECT_FALSE(PointInRect(5, -1, r));
    FixedRect f;
    f.Set(Fixed::FromInt(0), Fixed::FromInt(0), Fixed::FromInt(10), Fixed::FromInt(10));
    // 10.9 counts as 10.
    EXPECT_TRUE(FixedPointInRect(FixedVec2(Fixed::Raw(2799), Fixed::FromInt(3)), f));
    EXPECT_FALSE(FixedPointInRect(FixedVec2(Fixed::Raw(2816), Fixed::FromInt(3)), f));
    EXPECT_FALSE(FixedPointInRect(FixedVec2(Fixed::FromInt(3), Fixed::Raw(-1)), f));
}

TEST(SurfaceHelpersTest, StringAndOemTests)
{
    EXPECT_TRUE(StringContains("bc", "abcd"));
    EXPECT_TRUE(StringContains("abcd", "abcd"));
    EXPECT_FALSE(StringContains("abc", "ab"));
    EXPECT_FALSE(StringContains("x", nullptr));
    DeviceProfile saved = GetDeviceProfile();
    DeviceProfile profile = saved;
    profile.oemText = "Acme PocketPhone 3";
    SetDeviceProfile(profile);
    EXPECT_TRUE(OemInfoContains("PocketPhone"));
    EXPECT_FALSE(OemInfoContains("Tablet"));
    SetDeviceProfile(saved);
}

TEST(SurfaceHelpersTest, OrientedCreationAndCopies)
{
    SpriteApp app;
    std::unique_ptr<Surface> plain(CreateSurfaceSized(&app, 8, 4, false));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetRawWidth(), 8);
    EXPECT_EQ(plain->GetAlpha(), nullptr);
    std::unique_ptr<Surface> kept(CreateSurfaceSized(&app, 8, 4, true));
    EXPECT_NE(kept->GetAlpha(), nullptr);
    EXPECT_EQ(CreateSurfaceSized(nullptr, 8, 4, true), nullptr);
    EXPECT_EQ(CreateSurfaceSized(&app, -1, 4, true), nullptr);
    EXPECT_FALSE(CreateSurfaceOriented(&app, nullptr, 1, 1));

    for (int rotation : {0, 1, 2}) {
        app.SetRotation(rotation);
        std::unique_ptr<Surface> screen(CreateSurfaceSized(&app, 12, 8, true));
        std::unique_ptr<Surface> tile(CreateSurfaceSized(&app, 3, 2, true));
        ASSERT_EQ(screen->GetWidth(), 12) << rotation;
        EXPECT_EQ(screen->GetRawWidth(), rotation ? 8 : 12);
        drawing_test::Fill(*screen, 0);
        drawing_test::Fill(*tile, 0x1234);
        memset(tile->GetAlpha(), 77, 6);
        CopySurfaceOriented(&app, tile.get(), screen.get(), 5, 4, 0, 0);
        CopyAlphaOriented(&app, tile.get(), screen.get(), 5, 4, 0, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) {
                bool inside = x >= 5 && x < 8 && y >= 4 && y < 6;
                EXPECT_EQ(Logical(*screen, x, y), inside ? 0x1234 : 0) << rotation << " " << x << "," << y;
            }
        int alphaAt = 0;
        for (int i = 0; i < 96; ++i)
            alphaAt += screen->GetAlpha()[i] == 77;
        EXPECT_EQ(alphaAt, 6) << rotation;
    }
}

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "game/tables/layout_table.h"
#include "shipped_app.h"
#include "tests/engine/graphics/image_fixtures.h"

namespace {

// Alpha above this counts as the piece's own pixel.
constexpr int kCovered = 128;
// Cracks are antialiased and the masks are JPEG planes, so a pixel's alphas add up to full cover
// only within this much; a gap (sum near 0) or an overlap (sum near 510) lies far outside it.
constexpr int kSumSlack = 48;

struct Piece {
    std::unique_ptr<Surface> mask;
    int x = 0, y = 0;

    int AlphaAt(int screenX, int screenY) const
    {
        int u = screenX - x, v = screenY - y;
        if (u < 0 || v < 0 || u >= mask->GetWidth() || v >= mask->GetHeight())
            return 0;
        return mask->GetAlpha()[v * mask->GetWidth() + u];
    }
};

bool Partial(int alpha)
{
    return alpha > kSumSlack && alpha < 255 - kSumSlack;
}

// The four masks at their layout offsets break the screen into pieces that cover every pixel
// once. Rule per pixel: the alphas add up to 255 within the slack, and exactly one piece has alpha
// above 128, unless two pieces are both partial (an antialiased crack pixel, where rounding may
// leave none or two of them above the threshold).
TEST(QuakeMasks, CoverEveryScreenOnceAtTheLayoutOffsets)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        ShippedApp app(r.width, r.height);
        ASSERT_TRUE(app.PacksOpen());
        LayoutTable table;
        LayoutTable::FillInts(table, DisplayModeOf(r.width, r.height));
        Piece pieces[4];
        for (int i = 0; i < 4; ++i) {
            std::string path = std::string(app.GetImageFolder().CStr()) + "quake0" + std::to_string(i + 1) + "_a";
            pieces[i].mask.reset(LoadAlphaImage(&app, path.c_str(), nullptr).value);
            ASSERT_NE(pieces[i].mask, nullptr) << path;
            ASSERT_NE(pieces[i].mask->GetAlpha(), nullptr) << path;
            pieces[i].x = table.ints[kLayoutQuakeX + i];
            pieces[i].y = table.ints[kLayoutQuakeY + i];
        }
        int badSum = 0, badCount = 0, cracks = 0, owned[4] = {};
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                int sum = 0, covering = 0, partial = 0, owner = -1;
                for (int i = 0; i < 4; ++i) {
                    int a = pieces[i].AlphaAt(x, y);
                    sum += a;
                    partial += Partial(a);
                    if (a > kCovered) {
                        ++covering;
                        owner = i;
                    }
                }
                if (std::abs(sum - 255) > kSumSlack && badSum++ < 5)
                    ADD_FAILURE() << "alphas add up to " << sum << " at " << x << "," << y;
                if (partial >= 2)
                    ++cracks;
                else if (covering != 1 && badCount++ < 5)
                    ADD_FAILURE() << covering << " pieces cover " << x << "," << y;
                if (covering == 1)
                    ++owned[owner];
            }
        EXPECT_EQ(badSum, 0);
        EXPECT_EQ(badCount, 0);
        // Every piece carries a real share of the picture, and the cracks are thin lines, not
        // blurred areas where the rule above would let anything through.
        for (int i = 0; i < 4; ++i)
            EXPECT_GT(owned[i], r.width * r.height / 20) << "piece " << i + 1;
        EXPECT_LT(cracks, r.width * r.height / 25);

        // The pieces tinted apart, to be looked at: look/quake_<W>x<H>.png.
        static const int kTint[4][3] = {{214, 120, 90}, {110, 200, 120}, {100, 130, 220}, {220, 200, 90}};
        auto samples = fixtures::Fill(r.width, r.height, 3, [&](int x, int y, unsigned char* out) {
            int rgb[3] = {};
            for (int i = 0; i < 4; ++i)
                for (int c = 0; c < 3; ++c)
                    rgb[c] += kTint[i][c] * pieces[i].AlphaAt(x, y) / 255;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<unsigned char>(std::min(rgb[c], 255));
        });
        mkdir(KELO_LOOK_DIR, 0755);
        std::string png = std::string(KELO_LOOK_DIR) + "/quake_" + ShippedName(r) + ".png";
        EXPECT_TRUE(fixtures::WritePng(png, r.width, r.height, PNG_COLOR_TYPE_RGB, 8, samples)) << png;
    }
}

}  // namespace

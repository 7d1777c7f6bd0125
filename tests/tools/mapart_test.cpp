#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "support/sprite_app.h"
#include "tool_run.h"

namespace {

void Put(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

// One straight track along y = 240 (or the row given) from x = -110 to 790, three segments of 300;
// the middle one (x 190..490) runs through a tunnel.
std::string StraightCurve(bool cutShort = false, int y = 240)
{
    std::string out;
    Put(out, 1, 1);
    Put(out, 10, 2);
    for (int i = 0; i < 10; ++i) {
        Put(out, uint32_t(int32_t(-110 + i * 100)), 4);
        Put(out, uint32_t(y), 4);
    }
    out += std::string("\0\1\0", 3);
    if (!cutShort) {
        Put(out, 0, 4);
        Put(out, 0, 4);
    }
    return out;
}

const char* const kList =
    "map strip\n"
    "  ground flagstone #807060 #403830 #a08060\n"
    "  frog 320 100\n"
    "  overlay cover 100 160\n"
    "end\n"
    "map space\n"
    "  nebula\n"
    "end\n";

struct Staged {
    ToolScratch scratch;
    ToolRun Run(const std::string& folder, const std::string& list = kList, bool cutShort = false)
    {
        for (const char* variant : {"", "z_wide/", "z_square/"}) {
            std::filesystem::create_directories(scratch.Path(std::string("stage/z_levels/") + variant));
            scratch.Write(std::string("stage/z_levels/") + variant + "strip.pth", StraightCurve(cutShort));
        }
        return scratch.Run("mapart", "'" + scratch.Write("maps.txt", list) + "' '" + scratch.Path("stage") + "' " + folder);
    }
    std::unique_ptr<Surface> Image(SpriteApp& app, const std::string& folder, const std::string& below, bool alpha = false)
    {
        std::string path = hostpath::FromHost(scratch.Path("stage/" + folder + "/" + below));
        std::unique_ptr<Surface> surface(app.CreateImage());
        Surface* loaded = alpha ? LoadAlphaImage(&app, path.c_str(), surface.get()).value
                                : LoadImage(&app, path.c_str(), surface.get()).value;
        return std::unique_ptr<Surface>(loaded ? surface.release() : nullptr);
    }
};

int AlphaAt(const Surface& s, int x, int y)
{
    if (x < 0 || y < 0 || x >= s.GetWidth() || y >= s.GetHeight())
        return -1;
    return s.GetAlpha()[y * s.GetRawWidth() + x];
}

int Green(const Surface& s, int x, int y)
{
    return (s.GetPixels()[y * s.GetRawWidth() + x] >> 5) & 63;
}

}  // namespace

// At 640x480 the tunnel spans x 190..490 on y 240, and balls are drawn under the roof for
// 16.2 + 32 + 1 = 49.2 pixels beyond each mouth: the mask must be opaque from x 141 to 539 on the
// track and a ball radius to either side, and clear a roof's width off the track.
TEST(MapArtTool, OverlayMaskCoversTheTunnelAndItsMouthsAtTheOverlaysCorner)
{
    Staged staged;
    ToolRun run = staged.Run("i_VGA");
    ASSERT_EQ(run.status, 0) << run.output;
    SpriteApp app;
    auto level = staged.Image(app, "i_VGA", "levels\\strip\\strip");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->GetWidth(), 640);
    EXPECT_EQ(level->GetHeight(), 480);
    auto mask = staged.Image(app, "i_VGA", "levels\\strip\\cover_a", true);
    ASSERT_NE(mask, nullptr);
    ASSERT_NE(mask->GetAlpha(), nullptr);
    for (int x = 141; x <= 539; x += 2)
        for (int dy : {-15, 0, 15})
            ASSERT_GE(AlphaAt(*mask, x - 100, 240 + dy - 160), 200) << x << ", " << 240 + dy;
    EXPECT_LE(AlphaAt(*mask, 320 - 100, 240 - 45 - 160), 0);
    EXPECT_LE(AlphaAt(*mask, 320 - 100, 240 + 45 - 160), 0);
    // A ball centred at the stretch's end is hidden whole: its front too.
    for (int x = 141 - 15; x <= 539 + 15; ++x)
        ASSERT_GE(AlphaAt(*mask, x - 100, 240 - 160), 200) << x;
    // The roof ends soon after the stretch: the open track beyond shows.
    EXPECT_LE(AlphaAt(*mask, 539 + 60 - 100, 240 - 160), 0);
    // No mask where nothing is covered: it ends right after the roof.
    EXPECT_LT(mask->GetWidth(), 640 - 100);
    EXPECT_LT(mask->GetHeight(), 160);
}

// At 240x240 the design area sits 30 pixels down at scale 3/8: the corner (100, 160) lands at
// (37, 90) and the track's screen row is 240 * 3/8 + 30 = 120; the stretch is 12.15 + 12 + 1.
TEST(MapArtTool, SmallScreensPlaceTheMaskAtTheScaledCornerAndMeasureTheirOwnStretch)
{
    Staged staged;
    ToolRun run = staged.Run("i_240x240");
    ASSERT_EQ(run.status, 0) << run.output;
    SpriteApp app;
    auto mask = staged.Image(app, "i_240x240", "levels\\strip\\cover_a", true);
    ASSERT_NE(mask, nullptr);
    double from = 190 * 0.375 - 25.15, to = 490 * 0.375 + 25.15;
    for (int x = int(std::ceil(from)); x <= int(to); ++x)
        ASSERT_GE(AlphaAt(*mask, x - 37, 120 - 90), 200) << x;
    auto level = staged.Image(app, "i_240x240", "levels\\strip\\strip");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->GetWidth(), 240);
    auto thumb = staged.Image(app, "i_240x240", "thumbs\\strip");
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->GetWidth(), 114);
    EXPECT_EQ(thumb->GetHeight(), 73);
}

// The nebula is tiled both ways: its last column must run on into its first as smoothly as any
// two neighbouring columns do, and likewise its rows.
TEST(MapArtTool, NebulaTilesWithoutASeam)
{
    Staged staged;
    ASSERT_EQ(staged.Run("i_QVGA").status, 0);
    SpriteApp app;
    auto nebula = staged.Image(app, "i_QVGA", "nebula");
    ASSERT_NE(nebula, nullptr);
    int w = nebula->GetWidth(), h = nebula->GetHeight();
    ASSERT_EQ(w, 320);
    ASSERT_EQ(h, 240);
    auto step = [&](int x0, int y0, int x1, int y1, int n, bool columns) {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += columns ? std::abs(Green(*nebula, x0, i) - Green(*nebula, x1, i))
                           : std::abs(Green(*nebula, i, y0) - Green(*nebula, i, y1));
        (void)y1;
        return sum / n;
    };
    double inside = 0, rowsInside = 0;
    for (int x = 1; x < 6; ++x)
        inside += step(x, 0, x + 1, 0, h, true) / 5;
    for (int y = 1; y < 6; ++y)
        rowsInside += step(0, y, 0, y + 1, w, false) / 5;
    EXPECT_LT(step(w - 1, 0, 0, 0, h, true), 2 * inside + 1);
    EXPECT_LT(step(0, h - 1, 0, 0, w, false), 2 * rowsInside + 1);
    // And it is not a flat fill that would pass the above by having no detail.
    EXPECT_GT(inside, 0.2);
}

TEST(MapArtTool, RejectsABadListOrCurveFileNamingWhere)
{
    Staged staged;
    ToolRun run = staged.Run("i_VGA", "map strip\n  ground granite #807060 #403830 #a08060\nend\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("maps.txt:2:"), std::string::npos) << run.output;

    run = staged.Run("i_VGA", "map strip\n  ground flagstone #807060 #403830 #a08060\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("maps.txt:1: map strip has no 'end'"), std::string::npos) << run.output;

    run = staged.Run("i_VGA", kList, true);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("strip.pth: trailer missing"), std::string::npos) << run.output;

    run = staged.Run("i_SVGA");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("unknown image folder"), std::string::npos) << run.output;
}

// With the track sources beside it the tool takes each overlay's rectangle from there: a corner
// that differs from the map list's is refused, and each roof goes to the overlay whose rectangle
// holds it even where another's corner lies nearer and would hold it whole.
TEST(MapArtTool, TrackSourcesGiveTheOverlaysTheirRectangles)
{
    Staged staged;
    const std::string list = std::string(kList).replace(std::string(kList).find("end"), 3,
                                                         "  overlay ledge 100 170\nend");
    std::string levels = " --levels '" + staged.scratch.Path("levels") + "'";
    std::filesystem::create_directories(staged.scratch.Path("levels"));
    staged.scratch.Write("levels/strip.txt", "start -110 240 0\noverlay cover 100 161 480 160\n");
    ToolRun run = staged.Run("i_VGA" + levels, list);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("strip.txt:2: overlay cover is not one of map strip's overlays"), std::string::npos)
        << run.output;

    staged.scratch.Write("levels/strip.txt", "overlay cover 100 160 480 160\noverlay ledge 100 170 20 20\n");
    run = staged.Run("i_VGA" + levels, list);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("overlay ledge covers no tunnel"), std::string::npos) << run.output;
    SpriteApp app;
    auto cover = staged.Image(app, "i_VGA", "levels\\strip\\cover_a", true);
    ASSERT_NE(cover, nullptr);
    EXPECT_GE(AlphaAt(*cover, 320 - 100, 240 - 160), 200);

    // Without the rectangles the nearer corner takes the roof.
    run = staged.Run("i_VGA", list);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("overlay cover covers no tunnel"), std::string::npos) << run.output;
}

// Same sources, same bytes, however many threads paint.
TEST(MapArtTool, OutputDoesNotDependOnTheThreads)
{
    Staged one, many;
    ASSERT_EQ(one.Run("i_QVGA --jobs 1").status, 0);
    ASSERT_EQ(many.Run("i_QVGA --jobs 3").status, 0);
    for (const char* file : {"levels/strip/strip.jpg", "levels/strip/cover_a.jpg", "thumbs/strip.jpg",
                             "thumbs/space.jpg", "thumbs/random.jpg", "nebula.jpg"}) {
        std::string a = fixtures::ReadFile(one.scratch.Path(std::string("stage/i_QVGA/") + file));
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_EQ(a, fixtures::ReadFile(many.scratch.Path(std::string("stage/i_QVGA/") + file))) << file;
    }
}

// With its stamp the tool paints again only the maps whose sources changed since (a curve file,
// the map's entry in the list) or whose files are gone, and what it paints is what a full run
// paints; a tool newer than the stamp paints everything.
TEST(MapArtTool, AStampedRunPaintsAgainOnlyTheMapsWhoseSourcesChanged)
{
    namespace fs = std::filesystem;
    const std::string twin = "map twin\n  ground tiles #6e7a86 #3a424c #b0925a\n  frog 320 400\nend\n";
    const std::string twinLater = "map twin\n  ground tiles #6e7a86 #3a424c #c0a26a\n  frog 320 400\nend\n";
    Staged staged, fresh;
    auto run = [&](Staged& s, const std::string& list, int twinRow, const std::string& options) {
        for (const char* variant : {"", "z_wide/", "z_square/"}) {
            fs::create_directories(s.scratch.Path(std::string("stage/z_levels/") + variant));
            s.scratch.Write(std::string("stage/z_levels/") + variant + "twin.pth", StraightCurve(false, twinRow));
        }
        ToolRun r = s.Run("i_QVGA" + options, list);
        EXPECT_EQ(r.status, 0) << r.output;
    };
    const std::string stamp = " --stamp '" + staged.scratch.Path("maps.stamp") + "'";
    run(staged, kList + twin, 240, stamp);
    const auto before = fs::file_time_type::clock::now() - std::chrono::hours(1);
    auto age = [&](fs::file_time_type when) {
        for (const fs::directory_entry& file : fs::recursive_directory_iterator(staged.scratch.Path("stage/i_QVGA")))
            if (file.is_regular_file())
                fs::last_write_time(file.path(), when);
    };
    auto painted = [&](const char* file, fs::file_time_type since) {
        return fs::last_write_time(staged.scratch.Path(std::string("stage/i_QVGA/") + file)) != since;
    };
    const std::vector<const char*> stripAndSpace = {"levels/strip/strip.jpg", "levels/strip/cover_a.jpg",
                                                    "thumbs/strip.jpg", "thumbs/space.jpg", "nebula.jpg"};

    age(before);
    fs::remove(staged.scratch.Path("stage/i_QVGA/thumbs/random.jpg"));
    run(staged, kList + twin, 250, stamp);
    for (const char* file : {"levels/twin/twin.jpg", "thumbs/twin.jpg", "thumbs/random.jpg"})
        EXPECT_TRUE(painted(file, before)) << file;
    for (const char* file : stripAndSpace)
        EXPECT_FALSE(painted(file, before)) << file;

    age(before);
    run(staged, kList + twinLater, 250, stamp);
    EXPECT_TRUE(painted("levels/twin/twin.jpg", before));
    EXPECT_FALSE(painted("levels/strip/strip.jpg", before));
    EXPECT_FALSE(painted("thumbs/random.jpg", before));

    run(fresh, kList + twinLater, 250, "");
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(fresh.scratch.Path("stage/i_QVGA"))) {
        std::string below = fs::relative(file.path(), fresh.scratch.Path("stage")).string();
        if (file.is_regular_file()) {
            EXPECT_EQ(fixtures::ReadFile(file.path().string()), fixtures::ReadFile(staged.scratch.Path("stage/" + below)))
                << below;
        }
    }

    const auto ancient = before - std::chrono::hours(24 * 365 * 10);
    age(ancient);
    fs::last_write_time(staged.scratch.Path("maps.stamp"), ancient + std::chrono::hours(1));
    run(staged, kList + twinLater, 250, stamp);
    for (const char* file : stripAndSpace)
        EXPECT_TRUE(painted(file, ancient)) << file;
}

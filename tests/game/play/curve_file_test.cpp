#include "game/play/curve_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "support/host_file.h"
#include "tests/game/play/board_app.h"

namespace {

// Runs the curve writer on a text description and returns the file's bytes.
std::vector<uint8_t> WriteCurves(BoardApp& app, const std::string& text)
{
    std::string source = app.Host("curves.txt"), target = app.Host("curves.pth");
    std::ofstream(source) << text;
    std::string command = std::string(KELO_TOOLS_DIR) + "/curvewriter '" + source + "' '" + target + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return ReadHostFile(target);
}

std::string Points(int n, int y = 100)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "p " + std::to_string(i * 30) + " " + std::to_string(y) + "\n";
    return text;
}

struct Loaded {
    bool ok = false;
    int count = 0;
};

Loaded Read(BoardApp&, CurvePath* curves, const std::vector<uint8_t>& bytes, int mode = 5, int width = 640)
{
    PackMemoryFile file;
    void* block = Alloc(bytes.size() + 1);
    if (!bytes.empty())
        std::memcpy(block, bytes.data(), bytes.size());
    file.SetBuffer(block, static_cast<int32_t>(bytes.size()));
    DesignMapping mapping{mode, width, 480};
    Loaded result;
    result.count = -1;
    result.ok = ReadCurves(&file, mapping, curves, result.count);
    return result;
}

class CurveFiles : public ::testing::Test {
protected:
    CurveFiles()
    {
        for (CurvePath& curve : curves)
            curve.Bind(&app);
    }
    BoardApp app;
    CurvePath curves[2];
};

}  // namespace

TEST_F(CurveFiles, PointCountsGiveWholeSegments)
{
    struct Case {
        int points, segments;
    } cases[] = {{4, 1}, {5, 1}, {6, 1}, {7, 2}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = WriteCurves(app, "curve\n" + Points(c.points) + "t 1\n");
        ASSERT_FALSE(bytes.empty());
        // count, point count, the points, one tunnel byte per segment, two trailer words.
        ASSERT_EQ(bytes.size(), size_t(1 + 2 + 8 * c.points + c.segments + 8)) << c.points;
        Loaded loaded = Read(app, curves, bytes);
        ASSERT_TRUE(loaded.ok) << c.points;
        EXPECT_EQ(loaded.count, 1);
        EXPECT_EQ(curves[0].GetSegmentCount(), c.segments);
        EXPECT_EQ(curves[0].Segment(0).tunnel, 1);
        EXPECT_EQ(curves[0].Length(), Fixed::FromInt(90 * c.segments)) << c.points;
        EXPECT_GT(curves[0].GetTableCount(), 0);
    }
}

TEST_F(CurveFiles, TwoCurvesAndTheirTunnels)
{
    std::vector<uint8_t> bytes = WriteCurves(app, "curve\n" + Points(7) + "t 0 3\ncurve\n" + Points(4, 200));
    Loaded loaded = Read(app, curves, bytes);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.count, 2);
    EXPECT_EQ(curves[0].Segment(0).tunnel, 0);
    EXPECT_EQ(curves[0].Segment(1).tunnel, 1);
    EXPECT_EQ(curves[1].GetSegmentCount(), 1);
    EXPECT_EQ(curves[1].PointAt(Fixed(), nullptr, nullptr).y, Fixed::FromInt(200));
}

TEST_F(CurveFiles, ShortOrOutOfRangeFilesFail)
{
    std::vector<uint8_t> good = WriteCurves(app, "curve\n" + Points(4));
    ASSERT_TRUE(Read(app, curves, good).ok);
    // Every cut short of the last trailer byte fails, the tunnel byte and the trailer included.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(Read(app, curves, cut).ok) << n;
    }
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> out = good;
        for (size_t i = 0; i < bytes.size(); ++i)
            out[at + i] = bytes[i];
        return out;
    };
    EXPECT_FALSE(Read(app, curves, patched(0, {0})).ok);
    EXPECT_FALSE(Read(app, curves, patched(0, {3})).ok);
    EXPECT_FALSE(Read(app, curves, patched(1, {3, 0})).ok);
    // x of the first point: 16384 is allowed, 16385 and -16385 are not.
    EXPECT_TRUE(Read(app, curves, patched(3, {0x00, 0x40, 0, 0})).ok);
    EXPECT_FALSE(Read(app, curves, patched(3, {0x01, 0x40, 0, 0})).ok);
    EXPECT_FALSE(Read(app, curves, patched(3, {0xFF, 0xBF, 0xFF, 0xFF})).ok);
    // 602 points would make 200 full segments and one more.
    EXPECT_FALSE(Read(app, curves, patched(1, {0x5A, 0x02})).ok);
}

TEST_F(CurveFiles, TracksLongerThanTheTableCanHoldFail)
{
    // Across the design range and 2380 px back is past the limit; the way across alone loads.
    std::string longOne = "curve\np -16380 0\np -5460 0\np 5460 0\np 16380 0\np 16000 0\np 15000 0\np 14000 0\n";
    EXPECT_FALSE(Read(app, curves, WriteCurves(app, longOne)).ok);
    std::string fits = "curve\np -16380 0\np -5460 0\np 5460 0\np 16380 0\n";
    Loaded loaded = Read(app, curves, WriteCurves(app, fits));
    ASSERT_TRUE(loaded.ok);
    EXPECT_GE(curves[0].Length(), Fixed::FromInt(32700));
}

TEST(CurveMapping, DesignPointsByDisplayMode)
{
    struct Case {
        int mode, width, height;
        float x, y;
    } cases[] = {
        {17, 800, 480, 80, 0}, {6, 240, 240, 0, 30}, {13, 320, 320, 0, 40},
        {2, 320, 240, 0, 0},   {15, 400, 240, 40, 0}, {5, 640, 480, 0, 0},
    };
    for (const Case& c : cases) {
        float x = 0, y = 0;
        MapDesignPoint({c.mode, c.width, c.height}, x, y);
        EXPECT_EQ(x, c.x) << c.mode;
        EXPECT_EQ(y, c.y) << c.mode;
    }
    float x = 640, y = 480;
    MapDesignPoint({6, 240, 240}, x, y);
    EXPECT_EQ(x, 240);
    EXPECT_EQ(y, 210);

    String folder("\\k\\z_levels\\");
    EXPECT_STREQ(CurveFilePath(folder, {17, 800, 480}, "a").CStr(), "\\k\\z_levels\\z_wide\\a.pth");
    EXPECT_STREQ(CurveFilePath(folder, {15, 400, 240}, "a").CStr(), "\\k\\z_levels\\z_wide\\a.pth");
    EXPECT_STREQ(CurveFilePath(folder, {2, 320, 240}, "a").CStr(), "\\k\\z_levels\\a.pth");
    EXPECT_STREQ(CurveFilePath(folder, {13, 320, 320}, "a").CStr(), "\\k\\z_levels\\z_square\\a.pth");
    EXPECT_STREQ(CurveFilePath(folder, {1, 240, 320}, "a").CStr(), "\\k\\z_levels\\z_square\\a.pth");
}

TEST_F(CurveFiles, LoadsThroughTheApplicationsLevelFolder)
{
    std::vector<uint8_t> bytes = WriteCurves(app, "curve\n" + Points(4));
    // Without a display the screen counts as square.
    std::system(("mkdir -p '" + app.Host("z_levels/z_square") + "'").c_str());
    ASSERT_TRUE(WriteHostFile(app.Host("z_levels/z_square/track.pth"), bytes));
    int count = 0;
    EXPECT_TRUE(LoadCurves(&app, "track", curves, count).ok());
    EXPECT_EQ(count, 1);
    // The failure names the file the mode asked for.
    LoadResult missing = LoadCurves(&app, "missing", curves, count);
    EXPECT_TRUE(missing.IsMissing());
    EXPECT_NE(strstr(missing.File(), "z_levels\\z_square\\missing.pth"), nullptr) << missing.File();
}

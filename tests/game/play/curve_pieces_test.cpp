// The curve writer's map sources: pieces joined into segments, the three screen variants, and the
// sources it refuses, read back through the game's own curve reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "game/play/curve_file.h"
#include "support/host_file.h"
#include "tests/game/play/board_app.h"

namespace {

struct Written {
    int status = -1;
    std::string error;
    std::vector<uint8_t> plain, wide, square;
};

Written Write(BoardApp& app, const std::string& text)
{
    std::string source = app.Host("map.txt");
    std::ofstream(source) << text;
    std::string out = app.Host("out");
    std::string command = std::string(KELO_TOOLS_DIR) + "/curvewriter '" + source + "' '" + out + "_p.pth' '" + out +
                          "_w.pth' '" + out + "_s.pth' 2> '" + out + ".err'";
    Written w;
    w.status = std::system(command.c_str());
    std::vector<uint8_t> err = ReadHostFile(out + ".err");
    w.error.assign(err.begin(), err.end());
    if (w.status == 0) {
        w.plain = ReadHostFile(out + "_p.pth");
        w.wide = ReadHostFile(out + "_w.pth");
        w.square = ReadHostFile(out + "_s.pth");
    }
    return w;
}

int32_t Word(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
}

bool ReadBack(const std::vector<uint8_t>& bytes, CurvePath* curves, int& count)
{
    PackMemoryFile file;
    void* block = Alloc(bytes.size());
    std::memcpy(block, bytes.data(), bytes.size());
    file.SetBuffer(block, static_cast<int32_t>(bytes.size()));
    return ReadCurves(&file, DesignMapping{5, 640, 480}, curves, count);
}

class CurvePieces : public ::testing::Test {
protected:
    CurvePieces()
    {
        for (CurvePath& c : curves)
            c.Bind(&app);
    }
    BoardApp app;
    CurvePath curves[2];
};

const char* kTwoTracks =
    "map test\n"
    "overlay roof 50 50 250 100\n"
    "curve\n"
    "start -20 100 0\n"
    "line 150\n"
    "tunnel\n"
    "line 50\n"
    "open\n"
    "line 60\n"
    "arc 50 90   # a quarter turn to the right, down the screen\n"
    "line 100\n"
    "curve\n"
    "start 400 0 90\n"
    "line 200\n";

TEST_F(CurvePieces, PiecesBecomeSegmentsTheGameReadsBack)
{
    Written w = Write(app, kTwoTracks);
    ASSERT_EQ(w.status, 0) << w.error;
    // Curve 1: three lines and a quarter arc, 5 segments of 16 points; curve 2: one line.
    const size_t n1 = 16, k1 = 5, n2 = 4, k2 = 1;
    ASSERT_EQ(w.plain.size(), 1 + (2 + 8 * n1 + k1) + (2 + 8 * n2 + k2) + 8);
    EXPECT_EQ(w.plain[0], 2);
    EXPECT_EQ(Word(w.plain, w.plain.size() - 8), 0);
    EXPECT_EQ(Word(w.plain, w.plain.size() - 4), 0);
    // Tunnel bytes: only the second piece.
    const size_t tunnels = 1 + 2 + 8 * n1;
    EXPECT_EQ(std::vector<uint8_t>(w.plain.begin() + tunnels, w.plain.begin() + tunnels + k1),
              (std::vector<uint8_t>{0, 1, 0, 0, 0}));

    int count = 0;
    ASSERT_TRUE(ReadBack(w.plain, curves, count));
    ASSERT_EQ(count, 2);
    ASSERT_EQ(curves[0].GetSegmentCount(), 5);
    // Every segment holds the tool's points (as the reader rounds them: v * 256 + 0.5 cut toward
    // zero), and each starts where the one before it ended.
    auto read = [](int32_t v) { return Fixed::Raw(static_cast<int32_t>(std::trunc(v * 256.0 + 0.5))); };
    for (int s = 0; s < 5; ++s)
        for (int i = 0; i < 4; ++i) {
            size_t at = 3 + 8 * (3 * s + i);
            EXPECT_EQ(curves[0].Segment(s).GetPoint(i).x, read(Word(w.plain, at))) << s << " " << i;
            EXPECT_EQ(curves[0].Segment(s).GetPoint(i).y, read(Word(w.plain, at + 4))) << s << " " << i;
        }
    // Worked by hand: right from (-20, 100) for 260 to (240, 100), a quarter turn of radius 50 to
    // (290, 150), then down 100 to (290, 250); 260 + 78.5 + 100 long.
    FixedVec2 end = curves[0].Segment(4).GetPoint(3);
    EXPECT_EQ(end.x, Fixed::FromInt(290));
    EXPECT_EQ(end.y, Fixed::FromInt(250));
    EXPECT_NEAR(curves[0].Length().ToDouble(), 438.5, 1.0);
    EXPECT_EQ(curves[0].Segment(1).tunnel, 1);
}

TEST_F(CurvePieces, EachVariantStartsJustOutsideItsOwnWindow)
{
    Written w = Write(app, kTwoTracks);
    ASSERT_EQ(w.status, 0) << w.error;
    const size_t second = 1 + 2 + 8 * 16 + 5;  // curve 2's point count
    // Curve 1 comes in from the left: 20 outside the plain and square windows, 20 outside the wide
    // window's x = -80. Curve 2 comes down from the top: 20 above the plain and wide windows and the
    // square window's y = -80.
    EXPECT_EQ(Word(w.plain, 3), -20);
    EXPECT_EQ(Word(w.square, 3), -20);
    EXPECT_EQ(Word(w.wide, 3), -100);
    EXPECT_EQ(Word(w.plain, second + 2 + 4), -20);
    EXPECT_EQ(Word(w.wide, second + 2 + 4), -20);
    EXPECT_EQ(Word(w.square, second + 2 + 4), -100);
    // Only the lengthened first piece differs: the rest, tunnels included, is the same.
    ASSERT_EQ(w.wide.size(), w.plain.size());
    EXPECT_TRUE(std::equal(w.plain.begin() + 3 + 8 * 3, w.plain.begin() + second, w.wide.begin() + 3 + 8 * 3));
    EXPECT_TRUE(std::equal(w.plain.begin() + second + 2 + 8 * 3, w.plain.end(), w.square.begin() + second + 2 + 8 * 3));
}

TEST_F(CurvePieces, BadSourcesAreRefusedWithTheirLine)
{
    struct Case {
        std::string text, where, why;
    } cases[] = {
        {"map a\ncurve\nstart -20 100 0\nline 300\nwiggle 5\n", ":5: ", "unknown word"},
        {"map a\ncurve\nstart -20 100 0\nline\n", ":4: ", "line needs a length"},
        {"map a\ncurve\nstart -20 100 0\nline 100\ntunnel\nline 50\nopen\nline 100\n", ":5: ", "needs an overlay"},
        {"map a\ncurve\nstart -20 100 0\nline 100\narc 20 90\nline 100\n", ":5: ", "bend too tight"},
        {"map a\ncurve\nstart -20 100 0\nline 100\narc 50 90\n", ":5: ", "end with a straight line"},
        {"map a\noverlay r 0 0 100 100\ncurve\nstart -20 300 0\nline 100\ntunnel\nline 50\nopen\nline 100\n", ":7: ",
         "not inside one overlay"},
        {"map a\ncurve\nstart -20 100 0\narc 50 90\nline 100\n", ":4: ", "starts with a line"},
        {"map a\noverlay r 0 0 200 200\noverlay s 400 0 100 100\ncurve\nstart -20 100 0\nline 100\ntunnel\nline 50\n"
         "open\nline 200\n",
         ":3: ", "'s' covers no tunnel"},
    };
    for (const Case& c : cases) {
        Written w = Write(app, c.text);
        EXPECT_NE(w.status, 0) << c.text;
        EXPECT_NE(w.error.find("map.txt" + c.where), std::string::npos) << w.error;
        EXPECT_NE(w.error.find(c.why), std::string::npos) << w.error;
    }
}

}  // namespace

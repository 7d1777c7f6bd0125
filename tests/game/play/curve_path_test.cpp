#include "game/play/curve_path.h"

#include <gtest/gtest.h>

#include "tests/game/play/board_app.h"

namespace {

FixedVec2 P(int x, int y)
{
    return FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
}

// Two straight segments along y = 100, 90 px each; their control points are evenly spaced, so
// the samples fall every 2 px exactly. The second runs through a tunnel.
void BuildTwoSegments(CurvePath& path, bool tunnel)
{
    path.Reset();
    ASSERT_TRUE(path.Segment(0).SetPoints(P(0, 100), P(30, 100), P(60, 100), P(90, 100)));
    ASSERT_TRUE(path.Segment(1).SetPoints(P(90, 100), P(120, 100), P(150, 100), P(180, 100)));
    path.SetSegmentCount(2);
    path.Segment(1).tunnel = tunnel ? 1 : 0;
    ASSERT_TRUE(path.BuildTable());
}

Fixed F(double v)
{
    return Fixed::FromDouble(v);
}

}  // namespace

TEST(CurvePath, StraightSegmentsWalkTheirSpansExactly)
{
    BoardApp app;
    CurvePath path;
    path.Bind(&app);
    BuildTwoSegments(path, false);
    EXPECT_EQ(path.Segment(0).GetLength(), Fixed::FromInt(90));
    EXPECT_EQ(path.Length(), Fixed::FromInt(180));
    // 45.5 lies 1.5 into the span 44..46: (1.5 * 16 / 2) >> 4 gives the fraction 0.75.
    EXPECT_EQ(path.Segment(0).PointAtOffset(F(45.5)), FixedVec2(F(45.5), Fixed::FromInt(100)));

    // A segment's end belongs to it.
    int segment = -2;
    uint8_t tunnel = 9;
    EXPECT_EQ(path.PointAt(Fixed::FromInt(90), &tunnel, &segment), P(90, 100));
    EXPECT_EQ(segment, 0);
    EXPECT_EQ(tunnel, 0);
    path.PointAt(F(90.25), nullptr, &segment);
    EXPECT_EQ(segment, 1);

    // Distance 0 and a small negative distance give the start from the walk; the table refuses
    // the negative one.
    EXPECT_EQ(path.PointAt(Fixed(), nullptr, &segment), P(0, 100));
    EXPECT_EQ(path.PointAt(F(-0.25), nullptr, &segment), P(0, 100));
    EXPECT_EQ(segment, 0);
    EXPECT_EQ(path.TablePoint(Fixed(), nullptr, &segment), P(0, 100));
    EXPECT_EQ(path.TablePoint(F(-0.25), nullptr, &segment), P(-400, -400));
    EXPECT_EQ(segment, -1);
    EXPECT_EQ(path.TableEntry(F(-0.25)), nullptr);

    // 4 * int(181) entries; the last pixel of slack lies beyond the end.
    ASSERT_EQ(path.GetTableCount(), 724);
    EXPECT_EQ(path.TablePoint(Fixed::FromInt(180), nullptr, &segment), P(180, 100));
    EXPECT_EQ(segment, 1);
    const PathPoint* beyond = path.TableEntry(F(180.75));
    ASSERT_NE(beyond, nullptr);
    EXPECT_EQ(beyond->segment, -1);
    EXPECT_EQ(beyond->x, Fixed::FromInt(-400));
    EXPECT_EQ(beyond->visibility, 255);
    EXPECT_EQ(path.TableEntry(Fixed::FromInt(181)), nullptr);
    EXPECT_EQ(path.PointAt(F(180.25), nullptr, &segment), P(-400, -400));
}

TEST(CurvePath, BallsFadeBeforeATunnelMouth)
{
    BoardApp app;
    CurvePath path;
    path.Bind(&app);
    BuildTwoSegments(path, true);
    // Margin 16.199 (raw 4147), fade end 16.199 + 32 + 1, factor 255 / 33 = raw 1978.
    EXPECT_EQ(path.GetFadeEnd().raw, 4147 + 8192 + 256);
    EXPECT_EQ(path.VisibilityAt(Fixed::FromInt(40)), 255);
    // 30 px before the mouth: (30 - 16.199) * 7.727 = raw 3533 * 1978 >> 8 = 27298, int 106.
    EXPECT_EQ(path.VisibilityAt(Fixed::FromInt(60)), 106);
    EXPECT_EQ(path.VisibilityAt(Fixed::FromInt(80)), 0);
    EXPECT_EQ(path.VisibilityAt(Fixed::FromInt(100)), 0);

    uint8_t tunnel = 0;
    path.PointAt(Fixed::FromInt(73), &tunnel, nullptr);
    EXPECT_EQ(tunnel, 0);
    path.PointAt(Fixed::FromInt(74), &tunnel, nullptr);
    EXPECT_EQ(tunnel, 1);
    EXPECT_FALSE(path.NearTunnelAt(Fixed::FromInt(40)));
    EXPECT_TRUE(path.NearTunnelAt(Fixed::FromInt(41)));
    EXPECT_TRUE(path.TunnelNeighbourhoodAt(Fixed::FromInt(1)));

    const PathPoint* entry = path.TableEntry(Fixed::FromInt(60));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->visibility, 106);
    EXPECT_EQ(entry->flags, 2 | 4);
    EXPECT_EQ(path.TableEntry(Fixed::FromInt(100))->flags, 1 | 2 | 4);
    EXPECT_EQ(path.TableEntry(Fixed::FromInt(20))->flags, 4);
}

struct TableCheck {
    int mismatches = 0, hidden = 0, faded = 0, beyond = 0;
};

// Compares every table entry with the lookups, which each start again from the first segment.
TableCheck CheckTable(CurvePath& path)
{
    TableCheck check;
    EXPECT_EQ(path.GetTableCount(), 4 * (path.Length() + Fixed::FromInt(1)).ToInt());
    for (int k = 0; k < path.GetTableCount(); ++k) {
        Fixed d = Fixed::Raw(k << 6);
        const PathPoint* entry = path.TableEntry(d);
        uint8_t tunnel = 0;
        int segment = 0;
        FixedVec2 p = path.PointAt(d, &tunnel, &segment);
        int flags = (tunnel ? 1 : 0) | (path.NearTunnelAt(d) ? 2 : 0) | (path.TunnelNeighbourhoodAt(d) ? 4 : 0);
        if (!entry || entry->x != p.x || entry->y != p.y || entry->segment != segment ||
            entry->visibility != path.VisibilityAt(d) || entry->flags != flags)
            ++check.mismatches;
        check.hidden += tunnel;
        check.faded += entry && entry->visibility > 0 && entry->visibility < 255;
        check.beyond += segment == -1;
    }
    return check;
}

TEST(CurvePath, TableHoldsWhatTheLookupsAnswerAtEveryQuarterPixel)
{
    BoardApp app;
    CurvePath path;
    path.Bind(&app);
    // Bent segments of uneven spans, one of zero length, tunnels one apart: the table is built in
    // one walk along segments and spans.
    ASSERT_TRUE(path.Segment(0).SetPoints(P(10, 10), P(200, 0), P(-50, 150), P(120, 200)));
    ASSERT_TRUE(path.Segment(1).SetPoints(P(120, 200), P(120, 200), P(120, 200), P(120, 200)));
    ASSERT_TRUE(path.Segment(2).SetPoints(P(120, 200), P(300, 260), P(20, 330), P(140, 90)));
    ASSERT_TRUE(path.Segment(3).SetPoints(P(140, 90), P(143, 91), P(400, 10), P(401, 300)));
    ASSERT_TRUE(path.Segment(4).SetPoints(P(401, 300), P(350, 350), P(300, 300), P(250, 350)));
    ASSERT_TRUE(path.Segment(5).SetPoints(P(250, 350), P(200, 300), P(150, 350), P(100, 300)));
    path.Segment(2).tunnel = 1;
    path.Segment(4).tunnel = 1;
    path.SetSegmentCount(6);
    ASSERT_TRUE(path.BuildTable());
    TableCheck bent = CheckTable(path);
    EXPECT_EQ(bent.mismatches, 0);
    // The walk passed through tunnels and their fades.
    EXPECT_GT(bent.hidden, 0);
    EXPECT_GT(bent.faded, 0);

    // Points along one segment at rising offsets, looked up on one walk, match fresh lookups.
    PathSegment::SpanWalk walk;
    const PathSegment& segment = path.Segment(0);
    for (int raw = -64; raw < segment.GetLength().raw + 256; raw += 37)
        EXPECT_EQ(segment.PointAtOffset(Fixed::Raw(raw), walk), segment.PointAtOffset(Fixed::Raw(raw))) << raw;

    // 180 px exactly: the last three entries lie off the end.
    BuildTwoSegments(path, true);
    TableCheck straight = CheckTable(path);
    EXPECT_EQ(straight.mismatches, 0);
    EXPECT_EQ(straight.beyond, 3);
}

TEST(CurvePath, EmptyAndDegeneratePaths)
{
    BoardApp app;
    CurvePath path;
    path.Bind(&app);
    ASSERT_TRUE(path.BuildTable());
    EXPECT_EQ(path.Length(), Fixed());
    EXPECT_EQ(path.GetTableCount(), 4);
    EXPECT_EQ(path.TablePoint(Fixed(), nullptr, nullptr), P(-400, -400));
    EXPECT_EQ(path.PointAt(Fixed(), nullptr, nullptr), P(-400, -400));
    EXPECT_EQ(path.VisibilityAt(Fixed()), 255);

    // A segment whose points coincide has spans of length 0 and yields its start.
    ASSERT_TRUE(path.Segment(0).SetPoints(P(5, 7), P(5, 7), P(5, 7), P(5, 7)));
    EXPECT_EQ(path.Segment(0).GetLength(), Fixed());
    EXPECT_EQ(path.Segment(0).PointAtOffset(Fixed()), P(5, 7));

    // Reset drops the segments, the table and the hole.
    path.SetSegmentCount(1);
    path.Reset();
    EXPECT_EQ(path.GetSegmentCount(), 0);
    EXPECT_EQ(path.GetTableCount(), 0);
}

TEST(CurvePath, AnglesAndRotation)
{
    EXPECT_EQ(AngleBetweenPoints(Fixed(), Fixed(), Fixed(), Fixed()), Fixed());
    EXPECT_EQ(AngleBetweenPoints(Fixed(), Fixed(), Fixed(), Fixed::FromInt(-3)), Fixed::FromInt(270));
    EXPECT_EQ(AngleBetweenPoints(Fixed(), Fixed(), Fixed::FromInt(-3), Fixed()), Fixed::FromInt(180));
    EXPECT_EQ(AngleBetweenPoints(Fixed(), Fixed(), Fixed::FromInt(2), Fixed::FromInt(2)), Fixed::FromInt(45));
    EXPECT_EQ(AngleBetweenPoints(Fixed(), Fixed(), Fixed::FromInt(-2), Fixed::FromInt(-2)), Fixed::FromInt(225));

    BoardApp app;
    Fixed x, y;
    int index = -1;
    RotateAround(*app.GetRenderer(), Fixed::FromInt(10), Fixed::FromInt(20), Fixed(), Fixed::FromInt(29),
                 Fixed::FromInt(90), x, y, &index);
    EXPECT_EQ(x, Fixed::FromInt(-19));
    EXPECT_EQ(y, Fixed::FromInt(20));
    EXPECT_EQ(index, 1440);
    RotateAround(*app.GetRenderer(), Fixed(), Fixed(), Fixed::FromInt(8), Fixed(), Fixed::FromInt(-90), x, y, nullptr);
    EXPECT_EQ(x, Fixed());
    EXPECT_EQ(y, Fixed::FromInt(-8));
}

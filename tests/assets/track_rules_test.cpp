// Each rule of the track check, proved on a fixture track that keeps every rule but the one.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/core/memory.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "track_rules.h"

namespace {

class DesignApp : public GameApp {
public:
    DesignApp()
    {
        LayoutTable::FillInts(layoutTable_, 5);
        LayoutTable::FillFixed(layoutTable_, 5);
    }
};

struct P {
    double x, y;
};

// A track of straight and quarter-turn pieces, as cubic segments on the 640x480 screen.
class Builder {
public:
    explicit Builder(P start) : at_(start) {}
    Builder& Line(P to, bool tunnel = false)
    {
        Add(Seg{{at_, {at_.x + (to.x - at_.x) / 3, at_.y + (to.y - at_.y) / 3},
                 {at_.x + 2 * (to.x - at_.x) / 3, at_.y + 2 * (to.y - at_.y) / 3}, to}},
            tunnel);
        return *this;
    }
    // A quarter turn about the corner the two tangents meet at.
    Builder& Quarter(P corner, P to)
    {
        const double k = 0.5523;
        Add(Seg{{at_, {at_.x + (corner.x - at_.x) * k, at_.y + (corner.y - at_.y) * k},
                 {to.x + (corner.x - to.x) * k, to.y + (corner.y - to.y) * k}, to}},
            false);
        return *this;
    }
    Builder& Raw(P a, P b, P c, P d)
    {
        Add(Seg{{a, b, c, d}}, false);
        return *this;
    }
    void Into(CurvePath& path)
    {
        for (size_t i = 0; i < segments_.size(); ++i) {
            const Seg& s = segments_[i];
            FixedVec2 q[4];
            for (int j = 0; j < 4; ++j)
                q[j] = {Fixed::FromDouble(s.p[j].x), Fixed::FromDouble(s.p[j].y)};
            path.Segment(static_cast<int>(i)).SetPoints(q[0], q[1], q[2], q[3]);
            path.Segment(static_cast<int>(i)).tunnel = s.tunnel ? 1 : 0;
        }
        path.SetSegmentCount(static_cast<int>(segments_.size()));
        path.BuildTable();
    }

private:
    struct Seg {
        P p[4];
        bool tunnel = false;
    };
    void Add(Seg s, bool tunnel)
    {
        s.tunnel = tunnel;
        segments_.push_back(s);
        at_ = s.p[3];
    }
    P at_;
    std::vector<Seg> segments_;
};

// In from the left edge along the top, down the right side, back along the bottom: 1,290 long,
// clear of a frog at (300, 260).
Builder GoodTrack(P start = {-20, 100})
{
    Builder b(start);
    b.Line({500, 100}).Quarter({560, 100}, {560, 160}).Line({560, 360}).Quarter({560, 420}, {500, 420}).Line({200, 420});
    return b;
}

class TrackRules : public ::testing::Test {
protected:
    TrackRules()
    {
        for (CurvePath& c : curves)
            c.Bind(&app);
        map.name = map.art = "fixture";
        map.number = 0;
        map.frogX = 300;
        map.frogY = 260;
        screen = {"640x480", 640, 480, 5, &app.GetLayoutTable()};
    }
    std::vector<std::string> Check(int count = 1, double fill = 0.8)
    {
        return CheckTracks(map, curves, count, screen, fill).faults;
    }
    // The faults that name a rule.
    static int Count(const std::vector<std::string>& faults, const std::string& rule)
    {
        int n = 0;
        for (const std::string& f : faults)
            n += f.find(rule) != std::string::npos ? 1 : 0;
        return n;
    }

    DesignApp app;
    CurvePath curves[2];
    MapInfo map;
    TrackScreen screen;
};

TEST_F(TrackRules, AGoodTrackKeepsEveryRuleAndGivesItsFigures)
{
    GoodTrack().Into(curves[0]);
    TrackCheck check = CheckTracks(map, curves, 1, screen, 0.8);
    EXPECT_TRUE(check.faults.empty()) << check.faults.front();
    ASSERT_EQ(check.figures.size(), 1u);
    const CurveFigures& f = check.figures[0];
    // 520 + 300 + 200 of lines and two quarter turns of radius 60 (94.2 each).
    EXPECT_NEAR(f.length, 1208.5, 2.0);
    EXPECT_NEAR(f.rollIn, f.length * 0.48, 1.0);
    EXPECT_NEAR(f.danger, f.length - 600, 1.0);
    // Nearest: the bottom run at y 420 and the right side at x 560, 160 and 260 from (300, 260).
    EXPECT_NEAR(f.frogDistance, 160, 1.5);
    EXPECT_EQ(f.hiddenShare, 0);
}

TEST_F(TrackRules, ATrackTooShortForItsRollInIsReported)
{
    Builder({-20, 100}).Line({500, 100}).Into(curves[0]);
    EXPECT_EQ(Count(Check(), "roll-in reaches the danger point"), 1);
    // A lower fill rolls in short of the danger point, but 520 is still shorter than 600.
    EXPECT_EQ(Count(Check(1, 0.2), "roll-in reaches the danger point"), 1);
}

TEST_F(TrackRules, AChainMustComeOnAtTheEdgeOrInATunnel)
{
    GoodTrack({150, 100}).Into(curves[0]);
    EXPECT_EQ(Count(Check(), "comes on in the open"), 1);

    // The same start under a cover is hidden.
    static const OverlayImage cover[] = {{"roof", 100, 50}};
    map.overlays = cover;
    curves[0].Reset();
    Builder b({150, 100});
    b.Line({300, 100}, true).Line({500, 100}).Quarter({560, 100}, {560, 160}).Line({560, 360});
    b.Quarter({560, 420}, {500, 420}).Line({100, 420});
    b.Into(curves[0]);
    std::vector<std::string> faults = Check(1, 0.2);
    EXPECT_EQ(Count(faults, "comes on in the open"), 0);
    EXPECT_TRUE(faults.empty()) << faults.front();
}

TEST_F(TrackRules, TheFrogAndTheCoinSpotsKeepClearOfVisibleTrack)
{
    GoodTrack().Into(curves[0]);
    map.frogY = 180;  // 80 below the top run: clear of half the frog, a ball radius and a margin (72)
    map.frogX = 300;
    EXPECT_EQ(Count(Check(), "too near the frog"), 0);
    map.frogY = 170;  // 70 below: inside half the frog, a ball radius and the margin (72)
    EXPECT_EQ(Count(Check(), "too near the frog"), 1);

    map.frogY = 260;
    static const TreasurePoint spots[] = {{300, 136, 0, 0}, {300, 134, 50, 0}};
    map.treasure = spots;
    // 36 from the track clears a coin (20) and a ball (16); 34 does not.
    std::vector<std::string> faults = Check();
    ASSERT_EQ(Count(faults, "over a coin spot"), 1);
    EXPECT_NE(faults[0].find("(300, 134)"), std::string::npos) << faults[0];
    TrackCheck check = CheckTracks(map, curves, 1, screen, 0.8);
    EXPECT_NEAR(check.figures[0].coinGuards[1], check.figures[0].length / 2, 0.5);
}

TEST_F(TrackRules, TheHoleLiesOnTheBoardClearOfTheFrameAndFacesAlongTheTrack)
{
    Builder b({-20, 100});
    b.Line({500, 100}).Quarter({560, 100}, {560, 160}).Line({560, 474});
    b.Into(curves[0]);
    EXPECT_EQ(Count(Check(1, 0.2), "under the frame"), 1);

    curves[0].Reset();
    Builder c({-20, 100});
    c.Line({500, 100}).Quarter({560, 100}, {560, 160}).Line({560, 360}).Quarter({560, 420}, {500, 420});
    c.Into(curves[0]);
    EXPECT_EQ(Count(Check(1, 0.2), "bends into its hole"), 1);
}

TEST_F(TrackRules, ASharpKinkOrAPieceOfNoLengthIsReported)
{
    Builder b({-20, 100});
    b.Line({300, 100}).Line({300, 300}).Line({600, 300}).Line({600, 420}).Line({300, 420});
    b.Into(curves[0]);
    EXPECT_EQ(Count(Check(1, 0.2), "bend tighter than a ball diameter"), 1);

    curves[0].Reset();
    Builder c({-20, 100});
    c.Line({500, 100}).Raw({500, 100}, {500, 100}, {500, 100}, {500, 100}).Quarter({560, 100}, {560, 160});
    c.Line({560, 360}).Quarter({560, 420}, {500, 420}).Line({200, 420});
    c.Into(curves[0]);
    EXPECT_EQ(Count(Check(), "a span of no length"), 1);
}

TEST_F(TrackRules, TracksCloserThanOneAndAHalfBallsAreReportedButATrackMayFollowItself)
{
    GoodTrack().Into(curves[0]);
    Builder b({660, 140});
    b.Line({420, 140}).Quarter({380, 140}, {380, 180}).Line({380, 300});
    b.Into(curves[1]);
    std::vector<std::string> faults = Check(2, 0.2);
    EXPECT_EQ(Count(faults, "closer than 1.5 ball diameters"), 1);  // 40 apart along the top
    EXPECT_EQ(Count(faults, "holes lie close"), 0);

    // A U-turn of radius 45 brings the track back 90 from itself: apart far enough. Its hole lies
    // 70 from the other's.
    curves[1].Reset();
    Builder u({100, 500});
    u.Line({100, 250}).Quarter({100, 205}, {145, 205}).Quarter({190, 205}, {190, 250}).Line({190, 350});
    u.Into(curves[1]);
    faults = Check(2, 0.2);
    EXPECT_EQ(Count(faults, "closer than 1.5 ball diameters"), 0);
    EXPECT_EQ(Count(faults, "holes lie close"), 1);
}

TEST_F(TrackRules, TunnelsOnlyUnderCoversAndNeverBesideTheHole)
{
    Builder b({-20, 100});
    b.Line({200, 100}).Line({300, 100}, true).Line({500, 100}).Quarter({560, 100}, {560, 160});
    b.Line({560, 360}).Quarter({560, 420}, {500, 420}).Line({200, 420});
    b.Into(curves[0]);
    EXPECT_EQ(Count(Check(), "tunnel on a map without overlays"), 1);
    static const OverlayImage cover[] = {{"roof", 150, 50}};
    map.overlays = cover;
    EXPECT_TRUE(Check().empty());

    curves[0].Reset();
    Builder n({-20, 100});
    n.Line({500, 100}).Quarter({560, 100}, {560, 160}).Line({560, 360}).Quarter({560, 420}, {500, 420});
    n.Line({300, 420}, true).Line({200, 420});
    n.Into(curves[0]);
    EXPECT_EQ(Count(Check(), "tunnel near the hole"), 1);
}

// An alpha plane of the screen's size, opaque inside a rectangle.
std::unique_ptr<Surface> Mask(Application* app, int x0, int y0, int x1, int y1)
{
    auto surface = std::make_unique<Surface>(app);
    const int w = 640, h = 480;
    surface->Create(w, h);
    auto* alpha = static_cast<uint8_t*>(Alloc(w * h));
    std::memset(alpha, 0, w * h);
    for (int y = y0; y < y1; ++y)
        std::memset(alpha + y * w + x0, 255, x1 - x0);
    surface->AttachAlpha(alpha, w, h);
    return surface;
}

TEST_F(TrackRules, ATunnelAndItsMouthsLieUnderAnOpaqueMaskThatLeavesTheCoinsClear)
{
    Builder b({-20, 100});
    b.Line({200, 100}).Line({300, 100}, true).Line({500, 100}).Quarter({560, 100}, {560, 160});
    b.Line({560, 360}).Quarter({560, 420}, {500, 420}).Line({200, 420});
    b.Into(curves[0]);
    static const TreasurePoint spots[] = {{100, 200, 0, 0}};
    map.treasure = spots;

    // Tunnel 200..300, mouths reach 49.2 beyond each end.
    std::unique_ptr<Surface> wide = Mask(&app, 140, 60, 360, 140);
    std::unique_ptr<Surface> narrow = Mask(&app, 180, 60, 320, 140);
    std::unique_ptr<Surface> overCoin = Mask(&app, 60, 60, 360, 240);
    EXPECT_TRUE(CheckMasks(map, curves, 1, screen, {{0, 0, wide.get()}}).empty());
    EXPECT_EQ(Count(CheckMasks(map, curves, 1, screen, {{0, 0, narrow.get()}}), "outside the opaque"), 1);
    // No mask at all cannot cover a tunnel.
    EXPECT_EQ(Count(CheckMasks(map, curves, 1, screen, {}), "outside the opaque"), 1);
    EXPECT_EQ(Count(CheckMasks(map, curves, 1, screen, {{0, 0, overCoin.get()}}), "covers a coin spot"), 1);
    // A mask placed 200 to the right no longer covers the tunnel.
    EXPECT_EQ(Count(CheckMasks(map, curves, 1, screen, {{200, 0, wide.get()}}), "outside the opaque"), 1);
}

}  // namespace

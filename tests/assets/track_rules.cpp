#include "track_rules.h"

#include <cmath>
#include <sstream>

#include "engine/graphics/surface.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Sample {
    double d, x, y;
    bool visible;  // on the screen and drawn in full (not in or beside a tunnel)
    bool tunnel;
};

double Fx(Fixed f) { return f.ToDouble(); }

std::string Place(double x, double y)
{
    std::ostringstream out;
    out << "(" << std::lround(x) << ", " << std::lround(y) << ")";
    return out.str();
}

class Report {
public:
    Report(const MapInfo& map, const TrackScreen& screen, std::vector<std::string>& faults)
        : map_(map), screen_(screen), faults_(faults)
    {
    }
    void Fault(int curve, const std::string& rule, const std::string& where)
    {
        std::ostringstream out;
        out << map_.art << " " << screen_.name << " curve " << curve + 1 << ": " << rule << " at " << where;
        faults_.push_back(out.str());
    }

private:
    const MapInfo& map_;
    const TrackScreen& screen_;
    std::vector<std::string>& faults_;
};

std::vector<Sample> SampleCurve(CurvePath& curve, const TrackScreen& screen, double step)
{
    std::vector<Sample> out;
    double length = Fx(curve.Length());
    for (double d = 0; d <= length; d += step) {
        uint8_t tunnel = 0;
        Fixed at = Fixed::FromDouble(d);
        FixedVec2 p = curve.PointAt(at, &tunnel, nullptr);
        Sample s{d, Fx(p.x), Fx(p.y), false, tunnel != 0};
        bool onScreen = s.x >= 0 && s.y >= 0 && s.x < screen.width && s.y < screen.height;
        s.visible = onScreen && curve.VisibilityAt(at) == 255;
        out.push_back(s);
    }
    return out;
}

double Direction(const Sample& a, const Sample& b) { return std::atan2(b.y - a.y, b.x - a.x); }

double Turn(double a, double b)
{
    double t = std::fabs(b - a);
    return t > kPi ? 2 * kPi - t : t;
}

// The Bezier sample points of a segment as the path samples them, from its whole-pixel points.
bool HasZeroSpan(const PathSegment& segment, int samples)
{
    double px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        px[i] = segment.GetPoint(i).x.ToInt();
        py[i] = segment.GetPoint(i).y.ToInt();
    }
    auto at = [&](double t, double* c) {
        double u = 1 - t;
        return c[0] * u * u * u + 3 * c[1] * t * u * u + 3 * c[2] * t * t * u + c[3] * t * t * t;
    };
    double lx = at(0, px), ly = at(0, py);
    for (int i = 1; i <= samples; ++i) {
        double t = static_cast<double>(i) / samples;
        double x = at(t, px), y = at(t, py);
        if (std::lround(x * 256) == std::lround(lx * 256) && std::lround(y * 256) == std::lround(ly * 256))
            return true;
        lx = x;
        ly = y;
    }
    return false;
}

}  // namespace

void DesignToScreen(const TrackScreen& screen, double& x, double& y)
{
    const LayoutTable& t = *screen.layout;
    x = x * Fx(t.fixed[kLayoutDesignScale]) + t.ints[kLayoutOriginX];
    y = y * Fx(t.fixed[kLayoutDesignScale]) + t.ints[kLayoutOriginY];
}

TrackCheck CheckTracks(const MapInfo& map, CurvePath* curves, int count, const TrackScreen& screen, double fill)
{
    TrackCheck result;
    Report report(map, screen, result.faults);
    const LayoutTable& t = *screen.layout;
    const double s = Fx(t.fixed[kLayoutDesignScale]), radius = Fx(t.fixed[kLayoutBallRadius]),
                 diameter = Fx(t.fixed[kLayoutBallDiameter]);
    const double k = count >= 2 ? 1.2 : 1.0;
    double frogX = map.frogX, frogY = map.frogY;
    DesignToScreen(screen, frogX, frogY);
    const double frogClear = std::max(t.ints[kLayoutFrogWidth], t.ints[kLayoutFrogHeight]) / 2.0 + radius + 2;
    const double coinClear = 1.25 * radius + radius;
    const int top = std::max(t.ints[kLayoutFrameBands], t.ints[kLayoutFrameBands + 1]),
              left = t.ints[kLayoutFrameBands + 2], right = t.ints[kLayoutFrameBands + 3],
              bottom = t.ints[kLayoutFrameBands + 5];
    std::vector<std::vector<Sample>> tracks;
    std::vector<Sample> holes;

    for (int c = 0; c < count; ++c) {
        CurvePath& curve = curves[c];
        CurveFigures fig;
        const double length = Fx(curve.Length());
        fig.length = length;
        fig.rollIn = length * fill * 0.8 * 0.75;
        fig.danger = length - 600 * s * k;
        if (fig.rollIn >= fig.danger)
            report.Fault(c, "the roll-in reaches the danger point", "distance " + std::to_string(std::lround(fig.rollIn)));
        if (length / s > 5000)
            report.Fault(c, "track longer than 5000 design units", "its end");
        for (int i = 0; i < curve.GetSegmentCount(); ++i) {
            if (curve.Segment(i).GetLength().raw <= 0 || HasZeroSpan(curve.Segment(i), t.ints[kLayoutCurveSamples]))
                report.Fault(c, "a span of no length", "segment " + std::to_string(i));
        }
        std::vector<Sample> track = SampleCurve(curve, screen, diameter / 4);
        if (track.size() < 8) {
            report.Fault(c, "track too short to play", "its start");
            result.figures.push_back(fig);
            tracks.push_back(track);
            continue;
        }

        // Where the chain comes on: the first whole-pixel point on the display.
        bool found = false;
        for (double d = 0; d < length && !found; d += 1) {
            uint8_t tunnel = 0;
            FixedVec2 p = curve.PointAt(Fixed::FromDouble(d), &tunnel, nullptr);
            double x = Fx(p.x), y = Fx(p.y);
            if (x >= 0 && y >= 0 && x < screen.width && y < screen.height) {
                found = true;
                // The chain is laid where the track comes on and rolls in fast up to the roll-in
                // point: a lead-in out of sight longer than that would leave nothing to roll in.
                if (fig.rollIn - d < 4 * diameter)
                    report.Fault(c, "the roll-in ends within four balls of where the track comes on", Place(x, y));
                bool edge = x < 2 || y < 2 || x >= screen.width - 2 || y >= screen.height - 2;
                if (!edge && !tunnel)
                    report.Fault(c, "the chain comes on in the open", Place(x, y));
            }
        }
        if (!found)
            report.Fault(c, "the track never comes on the screen", "its start");

        // Bends: no turn tighter than a ball diameter, checked over chords of half a diameter.
        for (size_t i = 4; i < track.size(); ++i) {
            double h = track[i].d - track[i - 2].d;
            double turn = Turn(Direction(track[i - 4], track[i - 2]), Direction(track[i - 2], track[i]));
            if (h > diameter / 8 && turn > 0 && h / turn < 0.75 * diameter) {
                report.Fault(c, "bend tighter than a ball diameter", Place(track[i].x, track[i].y));
                break;
            }
        }
        // The hole faces along the last ball diameter: nearly straight.
        {
            auto at = [&](double d) {
                FixedVec2 p = curve.PointAt(Fixed::FromDouble(d), nullptr, nullptr);
                return Sample{d, Fx(p.x), Fx(p.y), true, false};
            };
            Sample e = at(length), m = at(length - diameter / 2), b = at(length - diameter);
            if (Turn(Direction(b, m), Direction(m, e)) > 10 * kPi / 180)
                report.Fault(c, "the track bends into its hole", Place(e.x, e.y));
            holes.push_back(e);
            if (e.x < left + radius || e.x > screen.width - right - radius || e.y < top + radius ||
                e.y > screen.height - bottom - radius)
                report.Fault(c, "the hole lies under the frame or off the screen", Place(e.x, e.y));
            if (e.x > screen.width - 64 * s - radius && e.y < 48 * s + radius)
                report.Fault(c, "the hole lies under the exit button", Place(e.x, e.y));
        }

        // The frame bands: a track crosses one only on its way in; once on the board it stays off them.
        {
            auto onBoard = [&](const Sample& p) {
                return p.x >= left && p.x <= screen.width - right && p.y >= top && p.y <= screen.height - bottom;
            };
            size_t i = 0;
            while (i < track.size() && !onBoard(track[i]))
                ++i;
            for (; i < track.size(); ++i)
                if (track[i].visible && !onBoard(track[i])) {
                    report.Fault(c, "visible track in a frame band", Place(track[i].x, track[i].y));
                    break;
                }
        }

        double shotSum = 0, nearest = 1e9;
        int shown = 0, hidden = 0;
        for (const Sample& p : track) {
            hidden += p.tunnel ? 1 : 0;
            if (!p.visible)
                continue;
            double f = std::hypot(p.x - frogX, p.y - frogY);
            nearest = std::min(nearest, f);
            shotSum += f;
            ++shown;
            if (f < frogClear) {
                report.Fault(c, "track too near the frog", Place(p.x, p.y));
                break;
            }
        }
        for (const TreasurePoint& spot : map.treasure) {
            double x = spot.x, y = spot.y;
            DesignToScreen(screen, x, y);
            for (const Sample& p : track)
                if (p.visible && std::hypot(p.x - x, p.y - y) < coinClear) {
                    report.Fault(c, "track over a coin spot", Place(x, y));
                    break;
                }
            fig.coinGuards.push_back((c == 0 ? spot.curve1Percent : spot.curve2Percent) * length / 100.0);
        }
        fig.frogDistance = nearest;
        fig.meanShot = shown ? shotSum / shown : 0;
        fig.hiddenShare = static_cast<double>(hidden) / track.size();

        // Tunnels: only under a map's covers, and never near the hole.
        for (int i = 0; i < curve.GetSegmentCount(); ++i) {
            if (!curve.Segment(i).tunnel)
                continue;
            if (map.overlays.empty())
                report.Fault(c, "a tunnel on a map without overlays", "segment " + std::to_string(i));
            double end = 0;
            for (int j = 0; j <= i; ++j)
                end += Fx(curve.Segment(j).GetLength());
            if (end > length - 4 * diameter - Fx(curve.GetFadeEnd()))
                report.Fault(c, "a tunnel near the hole", "segment " + std::to_string(i));
        }
        result.figures.push_back(fig);
        tracks.push_back(track);
    }

    if (holes.size() == 2 && std::hypot(holes[0].x - holes[1].x, holes[0].y - holes[1].y) < 4 * diameter)
        report.Fault(1, "the two holes lie close together", Place(holes[1].x, holes[1].y));

    // Visible tracks keep 1.5 ball diameters apart, except a track along itself.
    const double apart = 1.5 * diameter;
    for (size_t a = 0; a < tracks.size(); ++a)
        for (size_t b = a; b < tracks.size(); ++b) {
            bool reported = false;
            for (const Sample& p : tracks[a]) {
                if (!p.visible || reported)
                    continue;
                for (const Sample& q : tracks[b]) {
                    if (!q.visible || (a == b && std::fabs(p.d - q.d) < 3 * diameter))
                        continue;
                    if (std::hypot(p.x - q.x, p.y - q.y) < apart) {
                        report.Fault(static_cast<int>(b), "visible tracks closer than 1.5 ball diameters",
                                     Place(p.x, p.y) + " and " + Place(q.x, q.y));
                        reported = true;
                        break;
                    }
                }
            }
        }
    return result;
}

std::vector<std::string> CheckMasks(const MapInfo& map, CurvePath* curves, int count, const TrackScreen& screen,
                                    const std::vector<TrackMask>& masks)
{
    std::vector<std::string> faults;
    Report report(map, screen, faults);
    const LayoutTable& t = *screen.layout;
    const double diameter = Fx(t.fixed[kLayoutBallDiameter]);
    auto opaque = [&](const TrackMask& m, double x, double y) {
        if (!m.alpha || !m.alpha->GetAlpha())
            return false;
        int px = static_cast<int>(std::floor(x)) - m.x, py = static_cast<int>(std::floor(y)) - m.y;
        if (px < 0 || py < 0 || px >= m.alpha->GetWidth() || py >= m.alpha->GetHeight())
            return false;
        return m.alpha->GetAlpha()[py * m.alpha->GetWidth() + px] >= 128;
    };
    for (int c = 0; c < count; ++c) {
        CurvePath& curve = curves[c];
        std::vector<Sample> track = SampleCurve(curve, screen, diameter / 4);
        for (const Sample& p : track) {
            // Inside a tunnel or where a ball is drawn fading beside one: under one opaque cover.
            if (!curve.NearTunnelAt(Fixed::FromDouble(p.d)))
                continue;
            bool covered = false;
            for (const TrackMask& m : masks)
                covered = covered || opaque(m, p.x, p.y);
            if (!covered) {
                report.Fault(c, "tunnel outside the opaque overlay masks", Place(p.x, p.y));
                break;
            }
        }
    }
    for (const TreasurePoint& spot : map.treasure) {
        double x = spot.x, y = spot.y;
        DesignToScreen(screen, x, y);
        for (const TrackMask& m : masks)
            if (opaque(m, x, y))
                report.Fault(0, "an overlay covers a coin spot", Place(x, y));
    }
    return faults;
}

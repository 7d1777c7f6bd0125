#include "tools/curvewriter/track_source.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace track {

namespace {

constexpr double kPi = 3.14159265358979323846;
// A ball's diameter in design units: no bend may be tighter than this radius.
constexpr double kMinRadius = 32.0;
// Beyond each tunnel mouth balls are still drawn under the cover: the tunnel margin, a ball
// diameter and a pixel (16.2 + 32 + 1), and a ball radius around the centre line.
constexpr double kMouthStretch = 49.2;
constexpr double kBallRadius = 16.0;
// A variant's track starts this far outside its window, so the first ball enters from the edge.
constexpr double kOutside = 20.0;
// The last stretch before the hole is straight for at least a ball diameter.
constexpr double kStraightEnd = 32.0;
constexpr size_t kMaxSegments = 200;

Vec Dir(double degrees)
{
    double a = degrees * kPi / 180.0;
    return {std::cos(a), std::sin(a)};
}
Vec Add(const Vec& a, const Vec& b, double k = 1.0) { return {a.x + b.x * k, a.y + b.y * k}; }
double Distance(const Vec& a, const Vec& b) { return std::hypot(a.x - b.x, a.y - b.y); }

Vec Bezier(const Vec* p, double t)
{
    double u = 1 - t;
    return {p[0].x * u * u * u + 3 * p[1].x * t * u * u + 3 * p[2].x * t * t * u + p[3].x * t * t * t,
            p[0].y * u * u * u + 3 * p[1].y * t * u * u + 3 * p[2].y * t * t * u + p[3].y * t * t * t};
}

// The smallest radius of curvature along a segment.
double MinRadius(const Vec* p)
{
    double best = 1e18;
    for (int i = 0; i <= 64; ++i) {
        double t = i / 64.0, u = 1 - t;
        Vec d1{3 * (u * u * (p[1].x - p[0].x) + 2 * u * t * (p[2].x - p[1].x) + t * t * (p[3].x - p[2].x)),
               3 * (u * u * (p[1].y - p[0].y) + 2 * u * t * (p[2].y - p[1].y) + t * t * (p[3].y - p[2].y))};
        Vec d2{6 * (u * (p[2].x - 2 * p[1].x + p[0].x) + t * (p[3].x - 2 * p[2].x + p[1].x)),
               6 * (u * (p[2].y - 2 * p[1].y + p[0].y) + t * (p[3].y - 2 * p[2].y + p[1].y))};
        double speed = std::hypot(d1.x, d1.y);
        double cross = std::fabs(d1.x * d2.y - d1.y * d2.x);
        if (speed < 1e-9)
            return 0.0;
        if (cross > 1e-12)
            best = std::min(best, speed * speed * speed / cross);
    }
    return best;
}

const Rect kWindows[kVariants] = {{0, 0, 640, 480}, {-80, 0, 720, 480}, {0, -80, 640, 560}};

class Builder {
public:
    Builder(const std::string& file, Source& out) : file_(file), out_(out) {}

    bool Fail(int line, const std::string& why)
    {
        error = file_ + ":" + std::to_string(line) + ": " + why;
        return false;
    }

    bool Read()
    {
        std::ifstream in(file_);
        if (!in)
            return Fail(0, "cannot open");
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            size_t hash = text.find('#');
            if (hash != std::string::npos)
                text.resize(hash);
            std::istringstream words(text);
            std::string word;
            if (!(words >> word))
                continue;
            if (!Line(line, word, words))
                return false;
            std::string extra;
            if (words >> extra)
                return Fail(line, "unexpected '" + extra + "'");
        }
        if (!Finish(0))
            return false;
        // Each cover's opaque shape is drawn from the tunnels under it: a cover over none is a fault.
        for (size_t i = 0; i < out_.overlays.size(); ++i)
            if (!CoversTunnel(out_.overlays[i]))
                return Fail(overlayLines_[i], "overlay '" + out_.overlays[i].name + "' covers no tunnel");
        return true;
    }

    std::string error;

private:
    bool Number(std::istringstream& words, double& v) { return static_cast<bool>(words >> v) && std::isfinite(v); }

    bool Line(int line, const std::string& word, std::istringstream& words)
    {
        double a = 0, b = 0, c = 0, d = 0;
        if (word == "map") {
            if (!(words >> out_.art))
                return Fail(line, "map needs the art name");
            return true;
        }
        if (word == "overlay") {
            Overlay o;
            if (!(words >> o.name) || !Number(words, a) || !Number(words, b) || !Number(words, c) || !Number(words, d) ||
                c <= 0 || d <= 0)
                return Fail(line, "overlay needs a name, x, y, width and height");
            o.rect = {a, b, a + c, b + d};
            out_.overlays.push_back(o);
            overlayLines_.push_back(line);
            return true;
        }
        if (word == "curve") {
            if (!out_.tracks.empty() && !Finish(line))
                return false;
            if (out_.tracks.size() == 2)
                return Fail(line, "a map has one or two curves");
            out_.tracks.emplace_back();
            started_ = false;
            tunnel_ = false;
            lastPiece_.clear();
            return true;
        }
        if (out_.tracks.empty())
            return Fail(line, "'curve' must come first");
        Track& t = out_.tracks.back();
        if (word == "start" || word == "begin") {
            if (started_)
                return Fail(line, "the curve has already started");
            if (!Number(words, a) || !Number(words, b) || !Number(words, c))
                return Fail(line, word + " needs x, y and a heading");
            at_ = {a, b};
            heading_ = c;
            started_ = true;
            t.extendStart = word == "start";
            return true;
        }
        if (word == "tunnel" || word == "open") {
            if (word == "tunnel" && out_.overlays.empty())
                return Fail(line, "a tunnel needs an overlay on its map");
            tunnel_ = word == "tunnel";
            return true;
        }
        if (!started_)
            return Fail(line, "a curve starts with 'start' or 'begin'");
        if (word == "line") {
            if (!Number(words, a) || a <= 0)
                return Fail(line, "line needs a length above 0");
            if (t.extendStart && t.segments.empty() && tunnel_)
                return Fail(line, "a track entering from the edge starts in the open");
            Vec end = Add(at_, Dir(heading_), a);
            Emit(line, {{at_, Add(at_, Dir(heading_), a / 3), Add(end, Dir(heading_), -a / 3), end}});
            at_ = end;
            lastPiece_ = "line";
            lastLength_ = a;
            return true;
        }
        if (t.extendStart && t.segments.empty())
            return Fail(line, "a track entering from the edge starts with a line");
        if (word == "arc")
            return (Number(words, a) && Number(words, b) && a > 0 && b != 0) ? Turn(line, a, a, b)
                                                                           : Fail(line, "arc needs a radius and an angle");
        if (word == "spiral")
            return (Number(words, a) && Number(words, b) && Number(words, c) && a > 0 && b > 0 && c != 0)
                       ? Turn(line, a, b, c)
                       : Fail(line, "spiral needs two radii and an angle");
        if (word == "to") {
            if (!Number(words, a) || !Number(words, b) || !Number(words, c))
                return Fail(line, "to needs x, y and a heading");
            Vec end{a, b};
            double k = Distance(at_, end) / 3;
            if (k < 1)
                return Fail(line, "a piece of no length");
            Emit(line, {{at_, Add(at_, Dir(heading_), k), Add(end, Dir(c), -k), end}});
            at_ = end;
            heading_ = c;
            lastPiece_ = "to";
            return true;
        }
        return Fail(line, "unknown word '" + word + "'");
    }

    // A turn of `angle` degrees whose radius runs evenly from r0 to r1, each piece a cubic whose
    // handles follow the radius at its two ends. Arcs go in quarter turns, spirals in eighths: long
    // handles keep small bends round once the screens cut the points to whole pixels.
    bool Turn(int line, double r0, double r1, double angle)
    {
        double most = r0 == r1 ? 90.0 : 45.0;
        int pieces = static_cast<int>(std::ceil(std::fabs(angle) / most - 1e-9));
        double step = angle / pieces;
        for (int i = 0; i < pieces; ++i) {
            double ra = r0 + (r1 - r0) * i / pieces, rb = r0 + (r1 - r0) * (i + 1) / pieces;
            // Walk the piece in small steps: the position follows the heading at the local radius.
            Vec p = at_;
            double h = heading_;
            const int steps = 64;
            for (int s = 0; s < steps; ++s) {
                double r = ra + (rb - ra) * (s + 0.5) / steps;
                double dh = step / steps;
                double mid = h + dh / 2;
                p = Add(p, Dir(mid), r * std::fabs(dh) * kPi / 180.0);
                h += dh;
            }
            double k = 4.0 / 3.0 * std::tan(std::fabs(step) * kPi / 720.0);
            Emit(line, {{at_, Add(at_, Dir(heading_), k * ra), Add(p, Dir(h), -k * rb), p}});
            at_ = p;
            heading_ = h;
        }
        lastPiece_ = "turn";
        return true;
    }

    void Emit(int line, const Segment& s)
    {
        Segment seg = s;
        seg.tunnel = tunnel_;
        seg.line = line;
        out_.tracks.back().segments.push_back(seg);
    }

    // Checks a finished curve: its length in segments, its bends, its end, its tunnels.
    bool Finish(int line)
    {
        if (out_.tracks.empty())
            return Fail(line, "no curve");
        const Track& t = out_.tracks.back();
        if (t.segments.empty())
            return Fail(line, "a curve without pieces");
        if (t.segments.size() > kMaxSegments)
            return Fail(t.segments[kMaxSegments].line, "more than 200 segments");
        for (const Segment& s : t.segments) {
            double r = MinRadius(s.p);
            if (r < kMinRadius) {
                std::ostringstream why;
                why << "bend too tight: radius " << static_cast<int>(r) << " is below a ball diameter";
                return Fail(s.line, why.str());
            }
        }
        const Segment& last = t.segments.back();
        if (lastPiece_ != "line" || lastLength_ < kStraightEnd)
            return Fail(last.line, "the track must end with a straight line of a ball diameter or more");
        if (last.tunnel)
            return Fail(last.line, "no tunnel at the hole");
        for (size_t i = 0; i < t.segments.size(); ++i)
            if (t.segments[i].tunnel && !TunnelCovered(t, i))
                return Fail(t.segments[i].line, "tunnel (with its mouths) is not inside one overlay");
        return true;
    }

    // Every sample of the tunnel segment, and of the stretch beyond an open neighbour's mouth, lies
    // a ball radius inside one overlay.
    bool TunnelCovered(const Track& t, size_t i) const
    {
        std::vector<Vec> samples;
        for (int k = 0; k <= 32; ++k)
            samples.push_back(Bezier(t.segments[i].p, k / 32.0));
        auto stretch = [&](size_t j, bool fromStart) {
            // Walks kMouthStretch along segment j from its joining end.
            Vec prev = Bezier(t.segments[j].p, fromStart ? 0.0 : 1.0);
            double walked = 0;
            for (int k = 1; k <= 256 && walked < kMouthStretch; ++k) {
                double u = k / 256.0;
                Vec p = Bezier(t.segments[j].p, fromStart ? u : 1.0 - u);
                walked += Distance(p, prev);
                prev = p;
                samples.push_back(p);
            }
        };
        if (i + 1 < t.segments.size() && !t.segments[i + 1].tunnel)
            stretch(i + 1, true);
        if (i > 0 && !t.segments[i - 1].tunnel)
            stretch(i - 1, false);
        for (const Overlay& o : out_.overlays) {
            bool all = true;
            for (const Vec& p : samples)
                all = all && o.rect.Holds(p, -kBallRadius);
            if (all)
                return true;
        }
        return false;
    }

    bool CoversTunnel(const Overlay& o) const
    {
        for (const Track& t : out_.tracks)
            for (const Segment& seg : t.segments)
                if (seg.tunnel && o.rect.Holds(Bezier(seg.p, 0.5), 0))
                    return true;
        return false;
    }

    std::string file_;
    Source& out_;
    std::vector<int> overlayLines_;
    Vec at_;
    double heading_ = 0;
    bool started_ = false;
    bool tunnel_ = false;
    std::string lastPiece_;
    double lastLength_ = 0;
};

}  // namespace

const Rect& VariantWindow(int variant) { return kWindows[variant < 0 || variant >= kVariants ? 0 : variant]; }

bool ReadSource(const std::string& file, Source& out, std::string& error)
{
    out = Source();
    Builder builder(file, out);
    if (!builder.Read()) {
        error = builder.error;
        return false;
    }
    return true;
}

std::vector<int32_t> VariantPoints(const Track& track, int variant)
{
    std::vector<Segment> segments = track.segments;
    if (track.extendStart && !segments.empty()) {
        // Lengthen the first line backwards until its start lies outside the variant's window.
        Segment& first = segments.front();
        Vec from = first.p[0], to = first.p[3];
        double length = Distance(from, to);
        Vec back{(from.x - to.x) / length, (from.y - to.y) / length};
        // The distance back along the line to the first side of the window widened by kOutside.
        const Rect& w = VariantWindow(variant);
        auto reach = [](double at, double dir, double low, double high) {
            if (dir < 0)
                return (at - low) / -dir;
            return dir > 0 ? (high - at) / dir : 1e9;
        };
        double extra = std::max(0.0, std::min(reach(from.x, back.x, w.x0 - kOutside, w.x1 + kOutside),
                                              reach(from.y, back.y, w.y0 - kOutside, w.y1 + kOutside)));
        Vec start = Add(from, back, extra);
        double total = length + extra;
        first.p[0] = start;
        first.p[1] = Add(start, back, -total / 3);
        first.p[2] = Add(to, back, total / 3);
    }
    std::vector<int32_t> xy;
    auto put = [&](const Vec& v) {
        xy.push_back(static_cast<int32_t>(std::lround(v.x)));
        xy.push_back(static_cast<int32_t>(std::lround(v.y)));
    };
    if (!segments.empty())
        put(segments.front().p[0]);
    for (const Segment& s : segments)
        for (int k = 1; k < 4; ++k)
            put(s.p[k]);
    return xy;
}

std::string CurveFileBytes(const Source& source, int variant)
{
    std::string out;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(static_cast<uint32_t>(source.tracks.size()), 1);
    for (const Track& t : source.tracks) {
        std::vector<int32_t> xy = VariantPoints(t, variant);
        put(static_cast<uint32_t>(xy.size() / 2), 2);
        for (int32_t v : xy)
            put(static_cast<uint32_t>(v), 4);
        for (const Segment& s : t.segments)
            put(s.tunnel ? 1 : 0, 1);
    }
    put(0, 4);
    put(0, 4);
    return out;
}

}  // namespace track

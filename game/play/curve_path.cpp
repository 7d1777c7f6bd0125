#include "game/play/curve_path.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"

namespace {

const FixedVec2 kOffTrack(Fixed::FromInt(-400), Fixed::FromInt(-400));

double Bezier(int a, int b, int c, int d, double t)
{
    double u = 1.0 - t;
    return a * u * u * u + 3.0 * b * t * u * u + 3.0 * c * t * t * u + d * t * t * t;
}

Fixed Lerp(Fixed a, Fixed b, Fixed f)
{
    return a + Fixed::Multiply(b - a, f);
}

}  // namespace

void PathSegment::Clear()
{
    spans_.reset();
    spanLengths_.reset();
    inverseLengths_.reset();
    spanCount_ = 0;
    length_ = Fixed();
    tunnel = 0;
}

bool PathSegment::SetPoints(const FixedVec2& p0, const FixedVec2& p1, const FixedVec2& p2, const FixedVec2& p3)
{
    uint8_t keepTunnel = tunnel;
    Clear();
    tunnel = keepTunnel;
    points_[0] = p0;
    points_[1] = p1;
    points_[2] = p2;
    points_[3] = p3;
    int n = samples_;
    spans_.reset(new (std::nothrow) PathSpan[n]);
    spanLengths_.reset(new (std::nothrow) Fixed[n]);
    inverseLengths_.reset(new (std::nothrow) Fixed[n]);
    if (!spans_ || !spanLengths_ || !inverseLengths_) {
        Clear();
        return false;
    }
    // The control points are cut to whole pixels before evaluation, as the tracks were designed.
    int x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = points_[i].x.ToInt();
        y[i] = points_[i].y.ToInt();
    }
    FixedVec2 previous;
    Fixed sum;
    for (int i = 0; i <= n; ++i) {
        double t = static_cast<double>(i) / n;
        FixedVec2 p(Fixed::FromPositiveDouble(Bezier(x[0], x[1], x[2], x[3], t)),
                    Fixed::FromPositiveDouble(Bezier(y[0], y[1], y[2], y[3], t)));
        if (i >= 1) {
            spans_[i - 1] = {previous, p};
            FixedVec2 d(p.x - previous.x, p.y - previous.y);
            Fixed length = d.Length();
            spanLengths_[i - 1] = length;
            sum += length;
            // A span of zero length keeps inverse 0, so a lookup landing on it yields its start.
            inverseLengths_[i - 1] = length.raw == 0 ? Fixed() : Fixed::FromDouble(16.0 / length.ToDouble());
        }
        previous = p;
    }
    spanCount_ = n;
    length_ = sum;
    return true;
}

namespace {

template <class T>
bool CopyArray(std::unique_ptr<T[]>& to, const std::unique_ptr<T[]>& from, int count)
{
    to.reset();
    if (!from || count <= 0)
        return true;
    to.reset(new (std::nothrow) T[count]);
    if (!to)
        return false;
    std::copy(from.get(), from.get() + count, to.get());
    return true;
}

}  // namespace

bool PathSegment::CopyFrom(const PathSegment& other)
{
    Clear();
    std::copy(other.points_, other.points_ + 4, points_);
    samples_ = other.samples_;
    if (!CopyArray(spans_, other.spans_, other.spanCount_) ||
        !CopyArray(spanLengths_, other.spanLengths_, other.spanCount_) ||
        !CopyArray(inverseLengths_, other.inverseLengths_, other.spanCount_)) {
        Clear();
        return false;
    }
    spanCount_ = other.spanCount_;
    length_ = other.length_;
    tunnel = other.tunnel;
    return true;
}

FixedVec2 PathSegment::PointAtOffset(Fixed offset) const
{
    SpanWalk walk;
    return PointAtOffset(offset, walk);
}

FixedVec2 PathSegment::PointAtOffset(Fixed offset, SpanWalk& walk) const
{
    if (offset.raw <= 0)
        return points_[0];
    if (offset >= length_)
        return points_[3];
    // Span lengths are never negative, so the first span ending at or past the offset never lies
    // before the one an earlier, smaller offset found.
    for (; walk.span < spanCount_; ++walk.span) {
        Fixed sum = walk.before + spanLengths_[walk.span];
        if (offset <= sum) {
            Fixed local = offset - walk.before;
            Fixed frac = Fixed::Raw(Fixed::Multiply(local, inverseLengths_[walk.span]).raw >> 4);
            const PathSpan& s = spans_[walk.span];
            return FixedVec2(Lerp(s.start.x, s.end.x, frac), Lerp(s.start.y, s.end.y, frac));
        }
        walk.before = sum;
    }
    return points_[3];
}

CurvePath::CurvePath()
{
    Reset();
}

void CurvePath::Bind(GameApp* application)
{
    application_ = application;
    const LayoutTable& layout = application->GetLayoutTable();
    for (PathSegment& segment : segments_)
        segment.Bind(layout.ints[kLayoutCurveSamples]);
    tunnelMargin_ = layout.fixed[kLayoutTunnelMargin];
    fadeEnd_ = tunnelMargin_ + layout.fixed[kLayoutBallDiameter] + Fixed::FromInt(1);
    fadeFactor_ = Fixed::Divide(Fixed::FromInt(255), fadeEnd_ - tunnelMargin_);
}

void CurvePath::Reset()
{
    table_.reset();
    tableCount_ = 0;
    for (PathSegment& segment : segments_)
        segment.Clear();
    segmentCount_ = 0;
    hole_ = nullptr;
    cachedLength_ = Fixed();
}

Fixed CurvePath::Length()
{
    if (cachedLength_.raw != 0)
        return cachedLength_;
    Fixed sum;
    for (int i = 0; i < segmentCount_; ++i)
        sum += segments_[i].GetLength();
    cachedLength_ = sum;
    return sum;
}

int CurvePath::Locate(Fixed distance, Fixed& offset) const
{
    Fixed sum;
    for (int i = 0; i < segmentCount_; ++i) {
        Fixed before = sum;
        sum += segments_[i].GetLength();
        if (distance <= sum) {
            offset = distance - before;
            return i;
        }
    }
    return -1;
}

FixedVec2 CurvePath::PointAt(Fixed distance, uint8_t* tunnel, int* segment) const
{
    if (tunnel)
        *tunnel = 0;
    if (segment)
        *segment = -1;
    Fixed r;
    int i = Locate(distance, r);
    if (i < 0)
        return kOffTrack;
    if (tunnel)
        *tunnel = HiddenIn(SidesOf(i), r) ? 1 : 0;
    if (segment)
        *segment = i;
    return segments_[i].PointAtOffset(r);
}

bool CurvePath::HiddenIn(const TunnelSides& s, Fixed r) const
{
    return s.here || (s.after && r > s.length - tunnelMargin_) || (s.before && r < tunnelMargin_);
}

int CurvePath::VisibilityAt(Fixed distance) const
{
    Fixed r;
    int i = Locate(distance, r);
    return i < 0 ? 255 : VisibilityIn(SidesOf(i), r);
}

int CurvePath::VisibilityIn(const TunnelSides& s, Fixed r) const
{
    if (s.here)
        return 0;
    if (s.after) {
        Fixed e = s.length - r;
        if (e < tunnelMargin_)
            return 0;
        if (e < fadeEnd_)
            return Fixed::Multiply(e - tunnelMargin_, fadeFactor_).ToInt();
    }
    if (s.before) {
        if (r < tunnelMargin_)
            return 0;
        if (r < fadeEnd_)
            return Fixed::Multiply(r - tunnelMargin_, fadeFactor_).ToInt();
    }
    return 255;
}

bool CurvePath::NearTunnelAt(Fixed distance) const
{
    Fixed r;
    int i = Locate(distance, r);
    return i >= 0 && NearTunnelIn(SidesOf(i), r);
}

bool CurvePath::NearTunnelIn(const TunnelSides& s, Fixed r) const
{
    return s.here || (s.after && r > s.length - fadeEnd_) || (s.before && r < fadeEnd_);
}

bool CurvePath::TunnelNeighbourhoodAt(Fixed distance) const
{
    Fixed r;
    int i = Locate(distance, r);
    return i >= 0 && NeighbourhoodIn(i);
}

bool CurvePath::NeighbourhoodIn(int i) const
{
    for (int k = i - 2; k <= i + 2; ++k)
        if (IsTunnel(k))
            return true;
    return false;
}

bool CurvePath::BuildTable()
{
    table_.reset();
    tableCount_ = 0;
    int count = 4 * (Length() + Fixed::FromInt(1)).ToInt();
    if (count <= 0)
        return false;
    table_.reset(new (std::nothrow) PathPoint[count]);
    if (!table_)
        return false;
    // One walk along the segments and their spans, as the distances only rise: the same answers
    // as the lookups above, which would each start again from the first segment.
    int i = 0;
    Fixed before;
    Fixed sum = segmentCount_ > 0 ? segments_[0].GetLength() : Fixed();
    PathSegment::SpanWalk walk;
    TunnelSides sides{};
    uint8_t neighbourhood = 0;
    if (segmentCount_ > 0) {
        sides = SidesOf(0);
        neighbourhood = NeighbourhoodIn(0) ? 4 : 0;
    }
    for (int k = 0; k < count; ++k) {
        Fixed d = Fixed::Raw(k << 6);
        while (i < segmentCount_ && d > sum) {
            ++i;
            before = sum;
            if (i < segmentCount_) {
                sum += segments_[i].GetLength();
                sides = SidesOf(i);
                neighbourhood = NeighbourhoodIn(i) ? 4 : 0;
            }
            walk = PathSegment::SpanWalk();
        }
        PathPoint& entry = table_[k];
        if (i >= segmentCount_) {
            entry.x = kOffTrack.x;
            entry.y = kOffTrack.y;
            entry.segment = -1;
            entry.visibility = 255;
            entry.flags = 0;
            continue;
        }
        Fixed r = d - before;
        FixedVec2 p = segments_[i].PointAtOffset(r, walk);
        entry.x = p.x;
        entry.y = p.y;
        entry.segment = static_cast<int16_t>(i);
        // Away from tunnels, as most of a track is, every point is in plain sight.
        if (!sides.here && !sides.before && !sides.after) {
            entry.visibility = 255;
            entry.flags = neighbourhood;
            continue;
        }
        entry.visibility = static_cast<int16_t>(VisibilityIn(sides, r));
        entry.flags = static_cast<uint8_t>((HiddenIn(sides, r) ? 1 : 0) | (NearTunnelIn(sides, r) ? 2 : 0) | neighbourhood);
    }
    tableCount_ = count;
    return true;
}

bool CurvePath::CopyFrom(const CurvePath& other)
{
    Reset();
    for (int i = 0; i < other.segmentCount_; ++i) {
        if (!segments_[i].CopyFrom(other.segments_[i])) {
            Reset();
            return false;
        }
    }
    if (!CopyArray(table_, other.table_, other.tableCount_)) {
        Reset();
        return false;
    }
    segmentCount_ = other.segmentCount_;
    tableCount_ = other.tableCount_;
    cachedLength_ = other.cachedLength_;
    return true;
}

const PathPoint* CurvePath::TableEntry(Fixed distance) const
{
    int index = distance.raw >> 6;
    if (index < 0 || index >= tableCount_)
        return nullptr;
    return &table_[index];
}

FixedVec2 CurvePath::TablePoint(Fixed distance, uint8_t* tunnel, int* segment) const
{
    const PathPoint* entry = TableEntry(distance);
    if (tunnel)
        *tunnel = entry ? (entry->flags & 1) : 0;
    if (segment)
        *segment = entry ? entry->segment : -1;
    return entry ? FixedVec2(entry->x, entry->y) : kOffTrack;
}

Fixed AngleBetweenPoints(Fixed x1, Fixed y1, Fixed x2, Fixed y2)
{
    double dx = (x2 - x1).ToDouble(), dy = (y2 - y1).ToDouble();
    double a;
    if (dx == 0)
        a = dy < 0 ? 270 : dy > 0 ? 90 : 0;
    else if (dy == 0)
        a = dx < 0 ? 180 : 0;
    else {
        double t = std::atan(std::fabs(dy / dx)) * 57.29579143313326;
        if (dx > 0)
            a = dy > 0 ? t : 360 - t;
        else
            a = dy > 0 ? 180 - t : 180 + t;
    }
    return Fixed::FromDouble(a);
}

void RotateAround(const TrigTable& table, Fixed cx, Fixed cy, Fixed dx, Fixed dy, Fixed angle, Fixed& outX,
                  Fixed& outY, int* index)
{
    int i = table.AngleToIndex(angle.raw);
    int64_t c = table.GetCosine()[i], s = table.GetSine()[i];
    Fixed rx = Fixed::Raw(fixed_detail::Wrap((int64_t(dx.raw) * c - int64_t(dy.raw) * s) >> 8));
    Fixed ry = Fixed::Raw(fixed_detail::Wrap((int64_t(dx.raw) * s + int64_t(dy.raw) * c) >> 8));
    outX = cx + rx;
    outY = cy + ry;
    if (index)
        *index = i;
}

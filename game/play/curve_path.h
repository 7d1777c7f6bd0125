#pragma once
// One ball track: a chain of cubic Bezier segments sampled into straight spans, with a lookup table
// of one point per quarter pixel of track that the per-frame placement reads.
#include <cstdint>
#include <memory>

#include "engine/core/fixed.h"

class GameApp;
class Hole;
class TrigTable;

constexpr int kMaxPathSegments = 200;

struct PathSpan {
    FixedVec2 start, end;
};

class PathSegment {
public:
    // Samples the segment into the bound number of spans; false when the spans cannot be allocated.
    bool SetPoints(const FixedVec2& p0, const FixedVec2& p1, const FixedVec2& p2, const FixedVec2& p3);
    Fixed GetLength() const { return length_; }
    FixedVec2 PointAtOffset(Fixed offset) const;
    // Where a walk along the segment stands: lookups at rising offsets resume from the last span
    // found instead of summing the spans from the start each time.
    struct SpanWalk {
        int span = 0;
        Fixed before;
    };
    // The same point as above, for offsets that never fall between calls on one walk.
    FixedVec2 PointAtOffset(Fixed offset, SpanWalk& walk) const;
    const FixedVec2& GetPoint(int i) const { return points_[i]; }
    void Bind(int samples) { samples_ = samples > 0 ? samples : 1; }
    void Clear();
    // Becomes a copy of the other segment, spans and all; false (left clear) when they cannot be
    // allocated.
    bool CopyFrom(const PathSegment& other);

    uint8_t tunnel = 0;

private:
    FixedVec2 points_[4];
    Fixed length_;
    int samples_ = 45;
    int spanCount_ = 0;
    std::unique_ptr<PathSpan[]> spans_;
    std::unique_ptr<Fixed[]> spanLengths_;
    std::unique_ptr<Fixed[]> inverseLengths_;
};

struct PathPoint {
    Fixed x, y;
    int16_t segment = -1;
    int16_t visibility = 255;
    uint8_t flags = 0;  // bit 0 tunnel, bit 1 near a tunnel mouth, bit 2 within two segments of one
};

class CurvePath {
public:
    CurvePath();
    CurvePath(const CurvePath&) = delete;
    CurvePath& operator=(const CurvePath&) = delete;

    void Bind(GameApp* application);
    void Reset();

    PathSegment& Segment(int i) { return segments_[i]; }
    const PathSegment& Segment(int i) const { return segments_[i]; }
    int GetSegmentCount() const { return segmentCount_; }
    void SetSegmentCount(int count) { segmentCount_ = count < 0 ? 0 : count > kMaxPathSegments ? kMaxPathSegments : count; }
    Hole* GetHole() const { return hole_; }
    void SetHole(Hole* hole) { hole_ = hole; }

    Fixed Length();
    FixedVec2 PointAt(Fixed distance, uint8_t* tunnel, int* segment) const;
    int VisibilityAt(Fixed distance) const;
    bool NearTunnelAt(Fixed distance) const;
    bool TunnelNeighbourhoodAt(Fixed distance) const;

    bool BuildTable();
    // Becomes a copy of the other track, its table included, without its hole; false (left reset)
    // when the copy cannot be allocated. Both are bound to the same application.
    bool CopyFrom(const CurvePath& other);
    FixedVec2 TablePoint(Fixed distance, uint8_t* tunnel, int* segment) const;
    const PathPoint* TableEntry(Fixed distance) const;
    int GetTableCount() const { return tableCount_; }

    Fixed GetTunnelMargin() const { return tunnelMargin_; }
    Fixed GetFadeEnd() const { return fadeEnd_; }

private:
    // The segment holding a distance and the offset within it; -1 beyond the end.
    int Locate(Fixed distance, Fixed& offset) const;
    // What the lookups need of a segment: its length and whether it and its neighbours are
    // tunnels, taken once per segment when the table is built.
    struct TunnelSides {
        Fixed length;
        bool here, before, after;
    };
    TunnelSides SidesOf(int i) const { return {segments_[i].GetLength(), IsTunnel(i), IsTunnel(i - 1), IsTunnel(i + 1)}; }
    // The answers of the public lookups once the segment and the offset r in it are known.
    bool HiddenIn(const TunnelSides& s, Fixed r) const;
    int VisibilityIn(const TunnelSides& s, Fixed r) const;
    bool NearTunnelIn(const TunnelSides& s, Fixed r) const;
    bool NeighbourhoodIn(int i) const;
    bool IsTunnel(int i) const { return i >= 0 && i < segmentCount_ && segments_[i].tunnel != 0; }

    PathSegment segments_[kMaxPathSegments];
    int segmentCount_ = 0;
    Hole* hole_ = nullptr;
    GameApp* application_ = nullptr;
    Fixed tunnelMargin_;
    Fixed fadeEnd_;
    Fixed fadeFactor_;
    Fixed cachedLength_;
    std::unique_ptr<PathPoint[]> table_;
    int tableCount_ = 0;
};

// Fixed degrees from (x1, y1) to (x2, y2), clockwise on the screen with 90 pointing down.
Fixed AngleBetweenPoints(Fixed x1, Fixed y1, Fixed x2, Fixed y2);

// Turns the offset (dx, dy) by the angle (Fixed degrees) with the table's 24.8 sines and adds the
// centre; index receives the table index used (it may be null).
void RotateAround(const TrigTable& table, Fixed cx, Fixed cy, Fixed dx, Fixed dy, Fixed angle, Fixed& outX,
                  Fixed& outY, int* index);

#pragma once
// A map's tracks described as pieces in the 640x480 design space: each piece starts where the one
// before it ended, heading the same way, so the joins are smooth by construction.
//   map ART                       the map's art name (for messages only)
//   overlay NAME X Y W H          an opaque cover a tunnel may run under (design rectangle)
//   curve                         starts a track
//   start X Y HEADING             first point and heading in degrees (0 right, 90 down); the first
//                                 line is lengthened backwards until it starts outside each
//                                 variant's window
//   begin X Y HEADING             the same, but the track starts exactly there (inside a tunnel)
//   line LENGTH
//   arc RADIUS ANGLE              turn by ANGLE degrees (positive: clockwise on the screen)
//   spiral R0 R1 ANGLE            turn with the radius changing evenly from R0 to R1
//   to X Y HEADING                a Bezier piece to a point, arriving with the heading
//   tunnel / open                 the pieces that follow run under an overlay / in the open
// '#' starts a comment.
#include <cstdint>
#include <string>
#include <vector>

namespace track {

struct Vec {
    double x = 0, y = 0;
};

struct Rect {
    double x0, y0, x1, y1;
    bool Holds(const Vec& p, double margin) const
    {
        return p.x >= x0 - margin && p.x <= x1 + margin && p.y >= y0 - margin && p.y <= y1 + margin;
    }
};

// The design windows of the three file variants: plain, z_wide and z_square.
constexpr int kVariants = 3;
const Rect& VariantWindow(int variant);

struct Segment {
    Vec p[4];
    bool tunnel = false;
    int line = 0;  // source line of the piece it came from
};

struct Track {
    std::vector<Segment> segments;
    bool extendStart = false;  // "start": the first segment is lengthened per variant
};

struct Overlay {
    std::string name;
    Rect rect;
};

struct Source {
    std::string art;
    std::vector<Overlay> overlays;
    std::vector<Track> tracks;
};

// Reads and builds a source; false with "<file>:<line>: <message>" in error.
bool ReadSource(const std::string& file, Source& out, std::string& error);

// The points of one track for a variant, rounded to whole design units.
std::vector<int32_t> VariantPoints(const Track& track, int variant);

// The curve file bytes of a variant: count, per curve points and tunnel bytes, then the trailer.
std::string CurveFileBytes(const Source& source, int variant);

}  // namespace track

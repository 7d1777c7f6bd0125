#pragma once
// A map's tracks as the curve file holds them (cubic Bezier segments in the 640x480 design space,
// a tunnel flag per segment), flattened into closely spaced samples along each track.
#include <cstdint>
#include <string>
#include <vector>

namespace mapart {

struct TrackSample {
    float x, y;      // design space
    float along;     // design length from the track's start
    bool tunnel;
};

struct Track {
    std::vector<float> points;     // x, y pairs of the control points
    std::vector<uint8_t> tunnels;  // one per segment
    std::vector<TrackSample> samples;
    float Length() const { return samples.empty() ? 0.f : samples.back().along; }
};

// Reads a curve file: u8 curve count, per curve u16 n and n int32 pairs and (n - 1) / 3 tunnel
// bytes, then two int32 words. False with a message on a short, oversized or malformed file.
bool ReadTracks(const std::string& path, std::vector<Track>& tracks, std::string& error);
bool ParseTracks(const std::vector<uint8_t>& bytes, std::vector<Track>& tracks, std::string& error);

// Samples every segment no further apart than `spacing` design units.
void Flatten(Track& track, float spacing);

}  // namespace mapart

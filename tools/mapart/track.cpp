#include "tools/mapart/track.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace mapart {

namespace {

constexpr int kMaxCurves = 2;
constexpr int kMaxSegments = 200;

struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    bool Take(size_t n, uint32_t& out)
    {
        if (bytes.size() - at < n)
            return false;
        out = 0;
        for (size_t i = 0; i < n; ++i)
            out |= uint32_t(bytes[at + i]) << (8 * i);
        at += n;
        return true;
    }
};

}  // namespace

bool ParseTracks(const std::vector<uint8_t>& bytes, std::vector<Track>& tracks, std::string& error)
{
    Reader in{bytes};
    uint32_t count = 0;
    if (!in.Take(1, count) || count < 1 || count > kMaxCurves) {
        error = "curve count missing or not 1 or 2";
        return false;
    }
    tracks.assign(count, Track());
    for (Track& track : tracks) {
        uint32_t n = 0;
        if (!in.Take(2, n) || n < 4 || (n - 1) / 3 > kMaxSegments) {
            error = "point count missing or outside 4.." + std::to_string(3 * kMaxSegments + 1);
            return false;
        }
        for (uint32_t i = 0; i < 2 * n; ++i) {
            uint32_t v = 0;
            if (!in.Take(4, v)) {
                error = "points cut short";
                return false;
            }
            track.points.push_back(float(int32_t(v)));
        }
        track.points.resize(size_t((n - 1) / 3 * 3 + 1) * 2);  // points after the last full segment are dropped
        for (uint32_t s = 0; s < (n - 1) / 3; ++s) {
            uint32_t t = 0;
            if (!in.Take(1, t)) {
                error = "tunnel flags cut short";
                return false;
            }
            track.tunnels.push_back(t ? 1 : 0);
        }
    }
    uint32_t trailer = 0;
    if (!in.Take(4, trailer) || !in.Take(4, trailer)) {
        error = "trailer missing";
        return false;
    }
    return true;
}

bool ReadTracks(const std::string& path, std::vector<Track>& tracks, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open";
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() > (1u << 20)) {
        error = path + ": too large for a curve file";
        return false;
    }
    if (!ParseTracks(bytes, tracks, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void Flatten(Track& track, float spacing)
{
    track.samples.clear();
    float along = 0;
    const std::vector<float>& p = track.points;
    for (size_t s = 0; s < track.tunnels.size(); ++s) {
        const float* c = &p[s * 6];
        float hull = 0;
        for (int i = 0; i < 3; ++i)
            hull += std::hypot(c[2 * i + 2] - c[2 * i], c[2 * i + 3] - c[2 * i + 1]);
        int steps = std::max(1, int(std::ceil(hull / spacing)));
        for (int i = s ? 1 : 0; i <= steps; ++i) {
            float t = float(i) / float(steps), u = 1 - t;
            float a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
            float x = a * c[0] + b * c[2] + cc * c[4] + d * c[6];
            float y = a * c[1] + b * c[3] + cc * c[5] + d * c[7];
            if (!track.samples.empty())
                along += std::hypot(x - track.samples.back().x, y - track.samples.back().y);
            // A sample on a segment's end belongs to the segment it starts.
            bool tunnel = track.tunnels[s] != 0;
            track.samples.push_back({x, y, along, tunnel});
        }
    }
}

}  // namespace mapart

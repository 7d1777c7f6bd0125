#pragma once
// Seeded value noise, its fractal sum and cell (Voronoi) noise; a period makes noise wrap so a
// picture tiles without a seam.
#include <cmath>
#include <cstdint>

namespace mapart {

inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = seed ^ (uint32_t(x) * 0x8da6b343u) ^ (uint32_t(y) * 0xd8163841u);
    h ^= h >> 13;
    h *= 0x85ebca6bu;
    h ^= h >> 16;
    h *= 0xc2b2ae35u;
    return h ^ (h >> 15);
}

inline float Unit(uint32_t h) { return float(h & 0xffffff) / float(0x1000000); }

inline int Wrap(int v, int period) { return period > 0 ? ((v % period) + period) % period : v; }

// Smooth noise in [0, 1) with lattice spacing 1; period 0 means none.
inline float ValueNoise(float x, float y, uint32_t seed, int period = 0)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto v = [&](int dx, int dy) { return Unit(Hash(Wrap(ix + dx, period), Wrap(iy + dy, period), seed)); };
    float a = v(0, 0) + (v(1, 0) - v(0, 0)) * tx;
    float b = v(0, 1) + (v(1, 1) - v(0, 1)) * tx;
    return a + (b - a) * ty;
}

// Octaves of value noise, each twice as fine and half as strong; about [0, 1).
inline float Fractal(float x, float y, uint32_t seed, int octaves, int period = 0)
{
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise(x, y, seed + uint32_t(o) * 977u, period) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

struct Cell {
    float f1, f2;   // distances to the nearest and second nearest cell point
    uint32_t id;    // hash of the nearest cell
};

// Cell noise with one jittered point per unit square.
inline Cell CellNoise(float x, float y, uint32_t seed, float jitter = 0.8f)
{
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    Cell c{1e9f, 1e9f, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            uint32_t h = Hash(ix + dx, iy + dy, seed);
            float px = float(ix + dx) + 0.5f + (Unit(h) - 0.5f) * jitter;
            float py = float(iy + dy) + 0.5f + (Unit(h >> 7 ^ h * 31u) - 0.5f) * jitter;
            float d = std::hypot(px - x, py - y);
            if (d < c.f1) {
                c.f2 = c.f1;
                c.f1 = d;
                c.id = h;
            } else if (d < c.f2) {
                c.f2 = d;
            }
        }
    return c;
}

inline float Smooth(float e0, float e1, float v)
{
    float t = (v - e0) / (e1 - e0);
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return t * t * (3 - 2 * t);
}

}  // namespace mapart

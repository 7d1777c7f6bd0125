#include "tools/mapart/ground.h"

#include <algorithm>
#include <cmath>

#include "tools/mapart/noise.h"

namespace mapart {

namespace {

const Rgb kMoss{0.27f, 0.40f, 0.15f};

// Stone with its own speckle: base and dark mixed by fine noise, shifted per piece by `tone`.
Rgb Stone(const MapArt& m, float x, float y, uint32_t seed, float tone)
{
    float n = Fractal(x / 18.f, y / 18.f, seed, 4);
    float grain = ValueNoise(x / 2.2f, y / 2.2f, seed + 5);
    Rgb c = Mix(m.base, m.dark, std::clamp(n * 1.3f - 0.25f + tone, 0.f, 1.f));
    return Scale(c, 0.92f + grain * 0.16f);
}

GroundPoint Flagstone(const MapArt& m, float x, float y, uint32_t seed, bool lava)
{
    float wx = x + (Fractal(x / 70.f, y / 70.f, seed + 11, 2) - 0.5f) * 30.f;
    float wy = y + (Fractal(x / 70.f, y / 70.f, seed + 12, 2) - 0.5f) * 30.f;
    Cell c = CellNoise(wx / 48.f, wy / 48.f, seed);
    float edge = (c.f2 - c.f1) * 48.f;  // design units to the joint
    float tone = (Unit(c.id) - 0.5f) * 0.5f;
    GroundPoint g;
    g.albedo = Stone(m, x, y, seed + 3, tone);
    if (!lava && Unit(c.id >> 3) < 0.12f)
        g.albedo = Mix(g.albedo, m.accent, 0.45f);
    g.height = 0.22f * Smooth(0.f, 5.f, edge) + 0.05f * Fractal(x / 9.f, y / 9.f, seed + 4, 2);
    float joint = 1 - Smooth(1.f, 3.5f, edge);
    g.albedo = Mix(g.albedo, Scale(m.dark, 0.55f), joint * 0.65f);
    if (lava) {
        float heat = (1 - Smooth(0.5f, 4.f, edge)) * (0.6f + 0.4f * Fractal(x / 30.f, y / 30.f, seed + 8, 3));
        g.glow = Scale(m.accent, heat * 1.1f);
    }
    return g;
}

GroundPoint Tiles(const MapArt& m, float x, float y, uint32_t seed, float w, float h, bool offsetRows)
{
    float row = std::floor(y / h);
    float sx = x + (offsetRows && int(row) % 2 ? w / 2 : 0);
    float col = std::floor(sx / w);
    float lx = sx - col * w, ly = y - row * h;
    float edge = std::min(std::min(lx, w - lx), std::min(ly, h - ly));
    uint32_t id = Hash(int(col), int(row), seed);
    GroundPoint g;
    g.albedo = Stone(m, x, y, seed + 3, (Unit(id) - 0.5f) * 0.45f);
    if (!offsetRows && (int(col) + int(row)) % 5 == 0)
        g.albedo = Mix(g.albedo, m.accent, 0.35f);
    g.height = 0.2f * Smooth(0.f, 3.5f, edge) + 0.04f * Fractal(x / 8.f, y / 8.f, seed + 4, 2);
    g.albedo = Mix(g.albedo, Scale(m.dark, 0.5f), (1 - Smooth(0.8f, 2.5f, edge)) * 0.8f);
    // Worn corners.
    float chip = Fractal(x / 6.f, y / 6.f, seed + 9, 2);
    if (edge < 4 && chip > 0.62f)
        g.height -= 0.08f;
    return g;
}

GroundPoint Sand(const MapArt& m, float x, float y, uint32_t seed)
{
    float warp = Fractal(x / 120.f, y / 120.f, seed + 1, 3) * 40.f;
    float ripple = std::sin((y * 0.9f + x * 0.35f + warp) * 0.22f);
    float dune = Fractal(x / 160.f, y / 160.f, seed + 2, 3);
    GroundPoint g;
    g.height = 0.05f * ripple + 0.25f * dune;
    float grain = ValueNoise(x / 1.3f, y / 1.3f, seed + 3);
    g.albedo = Scale(Mix(m.base, m.dark, std::clamp(dune * 1.4f - 0.3f + ripple * 0.08f, 0.f, 1.f)),
                     0.9f + 0.2f * grain);
    // Flat slabs of an old pavement showing through.
    float slab = Fractal(x / 140.f, y / 140.f, seed + 4, 3);
    float show = Smooth(0.6f, 0.66f, slab);
    if (show > 0) {
        GroundPoint t = Tiles(m, x, y, seed + 5, 64, 48, true);
        g.albedo = Mix(g.albedo, Mix(t.albedo, m.accent, 0.5f), show * 0.8f);
        g.height += show * (t.height * 0.5f);
    }
    return g;
}

GroundPoint Water(const MapArt& m, float x, float y, uint32_t seed)
{
    // A shallow pool over flagstones: the stones show through, light plays on the surface.
    GroundPoint g = Flagstone(m, x * 0.8f, y * 0.8f, seed, false);
    float a = Fractal(x / 55.f, y / 55.f, seed + 6, 3) * 9.f;
    float b = Fractal(x / 40.f + 7, y / 40.f, seed + 7, 3) * 9.f;
    float caustic = std::pow(1 - std::fabs(std::sin(a)), 6.f) + std::pow(1 - std::fabs(std::sin(b)), 6.f);
    g.albedo = Mix(g.albedo, m.accent, 0.55f);
    g.glow = Scale(Rgb{0.75f, 0.95f, 1.f}, 0.16f * caustic);
    g.height *= 0.35f;
    return g;
}

GroundPoint Pebbles(const MapArt& m, float x, float y, uint32_t seed)
{
    Cell c = CellNoise(x / 22.f, y / 22.f, seed, 0.9f);
    float r = c.f1 * 22.f, edge = (c.f2 - c.f1) * 22.f;
    GroundPoint g;
    float pick = Unit(c.id);
    Rgb colour = pick < 0.5f ? m.base : pick < 0.85f ? Mix(m.base, m.dark, 0.5f) : Mix(m.base, m.accent, 0.6f);
    g.albedo = Scale(colour, 0.9f + 0.2f * Unit(c.id >> 9));
    g.albedo = Scale(g.albedo, 0.94f + 0.12f * ValueNoise(x / 2.5f, y / 2.5f, seed + 3));
    g.height = 0.26f * Smooth(0.f, 5.f, edge) * (1 - 0.3f * Smooth(0.f, 12.f, r));
    g.albedo = Mix(g.albedo, Scale(m.dark, 0.6f), (1 - Smooth(0.5f, 2.5f, edge)) * 0.7f);
    return g;
}

GroundPoint Marble(const MapArt& m, float x, float y, uint32_t seed)
{
    GroundPoint g = Tiles(m, x, y, seed, 128, 96, false);
    float t = Fractal(x / 90.f, y / 90.f, seed + 2, 5);
    float vein = std::pow(1 - std::fabs(std::sin(x * 0.012f + y * 0.02f + t * 9.f)), 14.f);
    g.albedo = Mix(g.albedo, m.dark, vein * 0.7f);
    return g;
}

}  // namespace

GroundPoint Ground(const MapArt& m, float x, float y)
{
    uint32_t seed = m.Seed();
    GroundPoint g;
    if (m.ground == "flagstone" || m.ground == "lava")
        g = Flagstone(m, x, y, seed, m.ground == "lava");
    else if (m.ground == "tiles")
        g = Tiles(m, x, y, seed, 40, 40, false);
    else if (m.ground == "bricks")
        g = Tiles(m, x, y, seed, 56, 24, true);
    else if (m.ground == "sand")
        g = Sand(m, x, y, seed);
    else if (m.ground == "water")
        g = Water(m, x, y, seed);
    else if (m.ground == "pebbles")
        g = Pebbles(m, x, y, seed);
    else
        g = Marble(m, x, y, seed);
    if (m.moss > 0) {
        float n = Fractal(x / 80.f, y / 80.f, seed + 20, 4) + 0.25f * (0.2f - g.height);
        float grow = Smooth(1.f - m.moss * 0.7f, 1.05f - m.moss * 0.6f, n);
        float fine = ValueNoise(x / 2.f, y / 2.f, seed + 21);
        g.albedo = Mix(g.albedo, Scale(kMoss, 0.75f + 0.5f * fine), grow * 0.9f);
        g.height += grow * 0.04f * fine;
    }
    return g;
}

}  // namespace mapart

#include "tools/mapart/extras.h"

#include <algorithm>
#include <cmath>

#include "tools/mapart/ground.h"
#include "tools/mapart/noise.h"

namespace mapart {

namespace {

// Rows from `from` down lose colour and contrast: the game writes the map's name there.
void Quieten(Picture& p, float from)
{
    Picture soft = p;
    const int r = std::max(1, p.width / 60);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0, n = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        int xx = std::clamp(x + dx, 0, p.width - 1), yy = std::clamp(y + dy, 0, p.height - 1);
                        sum += p.rgb[(size_t(yy) * size_t(p.width) + size_t(xx)) * 3 + size_t(c)];
                        ++n;
                    }
                soft.rgb[(size_t(y) * size_t(p.width) + size_t(x)) * 3 + size_t(c)] = uint8_t(sum / n);
            }
    for (int y = 0; y < p.height; ++y) {
        float t = Smooth(from * float(p.height), float(p.height) * (from + 0.3f), float(y));
        for (int x = 0; x < p.width; ++x) {
            uint8_t* q = &p.rgb[(size_t(y) * size_t(p.width) + size_t(x)) * 3];
            const uint8_t* b = &soft.rgb[(size_t(y) * size_t(p.width) + size_t(x)) * 3];
            float grey = (float(b[0]) * 0.3f + float(b[1]) * 0.59f + float(b[2]) * 0.11f);
            for (int c = 0; c < 3; ++c) {
                float v = float(q[c]) + (float(b[c]) - float(q[c])) * t;
                v = v + (grey - v) * 0.45f * t;
                q[c] = uint8_t(std::clamp(v * (1 - 0.45f * t), 0.f, 255.f));
            }
        }
    }
}

// Cuts the middle of the design area to the thumbnail's shape and renders it twice as large,
// then halves it, for smooth edges.
View ThumbnailView(int width, int height)
{
    View v;
    v.width = 2 * width;
    v.height = 2 * height;
    v.scale = float(v.width) / 640.f;
    v.offsetY = (float(v.height) - 480.f * v.scale) / 2;
    return v;
}

}  // namespace

void ThumbnailSize(int screenWidth, int screenHeight, int& width, int& height)
{
    if (screenWidth >= 640) {
        width = 305;
        height = 197;
    } else if (screenWidth == 240 && screenHeight == 240) {
        width = 114;
        height = 73;
    } else {
        width = 152;
        height = 98;
    }
}

Picture Thumbnail(const MapArt& map, const std::vector<Track>& plainTracks, int width, int height)
{
    Picture p = Halve(PaintLevel(map, plainTracks, ThumbnailView(width, height), false).picture);
    Quieten(p, 0.5f);
    return p;
}

Picture NebulaThumbnail(int width, int height, float scale)
{
    Picture big = Nebula(width * 2, height * 2, scale * 2);
    Picture p = Halve(big);
    Quieten(p, 0.5f);
    return p;
}

Picture RandomThumbnail(int width, int height)
{
    MapArt m;
    m.art = "random";
    m.ground = "flagstone";
    ParseColour("#4a4640", m.base);
    ParseColour("#2a2724", m.dark);
    ParseColour("#5a4a38", m.accent);
    m.frogX = 320;
    m.frogY = 240;
    // A spiral groove winding in to the middle, its ends lost in the dark.
    Track spiral;
    float along = 0;
    for (float a = 0; a < 6.2f * 3.14159f; a += 0.01f) {
        float r = 300 - a * 12.5f;
        float x = 320 + r * std::cos(a) * 1.05f, y = 240 + r * std::sin(a) * 0.8f;
        if (!spiral.samples.empty())
            along += std::hypot(x - spiral.samples.back().x, y - spiral.samples.back().y);
        spiral.samples.push_back({x, y, along, false});
    }
    Picture p = Halve(PaintLevel(m, {spiral}, ThumbnailView(width, height), false).picture);
    // Darker towards the middle, where "?" or the locked text stands.
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            float u = (float(x) + 0.5f) / float(p.width) - 0.5f, v = (float(y) + 0.5f) / float(p.height) - 0.5f;
            float k = 0.55f + 0.5f * std::min(1.f, std::sqrt(u * u + v * v) * 1.6f);
            uint8_t* q = &p.rgb[(size_t(y) * size_t(p.width) + size_t(x)) * 3];
            for (int c = 0; c < 3; ++c)
                q[c] = uint8_t(std::clamp(float(q[c]) * k, 0.f, 255.f));
        }
    return p;
}

Picture Nebula(int width, int height, float scale)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.assign(size_t(width) * size_t(height) * 3, 0);
    const int period = 5;
    std::vector<float> light(size_t(width) * size_t(height) * 3, 0.f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Noise on a torus: the lattice wraps at the picture's edges.
            float u = float(x) / float(width) * period, v = float(y) / float(height) * period;
            float a = Fractal(u, v, 101, 6, period);
            float b = Fractal(u + 1.7f, v + 3.1f, 202, 6, period);
            float c = Fractal(u * 2, v * 2, 303, 5, period * 2);
            float ridge = 1 - std::fabs(c * 2 - 1);
            float cloud1 = Smooth(0.42f, 0.8f, a), cloud2 = Smooth(0.45f, 0.82f, b);
            float fil = std::pow(ridge, 8.f) * cloud1;
            float* q = &light[(size_t(y) * size_t(width) + size_t(x)) * 3];
            q[0] = 0.03f + 0.55f * cloud1 * cloud1 + 0.08f * cloud2 + 0.35f * fil;
            q[1] = 0.02f + 0.12f * cloud1 * cloud1 + 0.32f * cloud2 * cloud2 + 0.25f * fil;
            q[2] = 0.08f + 0.5f * cloud1 + 0.45f * cloud2 * cloud2 + 0.3f * fil;
        }
    // Stars: fine dust everywhere and a few bright ones with a glow, drawn wrapping round.
    uint32_t count = uint32_t(float(width * height) / (900.f * scale * scale)) + 20;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t h = Hash(int32_t(k), 7, 909);
        float sx = Unit(h) * float(width), sy = Unit(Hash(int32_t(k), 8, 909)) * float(height);
        float bright = Unit(h >> 5);
        float radius = (bright > 0.93f ? 2.4f : bright > 0.7f ? 1.2f : 0.6f) * std::max(scale, 0.5f);
        float power = 0.35f + 0.9f * bright;
        int r = int(std::ceil(radius * 3));
        float tint = Unit(h >> 11);
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                int x = Wrap(int(sx) + dx, width), y = Wrap(int(sy) + dy, height);
                float d = std::hypot(float(dx) + 0.5f - (sx - std::floor(sx)), float(dy) + 0.5f - (sy - std::floor(sy)));
                float f = power * std::exp(-d * d / (radius * radius));
                float* q = &light[(size_t(y) * size_t(width) + size_t(x)) * 3];
                q[0] += f * (0.85f + 0.15f * tint);
                q[1] += f * 0.9f;
                q[2] += f * (1.f - 0.15f * tint);
            }
    }
    for (size_t i = 0; i < light.size(); ++i)
        p.rgb[i] = uint8_t(std::clamp(light[i] * 255.f + 0.5f, 0.f, 255.f));
    return p;
}

}  // namespace mapart

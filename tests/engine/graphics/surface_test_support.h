#pragma once
// Small helpers shared by the drawing tests.
#include <cstdint>
#include <memory>
#include <random>

#include "engine/core/application.h"
#include "engine/graphics/surface.h"
#include "support/pixel_hash.h"

namespace drawing_test {

inline DisplayProperties FormatProperties(int format)
{
    static const int depth[] = {12, 15, 16, 24, 32};
    DisplayProperties p;
    p.bitsPerPixel = depth[format];
    p.formatFlags = format;
    return p;
}

// A 5:6:5 surface with no application: orientation 0 unless given.
inline std::unique_ptr<Surface> Make565(int w, int h, int orientation = 0, bool alpha = true)
{
    auto s = std::make_unique<Surface>(nullptr);
    s->SetOrientation(orientation);
    s->Create(w, h);
    if (!alpha)
        s->FreeAlpha();
    return s;
}

inline uint16_t& At(Surface& s, int rawX, int rawY)
{
    return s.GetPixels()[rawY * s.GetRawWidth() + rawX];
}

// The pixel at a logical position, through the surface's orientation.
inline uint16_t Logical(const Surface& s, int x, int y)
{
    int rx = x, ry = y;
    if (s.GetOrientation() == 1) {
        rx = y;
        ry = s.GetRawHeight() - 1 - x;
    } else if (s.GetOrientation() == 2) {
        rx = s.GetRawWidth() - 1 - y;
        ry = x;
    }
    return s.GetPixels()[ry * s.GetRawWidth() + rx];
}

inline void Fill(Surface& s, uint16_t value)
{
    for (int i = 0; i < s.GetRawWidth() * s.GetRawHeight(); ++i)
        s.GetPixels()[i] = value;
}

inline void FillRandom(Surface& s, std::mt19937& rng, bool alpha = true)
{
    for (int i = 0; i < s.GetRawWidth() * s.GetRawHeight(); ++i) {
        s.GetPixels()[i] = uint16_t(rng());
        if (alpha && s.GetAlpha())
            s.GetAlpha()[i] = uint8_t(rng());
    }
}

inline uint64_t Checksum(const Surface& s)
{
    return PixelHash(s.GetPixels(), size_t(s.GetRawWidth()) * size_t(s.GetRawHeight()));
}

inline int Red(uint16_t p) { return p >> 11; }
inline int Green(uint16_t p) { return (p >> 5) & 63; }
inline int Blue(uint16_t p) { return p & 31; }

}  // namespace drawing_test

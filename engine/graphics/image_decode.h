#pragma once
// What the JPEG and PNG decoders share: the size limits, where a decoded pixel goes in a turned
// surface, and the 16-bit pixel words.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/load_result.h"

class Application;
class PackMemoryFile;
class Surface;

namespace image_decode {

// No art of the game comes near 4096 x 2048 pixels; a header asking for more is refused before
// anything is allocated or decoded for it. A side alone is not bounded: a long strip costs what a
// square of its pixels does (the decoders keep limits of their own, far past any screen).
constexpr size_t kMaxPixels = size_t(1) << 23;

inline bool SizeAllowed(uint32_t width, uint32_t height)
{
    return width > 0 && height > 0 && size_t(width) * size_t(height) <= kMaxPixels;
}

// Where the pixels of image row y of a w x h image go on a surface of the given orientation:
// pixel (x, y) at raw index start + x * step. Orientation 1 stores (x, y) at (w - 1 - x) * h + y,
// orientation 2 at x * h + (h - 1 - y), any other at y * w + x.
struct RowPlacement {
    ptrdiff_t start;
    ptrdiff_t step;
};

inline RowPlacement PlaceRow(int orientation, size_t y, size_t w, size_t h)
{
    if (orientation == 1)
        return {ptrdiff_t((w - 1) * h + y), -ptrdiff_t(h)};
    if (orientation == 2)
        return {ptrdiff_t(h - 1 - y), ptrdiff_t(h)};
    return {ptrdiff_t(y * w), 1};
}

// 4:4:4 for pixel format 0, else 5:6:5.
inline uint16_t PixelWord(int format, int r, int g, int b)
{
    if (format == 0)
        return static_cast<uint16_t>(((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// What a decoder needs to know of its target.
struct Target {
    int orientation = 0;
    int format = 2;
};

// Opens the file (packs first, then the disk) and picks the surface to fill: the given target or
// a new one from the application, 16-bit unless only the alpha plane is read. A failure of either
// leaves nothing open or made.
LoadResult BeginLoad(Application* app, const char* path, Surface* target, bool alphaOnly,
                     std::unique_ptr<PackMemoryFile>* file, Surface** surface);
// Deletes a surface the loader made; a caller's target is kept. Hands back null with why.
LoadedValue<Surface*> Fail(Surface* surface, Surface* target, const LoadResult& why);

}  // namespace image_decode

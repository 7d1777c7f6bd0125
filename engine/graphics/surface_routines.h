#pragma once
// The per-format routines behind Surface, each file giving the ones it holds.
#include <cstdint>

#include "engine/core/invariant.h"
#include "engine/graphics/surface.h"

namespace surface_routines {

// Whether the w x h rectangle at (x, y) lies inside a width x height surface: what every clip
// hands the pixel loops after it.
inline bool RectInside(int64_t x, int64_t y, int64_t w, int64_t h, int64_t width, int64_t height)
{
    return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= width && y + h <= height;
}

Surface::BlitRoutine BlitFor(int format);
Surface::MaskRoutine MaskFor(int format);
Surface::MaskRoutine AdditiveMaskFor(int format);
Surface::ClearRoutine ClearFor(int format);

// The part of a source drawn by the blit and mask routines, clipped against both surfaces.
// Destination rows run dy0..dy0+h-1 and columns dx0..dx0+w-1; the source column for drawn column i
// is sx0 + i * sxStep (sxStep is -1 when mirrored), likewise for rows.
struct ClippedBlit {
    int dx0 = 0, dy0 = 0, w = 0, h = 0;
    int sx0 = 0, sy0 = 0, sxStep = 1, syStep = 1;
};
// Raw position (x, y) of the source's raw origin, logical part size w x h (0: whole source).
bool ClipBlit(const Surface& source, const SurfaceBase* destination, int x, int y, int w, int h, int flags,
              ClippedBlit& out);

// The same rectangle in both surfaces' raw terms, clipped against both.
struct ClippedRegion {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};
bool ClipRegion(const Surface& source, const SurfaceBase* destination, int x, int y, int w, int h, int sourceX,
                int sourceY, ClippedRegion& out);

// Half-open raw ranges covering a logical rectangle of a surface, clamped to its raw size.
bool ClampedRawRect(const SurfaceBase& surface, int x, int y, int w, int h, RawRect& out);

}  // namespace surface_routines

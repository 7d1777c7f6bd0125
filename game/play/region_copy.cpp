#include "game/play/region_copy.h"

#include <cstring>

#include "engine/graphics/surface.h"
#include "engine/graphics/surface_routines.h"

void CopyRegionOpaque(Surface* source, SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY)
{
    if (!source || !destination || !source->GetPixels() || !destination->GetPixels() ||
        source->GetBytesPerPixel() != 2 || destination->GetBytesPerPixel() != 2 || w < 1 || h < 1)
        return;
    surface_routines::ClippedRegion c;
    if (!surface_routines::ClipRegion(*source, destination, x, y, w, h, sourceX, sourceY, c))
        return;
    for (int j = 0; j < c.h; ++j)
        std::memcpy(destination->GetPixels() + size_t(c.dy + j) * destination->GetRawWidth() + c.dx,
                    source->GetPixels() + size_t(c.sy + j) * source->GetRawWidth() + c.sx, size_t(c.w) * 2);
}

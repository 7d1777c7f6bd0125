// Region blits: a source rectangle onto the destination, plain, additive or tinted.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "engine/graphics/blend_rows.h"
#include "engine/graphics/surface_routines.h"

namespace surface_routines {

bool ClipRegion(const Surface& source, const SurfaceBase* destination, int x, int y, int w, int h, int sourceX,
                int sourceY, ClippedRegion& out)
{
    if (w == 0)
        w = source.GetWidth();
    if (h == 0)
        h = source.GetHeight();
    if (w < 1 || h < 1)
        return false;
    WideRect from{sourceX, sourceY, w, h};
    WideRect to{x, y, w, h};
    int orientation = source.GetOrientation();
    if (orientation == 1 || orientation == 2) {
        from = MapLogicalRectWide(orientation, source.GetRawWidth(), source.GetRawHeight(), sourceX, sourceY, w, h);
        to = MapLogicalRectWide(destination->GetOrientation(), destination->GetRawWidth(),
                                destination->GetRawHeight(), x, y, w, h);
        to.w = from.w;
        to.h = from.h;
    }
    // Cutting either rectangle at its surface's edge moves the other one's start by the same amount.
    int64_t sx = from.x, sy = from.y, dx = to.x, dy = to.y, cw = from.w, ch = from.h;
    if (sx < 0) {
        dx -= sx;
        cw += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        ch += sy;
        sy = 0;
    }
    if (dx < 0) {
        sx -= dx;
        cw += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        ch += dy;
        dy = 0;
    }
    cw = std::min<int64_t>({cw, source.GetRawWidth() - sx, destination->GetRawWidth() - dx});
    ch = std::min<int64_t>({ch, source.GetRawHeight() - sy, destination->GetRawHeight() - dy});
    if (cw < 1 || ch < 1)
        return false;
    out = {int(dx), int(dy), int(sx), int(sy), int(cw), int(ch)};
    KELO_ASSERT(RectInside(dx, dy, cw, ch, destination->GetRawWidth(), destination->GetRawHeight()));
    KELO_ASSERT(RectInside(sx, sy, cw, ch, source.GetRawWidth(), source.GetRawHeight()));
    return true;
}

namespace {

struct Rows {
    uint16_t* d;
    const uint16_t* s;
    const uint8_t* a;
    int destinationStride, sourceStride;
    void Next()
    {
        d += destinationStride;
        s += sourceStride;
        if (a)
            a += sourceStride;
    }
};

Rows StartRows(const Surface& source, SurfaceBase* destination, const ClippedRegion& c)
{
    size_t sourceStart = size_t(c.sy) * source.GetRawWidth() + c.sx;
    return {destination->GetPixels() + size_t(c.dy) * destination->GetRawWidth() + c.dx,
            source.GetPixels() + sourceStart, source.GetAlpha() ? source.GetAlpha() + sourceStart : nullptr,
            destination->GetRawWidth(), source.GetRawWidth()};
}

bool Usable(const Surface& source, const SurfaceBase* destination)
{
    return source.GetPixels() && destination && destination->GetPixels() && destination->GetBytesPerPixel() == 2 &&
           source.GetBytesPerPixel() == 2;
}

void KeyedRegion(const Surface& source, SurfaceBase* destination, const ClippedRegion& c, int alphaOffset)
{
    int a = alphaOffset == 0 ? 255 : 255 + alphaOffset;
    if (a < 11)
        return;
    uint16_t key = source.GetColourKey();
    Rows rows = StartRows(source, destination, c);
    for (int j = 0; j < c.h; ++j, rows.Next()) {
        for (int i = 0; i < c.w; ++i) {
            if (rows.s[i] != key)
                rows.d[i] = a < 245 ? pixel::Blend565(rows.d[i], rows.s[i], a) : rows.s[i];
        }
    }
}

template <class F>
void PlainRegion(const Surface& source, SurfaceBase* destination, const ClippedRegion& c, int alphaOffset)
{
    const blend_rows::Kernels& k = blend_rows::Active();
    const bool fast565 = std::is_same_v<F, pixel::Format565>;
    Rows rows = StartRows(source, destination, c);
    if (rows.a) {
        for (int j = 0; j < c.h; ++j, rows.Next()) {
            if (alphaOffset == 0)
                (fast565 ? k.alpha : blend_rows::AlphaRow<F>)(rows.d, rows.s, rows.a, c.w);
            else
                (fast565 ? k.alphaOffset : blend_rows::AlphaOffsetRow<F>)(rows.d, rows.s, rows.a, c.w, alphaOffset);
        }
        return;
    }
    int a = 255 + alphaOffset;
    if (alphaOffset != 0 && a < 10)
        return;
    for (int j = 0; j < c.h; ++j, rows.Next()) {
        if (alphaOffset == 0 || a >= 245)
            memcpy(rows.d, rows.s, size_t(c.w) * 2);
        else
            (fast565 ? k.constant : blend_rows::ConstantRow<F>)(rows.d, rows.s, c.w, a);
    }
}

template <class F>
void AdditiveRegion(const Surface& source, SurfaceBase* destination, const ClippedRegion& c, int alphaOffset)
{
    auto row = std::is_same_v<F, pixel::Format565> ? blend_rows::Active().additive : blend_rows::AdditiveRow<F>;
    Rows rows = StartRows(source, destination, c);
    for (int j = 0; j < c.h; ++j, rows.Next())
        row(rows.d, rows.s, rows.a, c.w, alphaOffset);
}

template <class F>
void TintedRegion(const Surface& source, SurfaceBase* destination, const ClippedRegion& c, int r, int g, int b,
                  int alphaOffset)
{
    auto row = std::is_same_v<F, pixel::Format565> ? blend_rows::Active().tinted : blend_rows::TintedRow<F>;
    int red = (r & 255) >> (8 - F::kRedBits), green = (g & 255) >> (8 - F::kGreenBits);
    int blue = (b & 255) >> (8 - F::kBlueBits);
    Rows rows = StartRows(source, destination, c);
    for (int j = 0; j < c.h; ++j, rows.Next())
        row(rows.d, rows.s, rows.a, c.w, alphaOffset, red, green, blue);
}

}  // namespace
}  // namespace surface_routines

using namespace surface_routines;

void Surface::BlitRegion(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                         int alphaOffset)
{
    if (!Usable(*this, destination))
        return;
    if (!colourKeyed_ && format_ != 2 && format_ != 0)
        return;
    ClippedRegion c;
    if (!ClipRegion(*this, destination, x, y, w, h, sourceX, sourceY, c))
        return;
    if (colourKeyed_)
        KeyedRegion(*this, destination, c, alphaOffset);
    else if (format_ == 2)
        PlainRegion<pixel::Format565>(*this, destination, c, alphaOffset);
    else
        PlainRegion<pixel::Format444>(*this, destination, c, alphaOffset);
}

void Surface::BlitRegionAdditive(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                                 int alphaOffset)
{
    if (!Usable(*this, destination) || !alpha_ || (format_ != 2 && format_ != 0))
        return;
    ClippedRegion c;
    if (!ClipRegion(*this, destination, x, y, w, h, sourceX, sourceY, c))
        return;
    if (format_ == 2)
        AdditiveRegion<pixel::Format565>(*this, destination, c, alphaOffset);
    else
        AdditiveRegion<pixel::Format444>(*this, destination, c, alphaOffset);
}

void Surface::BlitRegionTinted(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h,
                               int sourceX, int sourceY, int alphaOffset)
{
    if (r == 255 && g == 255 && b == 255) {
        BlitRegion(destination, x, y, w, h, sourceX, sourceY, alphaOffset);
        return;
    }
    if (!Usable(*this, destination) || colourKeyed_ || !alpha_ || (format_ != 2 && format_ != 0))
        return;
    ClippedRegion c;
    if (!ClipRegion(*this, destination, x, y, w, h, sourceX, sourceY, c))
        return;
    if (format_ == 2)
        TintedRegion<pixel::Format565>(*this, destination, c, r, g, b, alphaOffset);
    else
        TintedRegion<pixel::Format444>(*this, destination, c, r, g, b, alphaOffset);
}

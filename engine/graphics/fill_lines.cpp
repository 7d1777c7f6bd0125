// Solid drawing: lines, outlines, fills and the clear routines.
#include "engine/graphics/fill_lines.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "engine/graphics/blend_rows.h"
#include "engine/graphics/surface_routines.h"

namespace surface_routines {

bool ClampedRawRect(const SurfaceBase& surface, int x, int y, int w, int h, RawRect& out)
{
    if (w <= 0 || h <= 0)
        return false;
    int64_t W = surface.GetRawWidth(), H = surface.GetRawHeight();
    WideRect r = MapLogicalRectWide(surface.GetOrientation(), W, H, x, y, w, h);
    int64_t rx = r.x, ry = r.y, rw = r.w, rh = r.h;
    int64_t x1 = std::max<int64_t>(rx, 0), x2 = std::min<int64_t>(rx + rw, W);
    int64_t y1 = std::max<int64_t>(ry, 0), y2 = std::min<int64_t>(ry + rh, H);
    if (x1 >= x2 || y1 >= y2)
        return false;
    out = {int(x1), int(y1), int(x2 - x1), int(y2 - y1)};
    return true;
}

namespace {

template <class F>
void ClearPacked(Surface& surface, int r, int g, int b)
{
    uint16_t colour = F::Pack(r, g, b);
    uint16_t* p = surface.GetPixels();
    size_t count = size_t(surface.GetRawWidth()) * size_t(surface.GetRawHeight());
    if constexpr (std::is_same_v<F, pixel::Format565>) {
        size_t i = 0;
        for (; i + 8 <= count; i += 8) {
            p[i] = colour;
            p[i + 1] = colour;
            p[i + 2] = colour;
            p[i + 3] = colour;
            p[i + 4] = colour;
            p[i + 5] = colour;
            p[i + 6] = colour;
            p[i + 7] = colour;
        }
        for (; i < count; ++i)
            p[i] = colour;
    } else if constexpr (std::is_same_v<F, pixel::Format444>) {
        // Two pixels per 32-bit store, then the odd one.
        uint32_t both = colour | uint32_t(colour) << 16;
        size_t i = 0;
        for (; i + 2 <= count; i += 2)
            memcpy(p + i, &both, 4);
        if (i < count)
            p[i] = colour;
    } else {
        for (size_t i = 0; i < count; ++i)
            p[i] = colour;
    }
}

template <int Bytes>
void ClearBytes(Surface& surface, int r, int g, int b)
{
    uint8_t* p = surface.GetPixelBytes();
    size_t count = size_t(surface.GetRawWidth()) * size_t(surface.GetRawHeight());
    for (size_t i = 0; i < count; ++i, p += Bytes) {
        p[0] = uint8_t(b);
        p[1] = uint8_t(g);
        p[2] = uint8_t(r);
    }
}

template <class F>
void Line(uint16_t* p, int count, int step, uint16_t colour, int alpha)
{
    for (int i = 0; i < count; ++i, p += step)
        *p = alpha >= 255 ? colour : F::Blend(*p, colour, alpha);
}

// A raw run along one line of a 4:4:4 or 5:6:5 surface, half-open and clamped.
void DrawRun(SurfaceBase& surface, int fixed, bool vertical, int start, int end, int r, int g, int b, int alpha)
{
    uint16_t* pixels = surface.GetPixels();
    int format = surface.GetFormat();
    if (!pixels || alpha <= 0 || (format != 0 && format != 2))
        return;
    int W = surface.GetRawWidth(), H = surface.GetRawHeight();
    int across = vertical ? W : H, along = vertical ? H : W;
    if (fixed < 0 || fixed >= across)
        return;
    start = std::clamp(start, 0, along);
    end = std::clamp(end, 0, along);
    if (start >= end)
        return;
    uint16_t* p = vertical ? pixels + size_t(start) * W + fixed : pixels + size_t(fixed) * W + start;
    int step = vertical ? W : 1;
    if (format == 2)
        Line<pixel::Format565>(p, end - start, step, pixel::Format565::Pack(r, g, b), alpha);
    else
        Line<pixel::Format444>(p, end - start, step, pixel::Format444::Pack(r, g, b), alpha);
}

}  // namespace

Surface::ClearRoutine ClearFor(int format)
{
    switch (format) {
    case 0: return ClearPacked<pixel::Format444>;
    case 1: return ClearPacked<pixel::Format555>;
    case 2: return ClearPacked<pixel::Format565>;
    case 3: return ClearBytes<3>;
    case 4: return ClearBytes<4>;
    default: return nullptr;
    }
}

}  // namespace surface_routines

using namespace surface_routines;

void Surface::DrawHLine(int x1, int x2, int y, int r, int g, int b, int alpha)
{
    DrawRun(*this, y, false, x1, x2, r, g, b, alpha);
}

void Surface::DrawVLine(int x, int y1, int y2, int r, int g, int b, int alpha)
{
    DrawRun(*this, x, true, y1, y2, r, g, b, alpha);
}

void Surface::DrawRect(int x, int y, int w, int h, int r, int g, int b)
{
    if (w <= 0 || h <= 0)
        return;
    // The runs clamp their ends and skip rows or columns off the surface, so ends held within the
    // int range draw what the true ones would.
    WideRect raw = MapLogicalRectWide(orientation_, rawWidth_, rawHeight_, x, y, w, h);
    int x1 = SaturateToInt(raw.x), y1 = SaturateToInt(raw.y);
    int x2 = SaturateToInt(raw.x + raw.w), y2 = SaturateToInt(raw.y + raw.h);
    int lastColumn = SaturateToInt(raw.x + raw.w - 1), lastRow = SaturateToInt(raw.y + raw.h - 1);
    DrawHLine(x1, x2, y1, r, g, b, 255);
    DrawHLine(x1, x2, lastRow, r, g, b, 255);
    DrawVLine(x1, y1, y2, r, g, b, 255);
    DrawVLine(lastColumn, y1, y2, r, g, b, 255);
}

void Surface::FillRect(int x, int y, int w, int h, int r, int g, int b)
{
    RawRect c;
    if (!pixels_ || format_ == 4 || !ClampedRawRect(*this, x, y, w, h, c))
        return;
    if (format_ == 3) {
        for (int j = 0; j < c.h; ++j) {
            uint8_t* p = pixels_ + (size_t(c.y + j) * rawWidth_ + c.x) * 3;
            for (int i = 0; i < c.w; ++i, p += 3) {
                p[0] = uint8_t(b);
                p[1] = uint8_t(g);
                p[2] = uint8_t(r);
            }
        }
        return;
    }
    uint16_t colour = format_ == 0   ? pixel::Format444::Pack(r, g, b)
                      : format_ == 1 ? pixel::Format555::Pack(r, g, b)
                                     : pixel::Format565::Pack(r, g, b);
    for (int j = 0; j < c.h; ++j) {
        uint16_t* p = GetPixels() + size_t(c.y + j) * rawWidth_ + c.x;
        for (int i = 0; i < c.w; ++i)
            p[i] = colour;
    }
}

void FillRectRotatedAdditive(Application*, SurfaceBase* surface, int x, int y, int w, int h, int r, int g, int b)
{
    RawRect c;
    if (!surface || !surface->GetPixels() || surface->GetBitDepth() != 16 || surface->GetBytesPerPixel() != 2 ||
        !ClampedRawRect(*surface, x, y, w, h, c))
        return;
    int red = (r & 255) >> 3, green = (g & 255) >> 2, blue = (b & 255) >> 3;
    for (int j = 0; j < c.h; ++j) {
        uint16_t* p = surface->GetPixels() + size_t(c.y + j) * surface->GetRawWidth() + c.x;
        for (int i = 0; i < c.w; ++i) {
            int pr = (p[i] >> 11) + red, pg = ((p[i] >> 5) & 63) + green, pb = (p[i] & 31) + blue;
            p[i] = pixel::Format565::Make(pr > 31 ? 31 : pr, pg > 63 ? 63 : pg, pb > 31 ? 31 : pb);
        }
    }
}

void FillRectRotatedBlend(Application*, SurfaceBase* surface, int x, int y, int w, int h, int r, int g, int b,
                          int alpha)
{
    if (!surface || !surface->GetPixels() || surface->GetBitDepth() != 16 || surface->GetBytesPerPixel() != 2)
        return;
    if (alpha >= 255) {
        surface->FillRect(x, y, w, h, r, g, b);
        return;
    }
    RawRect c;
    if (alpha <= 0 || !ClampedRawRect(*surface, x, y, w, h, c))
        return;
    auto row = blend_rows::Active().fillBlend;
    uint16_t colour = pixel::Format565::Pack(r, g, b);
    for (int j = 0; j < c.h; ++j)
        row(surface->GetPixels() + size_t(c.y + j) * surface->GetRawWidth() + c.x, c.w, colour, alpha);
}

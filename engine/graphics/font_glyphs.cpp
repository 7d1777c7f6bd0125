// The glyph routines of Font, one per destination depth. Every routine reads the coverage plane
// of the glyph image, skips coverage 15 and below, and returns the pen advance of the glyph
// (also when nothing is drawn).
#include <algorithm>
#include <cstdint>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"

namespace {

struct Bounds {
    int64_t left, top, right, bottom;  // right and bottom exclusive
};

Bounds Intersect(Bounds a, Bounds b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Raw index of logical (x, y) on a surface of the given orientation and raw size.
size_t RawIndex(int orientation, int rawWidth, int rawHeight, int x, int y)
{
    if (orientation == 1)
        return size_t(rawHeight - 1 - x) * size_t(rawWidth) + size_t(y);
    if (orientation == 2)
        return size_t(x) * size_t(rawWidth) + size_t(rawWidth - 1 - y);
    return size_t(y) * size_t(rawWidth) + size_t(x);
}

int Red(uint16_t p)
{
    return p >> 11;
}
int Green(uint16_t p)
{
    return (p >> 5) & 63;
}
int Blue(uint16_t p)
{
    return p & 31;
}
uint16_t Make565(int r, int g, int b)
{
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

}  // namespace

// The glyph's drawn window is held to its cell and to the glyph image, then clipped to the clip
// rectangle and always to the surface, so no glyph reads or writes outside its buffers.
bool Font::MeasureInk(const char* text, int* top, int* bottom) const
{
    if (!text || !coverage_)
        return false;
    int64_t first = INT64_MAX, last = INT64_MIN;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const Cell& cell = cells_[*p];
        int64_t sx1 = std::min<int64_t>({cell.x1, int64_t(cell.x0) + cellWidth_ - 1, int64_t(glyphWidth_) - 1});
        int64_t sy1 = std::min<int64_t>({cell.y1, int64_t(cell.y0) + cellHeight_, int64_t(glyphHeight_)});
        for (int64_t row = std::max<int64_t>(cell.y0, 0); row < sy1; ++row) {
            const uint8_t* cover = coverage_ + size_t(row) * size_t(glyphWidth_);
            for (int64_t column = std::max<int64_t>(cell.x0, 0); column <= sx1; ++column) {
                // Draw skips coverage this faint.
                if (cover[column] > 15) {
                    first = std::min(first, row - cell.y0);
                    last = std::max(last, row - cell.y0);
                    break;
                }
            }
        }
    }
    if (first > last)
        return false;
    // DrawText lifts the cell by the trim and lowers it by half the extra height.
    const int lift = (verticalTrim_ >> 2) - extraHeight_ / 2;
    if (top)
        *top = static_cast<int>(first) - lift;
    if (bottom)
        *bottom = static_cast<int>(last) + 1 - lift;
    return true;
}

bool Font::Place(SurfaceBase* surface, unsigned char c, int px, int py, const Rect* clip, bool rawBounds,
                 Placement& out) const
{
    const Cell& cell = cells_[c];
    int64_t sx0 = cell.x0, sy0 = cell.y0;
    int64_t sx1 = std::min<int64_t>({cell.x1, int64_t(cell.x0) + cellWidth_ - 1, int64_t(glyphWidth_) - 1});
    int64_t sy1 = std::min<int64_t>({cell.y1, int64_t(cell.y0) + cellHeight_, int64_t(glyphHeight_)});
    if (sx1 < sx0 || sy1 <= sy0)
        return false;
    int64_t dx = int64_t(px) + (glyphs_[c].lead >> 2), dy = py;
    Bounds area{dx, dy, dx + (sx1 - sx0 + 1), dy + (sy1 - sy0)};
    Bounds surfaceBounds = rawBounds ? Bounds{0, 0, surface->GetRawWidth(), surface->GetRawHeight()}
                                     : Bounds{0, 0, surface->GetWidth(), surface->GetHeight()};
    area = Intersect(area, surfaceBounds);
    if (clip)
        area = Intersect(area, Bounds{clip->x, clip->y, int64_t(clip->x) + clip->w, int64_t(clip->y) + clip->h});
    if (area.right <= area.left || area.bottom <= area.top)
        return false;
    out.sx = static_cast<int>(sx0 + (area.left - dx));
    out.sy = static_cast<int>(sy0 + (area.top - dy));
    out.w = static_cast<int>(area.right - area.left);
    out.h = static_cast<int>(area.bottom - area.top);
    out.dx = static_cast<int>(area.left);
    out.dy = static_cast<int>(area.top);
    return true;
}

bool Font::MeasureInkTop(const char* text, int* top) const
{
    return top && MeasureInk(text, top, nullptr);
}

int Font::DrawGlyph565(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                       const Rect* clip) const
{
    int advance = Advance(c);
    Placement p;
    if (alpha <= 0 || !surface->GetPixels() || !Place(surface, c, px, py, clip, false, p))
        return advance;
    int orientation = surface->GetOrientation();
    if (texture_) {
        if (orientation == 1 || orientation == 2)
            DrawGlyphTexturedRotated(surface, p, colour, alpha);
        else
            DrawGlyphTextured(surface, p, colour, alpha);
        return advance;
    }
    uint16_t* pixels = surface->GetPixels();
    int rawWidth = surface->GetRawWidth(), rawHeight = surface->GetRawHeight();
    uint16_t solid = Make565(colour.r >> 3, colour.g >> 2, colour.b >> 3);
    int cr = Red(solid), cg = Green(solid), cb = Blue(solid);
    for (int j = 0; j < p.h; ++j) {
        const uint8_t* cover = coverage_ + size_t(p.sy + j) * size_t(glyphWidth_) + size_t(p.sx);
        for (int i = 0; i < p.w; ++i) {
            int a = cover[i];
            if (a <= 15)
                continue;
            uint16_t& d = pixels[RawIndex(orientation, rawWidth, rawHeight, p.dx + i, p.dy + j)];
            int w;
            if (alpha == 255) {
                if (a > 240) {
                    d = solid;
                    continue;
                }
                // Sixteen blend levels.
                int level = a >> 4;
                d = Make565(Red(d) + (((cr - Red(d)) * level) >> 4), Green(d) + (((cg - Green(d)) * level) >> 4),
                            Blue(d) + (((cb - Blue(d)) * level) >> 4));
                continue;
            }
            w = a >= 240 ? alpha : (a * alpha) >> 8;
            if (w > 240) {
                d = solid;
                continue;
            }
            d = Make565(Red(d) + (((cr - Red(d)) * w) >> 8), Green(d) + (((cg - Green(d)) * w) >> 8),
                        Blue(d) + (((cb - Blue(d)) * w) >> 8));
        }
    }
    return advance;
}

void Font::DrawGlyphTextured(SurfaceBase* surface, const Placement& p, Colour colour, int alpha) const
{
    glyphSurface_->BlitRegionTinted(surface, colour.r, colour.g, colour.b, p.dx, p.dy, p.w, p.h, p.sx, p.sy,
                                    alpha - 255);
}

void Font::DrawGlyphTexturedRotated(SurfaceBase* surface, const Placement& p, Colour colour, int alpha) const
{
    uint16_t* pixels = surface->GetPixels();
    int orientation = surface->GetOrientation();
    int rawWidth = surface->GetRawWidth(), rawHeight = surface->GetRawHeight();
    int tr = colour.r >> 3, tg = colour.g >> 2, tb = colour.b >> 3;
    for (int j = 0; j < p.h; ++j) {
        size_t row = size_t(p.sy + j) * size_t(glyphWidth_) + size_t(p.sx);
        for (int i = 0; i < p.w; ++i) {
            int a = coverage_[row + i];
            if (a <= 15)
                continue;
            uint16_t texel = texture_[row + i];
            int r = (Red(texel) * tr) >> 5, g = (Green(texel) * tg) >> 6, b = (Blue(texel) * tb) >> 5;
            int w = alpha == 255 ? a : a >= 240 ? alpha : (a * alpha) >> 8;
            uint16_t& d = pixels[RawIndex(orientation, rawWidth, rawHeight, p.dx + i, p.dy + j)];
            d = Make565(Red(d) + (((r - Red(d)) * w) >> 8), Green(d) + (((g - Green(d)) * w) >> 8),
                        Blue(d) + (((b - Blue(d)) * w) >> 8));
        }
    }
}

// The byte depths: B, G, R (and an untouched fourth byte), the colour pulled towards the
// destination by k = 255 - weight.
template <int Bytes>
int Font::DrawGlyphBytes(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                         const Rect* clip) const
{
    int advance = Advance(c);
    Placement p;
    auto* pixels = reinterpret_cast<uint8_t*>(surface->GetPixels());
    if (alpha <= 0 || !pixels || !Place(surface, c, px, py, clip, true, p))
        return advance;
    const int channel[3] = {colour.b, colour.g, colour.r};
    size_t pitch = size_t(surface->GetRawWidth()) * Bytes;
    for (int j = 0; j < p.h; ++j) {
        const uint8_t* cover = coverage_ + size_t(p.sy + j) * size_t(glyphWidth_) + size_t(p.sx);
        uint8_t* d = pixels + size_t(p.dy + j) * pitch + size_t(p.dx) * Bytes;
        for (int i = 0; i < p.w; ++i, d += Bytes) {
            int a = cover[i];
            if (a <= 15)
                continue;
            int k = alpha == 255 ? 255 - a : 255 - ((a * alpha) >> 8);
            for (int n = 0; n < 3; ++n)
                d[n] = static_cast<uint8_t>(channel[n] + (((d[n] - channel[n]) * k) >> 8));
        }
    }
    return advance;
}

// The packed 16-bit depths other than 5:6:5: three channels of Bits bits, red at RedShift.
template <int RedShift, int Bits>
int Font::DrawGlyphPacked(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                          const Rect* clip) const
{
    int advance = Advance(c);
    Placement p;
    uint16_t* pixels = surface->GetPixels();
    if (alpha <= 0 || !pixels || !Place(surface, c, px, py, clip, true, p))
        return advance;
    constexpr int kMask = (1 << Bits) - 1;
    constexpr int kGreenShift = Bits;
    const int cr = colour.r >> (8 - Bits), cg = colour.g >> (8 - Bits), cb = colour.b >> (8 - Bits);
    size_t pitch = size_t(surface->GetRawWidth());
    for (int j = 0; j < p.h; ++j) {
        const uint8_t* cover = coverage_ + size_t(p.sy + j) * size_t(glyphWidth_) + size_t(p.sx);
        uint16_t* d = pixels + size_t(p.dy + j) * pitch + size_t(p.dx);
        for (int i = 0; i < p.w; ++i) {
            int a = cover[i];
            if (a <= 15)
                continue;
            int k = alpha == 255 ? 255 - a : 255 - ((a * alpha) >> 8);
            int dr = (d[i] >> RedShift) & kMask, dg = (d[i] >> kGreenShift) & kMask, db = d[i] & kMask;
            int r = cr + (((dr - cr) * k) >> 8), g = cg + (((dg - cg) * k) >> 8), b = cb + (((db - cb) * k) >> 8);
            d[i] = static_cast<uint16_t>((r << RedShift) | (g << kGreenShift) | b);
        }
    }
    return advance;
}

int Font::DrawGlyph8888(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                        const Rect* clip) const
{
    return DrawGlyphBytes<4>(surface, c, px, py, colour, alpha, clip);
}

int Font::DrawGlyph888(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                       const Rect* clip) const
{
    return DrawGlyphBytes<3>(surface, c, px, py, colour, alpha, clip);
}

int Font::DrawGlyph555(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                       const Rect* clip) const
{
    return DrawGlyphPacked<10, 5>(surface, c, px, py, colour, alpha, clip);
}

int Font::DrawGlyph444(SurfaceBase* surface, unsigned char c, int px, int py, Colour colour, int alpha,
                       const Rect* clip) const
{
    return DrawGlyphPacked<8, 4>(surface, c, px, py, colour, alpha, clip);
}

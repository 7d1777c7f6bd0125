// The two fast draw modes: each row's span is trimmed once to the pixels whose 2 x 2 neighbourhood
// lies inside the source, then drawn with 4-bit weights on spread pixels.
#include "engine/graphics/rotated_draw.h"

#include <cstddef>

#include "engine/graphics/surface_base.h"

namespace rotated_draw {
namespace {

struct Span {
    int first, last;
    int64_t u, v;  // at the first column
};

inline bool Inner(int64_t u, int64_t v, int W, int H)
{
    return uint32_t(u >> 16) < uint32_t(W - 1) && uint32_t(v >> 16) < uint32_t(H - 1);
}

// False when no pixel of the row is inside.
bool TrimRow(const Mapping& m, int64_t rowU, int64_t rowV, int W, int H, Span& out)
{
    int first = m.x0, last = m.x1;
    int64_t u = rowU, v = rowV;
    while (first <= last && !Inner(u, v, W, H)) {
        ++first;
        u += m.uColumn;
        v += m.vColumn;
    }
    if (first > last)
        return false;
    int64_t endU = rowU + int64_t(last - m.x0) * m.uColumn, endV = rowV + int64_t(last - m.x0) * m.vColumn;
    while (last > first && !Inner(endU, endV, W, H)) {
        --last;
        endU -= m.uColumn;
        endV -= m.vColumn;
    }
    out = {first, last, u, v};
    return true;
}

// Runs the pixel routine over the trimmed span of every row whose source pixel has an alpha above 8.
template <class PixelRoutine>
void ForEachCoveredPixel(const Params& p, const Mapping& m, PixelRoutine pixel)
{
    const int W = p.source->GetRawWidth(), H = p.source->GetRawHeight();
    const uint8_t* alpha = p.source->GetAlpha();
    if (!alpha)
        return;
    int64_t rowU = m.u, rowV = m.v;
    Span span;
    for (int y = m.y0; y <= m.y1; ++y, rowU += m.uRow, rowV += m.vRow) {
        if (!TrimRow(m, rowU, rowV, W, H, span))
            continue;
        uint16_t* d = p.destination->GetPixels() + size_t(y) * p.destination->GetRawWidth();
        int64_t u = span.u, v = span.v;
        for (int x = span.first; x <= span.last; ++x, u += m.uColumn, v += m.vColumn) {
            size_t index = size_t(v >> 16) * W + size_t(u >> 16);
            int A = alpha[index];
            if (A <= 8)
                continue;
            pixel(d[x], index, A, u, v);
        }
    }
}

}  // namespace

void DrawFastFiltered(const Params& p, const Mapping& m)
{
    const uint16_t* pixels = p.source->GetPixels();
    const size_t W = size_t(p.source->GetRawWidth());
    ForEachCoveredPixel(p, m, [pixels, W](uint16_t& d, size_t index, int A, int64_t u, int64_t v) {
        int fu = int(u >> 12) & 15, fv = int(v >> 12) & 15;
        int32_t top = MixSpread(Spread(pixels[index]), Spread(pixels[index + 1]), fu);
        int32_t bottom = MixSpread(Spread(pixels[index + W]), Spread(pixels[index + W + 1]), fu);
        int32_t colour = MixSpread(top, bottom, fv);
        d = Unspread(A < 245 ? MixSpread(Spread(d), colour, A >> 4) : colour);
    });
}

void DrawFastNearest(const Params& p, const Mapping& m)
{
    const uint16_t* pixels = p.source->GetPixels();
    ForEachCoveredPixel(p, m, [pixels](uint16_t& d, size_t index, int A, int64_t, int64_t) {
        d = A < 245 ? Unspread(MixSpread(Spread(d), Spread(pixels[index]), A >> 4)) : pixels[index];
    });
}

}  // namespace rotated_draw

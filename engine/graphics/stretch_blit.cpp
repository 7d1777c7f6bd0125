// Stretched drawing: any raw source rectangle onto any destination rectangle, nearest sample, with
// the alpha rules of the blits. One routine per format, alike but for the pixel arithmetic.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface.h"

namespace {

// ((s * a) >> 8) - ((d * a) >> 8) + d, the stretch's own mix (not the blits' blend).
inline int Mix(int s, int d, int a)
{
    return ((s * a) >> 8) - ((d * a) >> 8) + d;
}

template <class F>
void MixPixel(uint8_t* d, const uint8_t* s, int a)
{
    if constexpr (F::kBytes == 2) {
        uint16_t dp, sp;
        memcpy(&dp, d, 2);
        memcpy(&sp, s, 2);
        uint16_t out = F::Make(Mix(F::Red(sp), F::Red(dp), a), Mix(F::Green(sp), F::Green(dp), a),
                               Mix(F::Blue(sp), F::Blue(dp), a));
        memcpy(d, &out, 2);
    } else {
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<uint8_t>(Mix(s[i], d[i], a));
    }
}

template <class F>
void CopyPixel(uint8_t* d, const uint8_t* s)
{
    // The fourth byte of 32-bit pixels is alpha; colour operations leave it.
    memcpy(d, s, F::kBytes == 2 ? 2 : 3);
}

// The source index along one axis for drawn index i, or -1 when it falls outside the source.
// Steps come from the rectangle as given; the source is never read outside its raw size.
inline int SourceIndex(int64_t i, int64_t skipped, int64_t step, int start, int size, bool mirror, int limit)
{
    int64_t c = (i * 256 * step >> 8) + (skipped * 256 * step >> 8) + int64_t(start) * 256;
    c >>= 8;
    if (mirror)
        c = int64_t(start) + size - 1 - (c - start);
    return c >= 0 && c < limit ? static_cast<int>(c) : -1;
}

template <class F>
void StretchFormat(const Surface& source, SurfaceBase* destination, int x, int y, int w, int h, int sourceX,
                   int sourceY, int sourceW, int sourceH, int flags, int alphaOffset)
{
    const uint8_t* pixels = source.GetPixelBytes();
    const int rawWidth = source.GetRawWidth(), rawHeight = source.GetRawHeight();
    if (!pixels || rawWidth <= 0 || rawHeight <= 0 || !destination || !destination->GetPixels() ||
        destination->GetBytesPerPixel() != F::kBytes)
        return;
    if (w < 0 || h < 0 || sourceW < 0 || sourceH < 0)
        return;
    if (w == 0)
        w = rawWidth;
    if (h == 0)
        h = rawHeight;
    if (sourceW == 0)
        sourceW = rawWidth;
    if (sourceH == 0)
        sourceH = rawHeight;
    const int destinationWidth = destination->GetRawWidth(), destinationHeight = destination->GetRawHeight();
    if (x >= destinationWidth || y >= destinationHeight || int64_t(x) + w < 0 || int64_t(y) + h < 0)
        return;
    const int64_t stepX = (int64_t(sourceW) << 12) / (int64_t(w) << 4);
    const int64_t stepY = (int64_t(sourceH) << 12) / (int64_t(h) << 4);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = static_cast<int>(std::min<int64_t>(int64_t(x) + w, destinationWidth));
    const int y1 = static_cast<int>(std::min<int64_t>(int64_t(y) + h, destinationHeight));
    const bool mirrorX = flags & kMirrorLeftRight, mirrorY = flags & kMirrorTopBottom;
    const uint8_t* alpha = source.GetAlpha();
    auto* out = reinterpret_cast<uint8_t*>(destination->GetPixels());
    constexpr int kBytes = F::kBytes;

    for (int j = 0; j < y1 - y0; ++j) {
        int row = SourceIndex(j, y0 - int64_t(y), stepY, sourceY, sourceH, mirrorY, rawHeight);
        if (row < 0)
            continue;
        uint8_t* d = out + (size_t(y0 + j) * destinationWidth + x0) * kBytes;
        for (int i = 0; i < x1 - x0; ++i) {
            int column = SourceIndex(i, x0 - int64_t(x), stepX, sourceX, sourceW, mirrorX, rawWidth);
            if (column < 0)
                continue;
            size_t index = size_t(row) * rawWidth + column;
            int A = !alpha ? 255 : kBytes == 4 ? alpha[index * 4 + 3] : alpha[index];
            if (A == 0)
                continue;
            int a = A + alphaOffset;
            if (a <= 0)
                continue;
            if (a < 255)
                MixPixel<F>(d + i * kBytes, pixels + index * kBytes, a);
            else
                CopyPixel<F>(d + i * kBytes, pixels + index * kBytes);
        }
    }
}

}  // namespace

void Surface::StretchBlit(SurfaceBase* destination, int x, int y, int w, int h, int sourceX, int sourceY,
                          int sourceW, int sourceH, int flags, int alphaOffset)
{
    if (!destination || !pixels_)
        return;
    MapDrawPosition(destination, x, y);
    flags = MapMirrorFlags(orientation_, flags);
    switch (format_) {
    case 0:
        StretchFormat<pixel::Format444>(*this, destination, x, y, w, h, sourceX, sourceY, sourceW, sourceH, flags,
                                        alphaOffset);
        break;
    case 1:
        StretchFormat<pixel::Format555>(*this, destination, x, y, w, h, sourceX, sourceY, sourceW, sourceH, flags,
                                        alphaOffset);
        break;
    case 2:
        StretchFormat<pixel::Format565>(*this, destination, x, y, w, h, sourceX, sourceY, sourceW, sourceH, flags,
                                        alphaOffset);
        break;
    case 3:
        StretchFormat<pixel::Format24>(*this, destination, x, y, w, h, sourceX, sourceY, sourceW, sourceH, flags,
                                       alphaOffset);
        break;
    case 4:
        StretchFormat<pixel::Format32>(*this, destination, x, y, w, h, sourceX, sourceY, sourceW, sourceH, flags,
                                       alphaOffset);
        break;
    default:
        break;
    }
}

// Whole-source copies and blends: the per-format blit routine behind Blit, BlitAlpha, and the raw
// pixel and alpha copies.
#include <algorithm>
#include <cstring>

#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface_routines.h"

namespace surface_routines {

bool ClipBlit(const Surface& source, const SurfaceBase* destination, int x, int y, int w, int h, int flags,
              ClippedBlit& out)
{
    int logicalWidth = source.GetWidth(), logicalHeight = source.GetHeight();
    if (w <= 0 || w > logicalWidth)
        w = logicalWidth;
    if (h <= 0 || h > logicalHeight)
        h = logicalHeight;
    int rawWidth = source.GetRawWidth(), rawHeight = source.GetRawHeight();
    // The logical top-left w x h part in raw terms, placed where it lies in the whole source.
    int px = 0, py = 0, pw = w, ph = h;
    if (source.GetOrientation() == 1) {
        pw = h;
        ph = w;
        py = rawHeight - w;
    } else if (source.GetOrientation() == 2) {
        pw = h;
        ph = w;
        px = rawWidth - h;
    }
    // In 64 bits: the position may be anywhere in the int range.
    int64_t left = int64_t(x) + px, top = int64_t(y) + py;
    int64_t destinationWidth = destination->GetRawWidth(), destinationHeight = destination->GetRawHeight();
    if (x >= destinationWidth || y >= destinationHeight || left + pw <= 0 || top + ph <= 0)
        return false;
    int64_t i0 = left < 0 ? -left : 0, i1 = std::min<int64_t>(pw, destinationWidth - left);
    int64_t j0 = top < 0 ? -top : 0, j1 = std::min<int64_t>(ph, destinationHeight - top);
    if (i1 <= i0 || j1 <= j0)
        return false;
    out.dx0 = int(left + i0);
    out.dy0 = int(top + j0);
    out.w = int(i1 - i0);
    out.h = int(j1 - j0);
    out.sxStep = (flags & kMirrorLeftRight) ? -1 : 1;
    out.syStep = (flags & kMirrorTopBottom) ? -1 : 1;
    out.sx0 = int(out.sxStep > 0 ? px + i0 : px + pw - 1 - i0);
    out.sy0 = int(out.syStep > 0 ? py + j0 : py + ph - 1 - j0);
    KELO_ASSERT(RectInside(out.dx0, out.dy0, out.w, out.h, destinationWidth, destinationHeight));
    KELO_ASSERT(RectInside(out.sxStep > 0 ? out.sx0 : out.sx0 - out.w + 1,
                           out.syStep > 0 ? out.sy0 : out.sy0 - out.h + 1, out.w, out.h, rawWidth, rawHeight));
    return true;
}

namespace {

// The alpha byte of raw pixel i: a plane of its own, or the fourth byte of 4-byte pixels.
inline int AlphaAt(const uint8_t* alpha, int bytesPerPixel, size_t i)
{
    return bytesPerPixel == 4 ? alpha[i * 4 + 3] : alpha[i];
}

template <class F>
void BlitFormat(const Surface& source, SurfaceBase* destination, int x, int y, int w, int h, int flags,
                int alphaOffset)
{
    const uint8_t* pixels = source.GetPixelBytes();
    if (!pixels || alphaOffset < -255 || !destination || !destination->GetPixels() ||
        destination->GetBytesPerPixel() != F::kBytes)
        return;
    ClippedBlit c;
    if (!ClipBlit(source, destination, x, y, w, h, flags, c))
        return;
    const uint8_t* alpha = source.GetAlpha();
    const int sourceWidth = source.GetRawWidth(), destinationWidth = destination->GetRawWidth();
    auto* out = reinterpret_cast<uint8_t*>(destination->GetPixels());
    constexpr int kBytes = F::kBytes;

    for (int j = 0; j < c.h; ++j) {
        size_t sourceRow = size_t(c.sy0 + j * c.syStep) * sourceWidth;
        uint8_t* d = out + (size_t(c.dy0 + j) * destinationWidth + c.dx0) * kBytes;
        if constexpr (kBytes == 2) {
            if (!alpha) {
                if (c.sxStep > 0) {
                    memcpy(d, pixels + (sourceRow + c.sx0) * 2, size_t(c.w) * 2);
                } else {
                    for (int i = 0; i < c.w; ++i)
                        memcpy(d + i * 2, pixels + (sourceRow + c.sx0 - i) * 2, 2);
                }
                continue;
            }
            auto* d16 = reinterpret_cast<uint16_t*>(d);
            const auto* s16 = reinterpret_cast<const uint16_t*>(pixels);
            for (int i = 0; i < c.w; ++i) {
                size_t index = sourceRow + c.sx0 + i * c.sxStep;
                int A = alpha[index];
                if (A == 0)
                    continue;
                int a = A + alphaOffset;
                if (a <= 0)
                    continue;
                d16[i] = a < 255 ? F::Blend(d16[i], s16[index], a) : s16[index];
            }
        } else {
            for (int i = 0; i < c.w; ++i) {
                size_t index = sourceRow + c.sx0 + i * c.sxStep;
                int A = alpha ? AlphaAt(alpha, kBytes, index) : 255;
                if (A <= 8)
                    continue;
                int a = A + alphaOffset;
                if (a <= 8)
                    continue;
                if (a >= 247)
                    F::Copy(d + i * kBytes, pixels + index * kBytes);
                else
                    F::Blend(d + i * kBytes, pixels + index * kBytes, a);
            }
        }
    }
}

// Raw-position copy clipping shared by CopyTo and CopyAlphaTo.
bool ClipCopy(int sourceWidth, int sourceHeight, const SurfaceBase* destination, int x, int y, int w, int h,
              ClippedRegion& out)
{
    int destinationWidth = destination->GetRawWidth(), destinationHeight = destination->GetRawHeight();
    if (x >= destinationWidth || y >= destinationHeight || sourceWidth + x < 0 || sourceHeight + y < 0)
        return false;
    if (w < 1 || w > sourceWidth)
        w = sourceWidth;
    if (h < 1 || h > sourceHeight)
        h = sourceHeight;
    out = {x, y, 0, 0, w, h};
    if (out.dx < 0) {
        out.sx = -out.dx;
        out.w += out.dx;
        out.dx = 0;
    }
    if (out.dy < 0) {
        out.sy = -out.dy;
        out.h += out.dy;
        out.dy = 0;
    }
    if (out.w > destinationWidth - out.dx)
        out.w = destinationWidth - out.dx;
    if (out.h > destinationHeight - out.dy)
        out.h = destinationHeight - out.dy;
    if (out.w <= 0 || out.h <= 0)
        return false;
    KELO_ASSERT(RectInside(out.dx, out.dy, out.w, out.h, destinationWidth, destinationHeight));
    KELO_ASSERT(RectInside(out.sx, out.sy, out.w, out.h, sourceWidth, sourceHeight));
    return true;
}

}  // namespace

Surface::BlitRoutine BlitFor(int format)
{
    switch (format) {
    case 0: return BlitFormat<pixel::Format444>;
    case 1: return BlitFormat<pixel::Format555>;
    case 2: return BlitFormat<pixel::Format565>;
    case 3: return BlitFormat<pixel::Format24>;
    case 4: return BlitFormat<pixel::Format32>;
    default: return nullptr;
    }
}

}  // namespace surface_routines

using namespace surface_routines;

void Surface::Blit(SurfaceBase* destination, int x, int y, int w, int h, int flags)
{
    if (!blit_ || !destination)
        return;
    MapDrawPosition(destination, x, y);
    blit_(*this, destination, x, y, w, h, MapMirrorFlags(orientation_, flags), 0);
}

void Surface::Draw(SurfaceBase* destination, int x, int y, int w, int h, int, int alphaOffset)
{
    if (!pixels_)
        return;
    BlitRegion(destination, x, y, w, h, 0, 0, alphaOffset);
}

void Surface::BlitAlpha(SurfaceBase* destination, int x, int y)
{
    if (!pixels_ || !destination || !destination->GetPixels())
        return;
    MapDrawPosition(destination, x, y);
    if (bitDepth_ == 15) {
        BlitFormat<pixel::Format555>(*this, destination, x, y, 0, 0, 0, 0);
        return;
    }
    int bytes = bitDepth_ == 16 ? 2 : bitDepth_ == 24 ? 3 : bitDepth_ == 32 ? 4 : 0;
    if (bytes == 0 || bytes != bytesPerPixel_ || destination->GetBytesPerPixel() != bytes)
        return;
    if (bytes == 3 && !alpha_)
        return;
    ClippedBlit c;
    if (!ClipBlit(*this, destination, x, y, 0, 0, 0, c))
        return;
    auto* out = reinterpret_cast<uint8_t*>(destination->GetPixels());
    const int destinationWidth = destination->GetRawWidth();
    for (int j = 0; j < c.h; ++j) {
        size_t sourceRow = size_t(c.sy0 + j) * rawWidth_ + c.sx0;
        uint8_t* d = out + (size_t(c.dy0 + j) * destinationWidth + c.dx0) * bytes;
        for (int i = 0; i < c.w; ++i) {
            size_t index = sourceRow + i;
            int A = alpha_ ? AlphaAt(alpha_, bytesPerPixel_, index) : 255;
            if (bytes == 2) {
                if (A < 10)
                    continue;
                auto* d16 = reinterpret_cast<uint16_t*>(d) + i;
                uint16_t s = GetPixels()[index];
                *d16 = A >= 245 ? s : pixel::Blend565(*d16, s, A);
            } else {
                if (A <= 8)
                    continue;
                const uint8_t* s = pixels_ + index * bytes;
                if (A >= 247)
                    memcpy(d + i * bytes, s, 3);
                else
                    pixel::Format24::Blend(d + i * bytes, s, A);
            }
        }
    }
}

void Surface::CopyTo(SurfaceBase* destination, int x, int y, int w, int h)
{
    if (!pixels_ || !destination || !destination->GetPixels() || destination->GetBytesPerPixel() != bytesPerPixel_)
        return;
    ClippedRegion c;
    if (!ClipCopy(rawWidth_, rawHeight_, destination, x, y, w, h, c))
        return;
    auto* out = reinterpret_cast<uint8_t*>(destination->GetPixels());
    const int destinationWidth = destination->GetRawWidth();
    for (int j = 0; j < c.h; ++j) {
        const uint8_t* s = pixels_ + (size_t(c.sy + j) * rawWidth_ + c.sx) * bytesPerPixel_;
        uint8_t* d = out + (size_t(c.dy + j) * destinationWidth + c.dx) * bytesPerPixel_;
        if (bytesPerPixel_ == 4) {
            for (int i = 0; i < c.w; ++i)
                memcpy(d + i * 4, s + i * 4, 3);
        } else {
            memcpy(d, s, size_t(c.w) * bytesPerPixel_);
        }
    }
}

void Surface::CopyAlphaTo(SurfaceBase* destination, int x, int y, int w, int h)
{
    if (!alpha_ || !destination || !destination->GetAlpha())
        return;
    ClippedRegion c;
    if (!ClipCopy(rawWidth_, rawHeight_, destination, x, y, w, h, c))
        return;
    uint8_t* out = destination->GetAlpha();
    const int destinationBytes = destination->GetFormat() == 4 ? 4 : 1;
    const int sourceBytes = format_ == 4 ? 4 : 1;
    const int destinationOffset = destinationBytes == 4 ? 3 : 0, sourceOffset = sourceBytes == 4 ? 3 : 0;
    const int destinationWidth = destination->GetRawWidth();
    for (int j = 0; j < c.h; ++j) {
        const uint8_t* s = alpha_ + (size_t(c.sy + j) * rawWidth_ + c.sx) * sourceBytes + sourceOffset;
        uint8_t* d = out + (size_t(c.dy + j) * destinationWidth + c.dx) * destinationBytes + destinationOffset;
        for (int i = 0; i < c.w; ++i)
            d[i * destinationBytes] = s[i * sourceBytes];
    }
}

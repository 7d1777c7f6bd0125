// Solid colour painted through a source's alpha plane (or its colour key): the mask routines.
#include <cstring>
#include <type_traits>

#include "engine/graphics/blend_rows.h"
#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface_routines.h"

namespace surface_routines {
namespace {

template <class F>
void MaskFormat(const Surface& source, SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h,
                int flags, int alphaOffset)
{
    constexpr int kBytes = F::kBytes;
    if (alphaOffset < -255 || !destination || !destination->GetPixels() || destination->GetBytesPerPixel() != kBytes)
        return;
    const bool keyed = kBytes == 2 && source.IsColourKeyed();
    const uint8_t* alpha = source.GetAlpha();
    if (keyed ? !source.GetPixels() : !alpha)
        return;
    int keyedWeight = 255 + alphaOffset;
    if (keyed && keyedWeight < 1)
        return;
    ClippedBlit c;
    if (!ClipBlit(source, destination, x, y, w, h, flags, c))
        return;
    const int sourceWidth = source.GetRawWidth(), destinationWidth = destination->GetRawWidth();
    auto* out = reinterpret_cast<uint8_t*>(destination->GetPixels());
    const uint8_t colourBytes[3] = {uint8_t(b), uint8_t(g), uint8_t(r)};
    uint16_t colour = 0;
    if constexpr (kBytes == 2)
        colour = F::Pack(r, g, b);

    // Unmirrored 5:6:5 rows through the plane go through the row kernels.
    const bool rows = std::is_same_v<F, pixel::Format565> && !keyed && c.sxStep == 1;
    for (int j = 0; j < c.h; ++j) {
        size_t sourceRow = size_t(c.sy0 + j * c.syStep) * sourceWidth;
        uint8_t* d = out + (size_t(c.dy0 + j) * destinationWidth + c.dx0) * kBytes;
        if (rows) {
            blend_rows::Active().mask(reinterpret_cast<uint16_t*>(d), alpha + sourceRow + c.sx0, c.w, colour,
                                      alphaOffset);
            continue;
        }
        for (int i = 0; i < c.w; ++i) {
            size_t index = sourceRow + c.sx0 + i * c.sxStep;
            int a;
            if (keyed) {
                if (source.GetPixels()[index] == source.GetColourKey())
                    continue;
                a = keyedWeight < 245 ? keyedWeight : 255;
            } else {
                int A = kBytes == 4 ? alpha[index * 4 + 3] : alpha[index];
                if (A == 0)
                    continue;
                a = A + alphaOffset;
                if (a <= 0)
                    continue;
            }
            if constexpr (kBytes == 2) {
                auto* d16 = reinterpret_cast<uint16_t*>(d) + i;
                *d16 = a < 255 ? F::Blend(*d16, colour, a) : colour;
            } else {
                if (a < 255)
                    F::Blend(d + i * kBytes, colourBytes, a);
                else
                    memcpy(d + i * kBytes, colourBytes, 3);
            }
        }
    }
}

// Adds the colour scaled by a >> 4 with per-channel saturation; green works in its top five bits.
void AdditiveMask565(const Surface& source, SurfaceBase* destination, int r, int g, int b, int x, int y, int w,
                     int h, int flags, int alphaOffset)
{
    const uint8_t* alpha = source.GetAlpha();
    if (alphaOffset < -255 || !alpha || !destination || !destination->GetPixels() ||
        destination->GetBytesPerPixel() != 2)
        return;
    ClippedBlit c;
    if (!ClipBlit(source, destination, x, y, w, h, flags, c))
        return;
    const int red = (r & 255) >> 3, green = (g & 255) >> 3, blue = (b & 255) >> 3;
    const int sourceWidth = source.GetRawWidth(), destinationWidth = destination->GetRawWidth();
    uint16_t* out = destination->GetPixels();
    for (int j = 0; j < c.h; ++j) {
        size_t sourceRow = size_t(c.sy0 + j * c.syStep) * sourceWidth;
        uint16_t* d = out + size_t(c.dy0 + j) * destinationWidth + c.dx0;
        for (int i = 0; i < c.w; ++i) {
            int A = alpha[sourceRow + c.sx0 + i * c.sxStep];
            if (A == 0)
                continue;
            int a = A + alphaOffset;
            if (a <= 0)
                continue;
            // A positive offset must not scale the colour beyond full strength.
            int k = pixel::Clamp255(a) >> 4;
            int dr = (d[i] >> 11) + ((red * k) >> 4);
            int dg = ((d[i] >> 6) & 31) + ((green * k) >> 4);
            int db = (d[i] & 31) + ((blue * k) >> 4);
            d[i] = uint16_t(((dr > 31 ? 31 : dr) << 11) | ((dg > 31 ? 31 : dg) << 6) | (db > 31 ? 31 : db));
        }
    }
}

}  // namespace

Surface::MaskRoutine MaskFor(int format)
{
    switch (format) {
    case 0: return MaskFormat<pixel::Format444>;
    case 1: return MaskFormat<pixel::Format555>;
    case 2: return MaskFormat<pixel::Format565>;
    case 3: return MaskFormat<pixel::Format24>;
    case 4: return MaskFormat<pixel::Format32>;
    default: return nullptr;
    }
}

Surface::MaskRoutine AdditiveMaskFor(int format)
{
    return format == 2 ? AdditiveMask565 : nullptr;
}

}  // namespace surface_routines

void Surface::DrawMask(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h, int flags,
                       int alphaOffset)
{
    if (!mask_ || !destination)
        return;
    MapDrawPosition(destination, x, y);
    mask_(*this, destination, r, g, b, x, y, w, h, MapMirrorFlags(orientation_, flags), alphaOffset);
}

void Surface::DrawMaskAdditive(SurfaceBase* destination, int r, int g, int b, int x, int y, int w, int h,
                               int flags, int alphaOffset)
{
    if (!additiveMask_ || !destination)
        return;
    MapDrawPosition(destination, x, y);
    additiveMask_(*this, destination, r, g, b, x, y, w, h, MapMirrorFlags(orientation_, flags), alphaOffset);
}

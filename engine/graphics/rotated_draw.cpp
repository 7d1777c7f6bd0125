// The reference drawing core of the turned and scaled draws.
#include "engine/graphics/rotated_draw.h"

#include <algorithm>

#include "engine/graphics/pixel_formats.h"
#include "engine/graphics/surface_base.h"

namespace rotated_draw {

bool Setup(const Params& p, Mapping& m)
{
    const SurfaceBase* source = p.source;
    SurfaceBase* destination = p.destination;
    if (!source || !destination || !destination->GetPixels() ||
        !(p.planeOnly ? source->GetAlpha() != nullptr : source->GetPixels() != nullptr) ||
        destination->GetBytesPerPixel() != 2 ||
        source->GetBytesPerPixel() != 2)
        return false;
    if (p.scale < 1 || (p.scale != 65536 && p.scale < 4096))
        return false;
    const int64_t W = source->GetRawWidth(), H = source->GetRawHeight();
    const int64_t s = p.sine, c = p.cosine;
    int64_t hw = W * 256 / 2, hh = H * 256 / 2;
    if (p.scale != 65536) {
        hw = (hw * p.scale) >> 16;
        hh = (hh * p.scale) >> 16;
    }
    int64_t left, right, top, bottom;
    if (p.tightBounds && W == H) {
        left = p.x - hw;
        right = p.x + hw;
        top = p.y - hh;
        bottom = p.y + hh;
    } else {
        int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
        bool first = true;
        for (int64_t cx : {-hw, hw}) {
            for (int64_t cy : {-hh, hh}) {
                int64_t rx = (cx * c - cy * s) >> 8, ry = (cx * s + cy * c) >> 8;
                minX = first ? rx : std::min(minX, rx);
                maxX = first ? rx : std::max(maxX, rx);
                minY = first ? ry : std::min(minY, ry);
                maxY = first ? ry : std::max(maxY, ry);
                first = false;
            }
        }
        left = p.x + minX;
        right = p.x + maxX;
        top = p.y + minY;
        bottom = p.y + maxY;
    }
    right += 512;
    bottom += 512;
    const int64_t destinationWidth = destination->GetRawWidth(), destinationHeight = destination->GetRawHeight();
    if (left >= destinationWidth * 256 || top >= destinationHeight * 256 || right < 0 || bottom < -512)
        return false;
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min(right, (destinationWidth - 1) * 256);
    bottom = std::min(bottom, (destinationHeight - 1) * 256);
    m.x0 = int(left >> 8);
    m.y0 = int(top >> 8);
    m.x1 = int(right >> 8);
    m.y1 = int(bottom >> 8);
    if (m.x1 < m.x0 || m.y1 < m.y0)
        return false;

    int64_t dx = int64_t(m.x0) * 256 - p.x, dy = int64_t(m.y0) * 256 - p.y;
    int64_t u = dx * c + dy * s, v = dy * c - dx * s;
    m.uColumn = c * 256;
    m.vColumn = -s * 256;
    m.uRow = s * 256;
    m.vRow = c * 256;
    if (p.scale != 65536) {
        const int64_t reciprocal = int64_t(0x40000000 / p.scale) * 4;
        u = (u * reciprocal) >> 16;
        v = (v * reciprocal) >> 16;
        m.uColumn = (m.uColumn * reciprocal) >> 16;
        m.vColumn = (m.vColumn * reciprocal) >> 16;
        m.uRow = (m.uRow * reciprocal) >> 16;
        m.vRow = (m.vRow * reciprocal) >> 16;
    }
    m.u = u + W * 32768;
    m.v = v + H * 32768;
    return true;
}

namespace {

// One bilinear sample of the source: the filtered colour and the coverage of the alpha plane.
struct Sample {
    int red = 0, green = 0, blue = 0;
    bool edge = false;
    int alphaSum = 0;       // the four alpha samples, halved at an edge
    int weightedAlpha = 0;  // alphas by the edge-zeroed weights, >> 8
    int weightSum = 0;      // the edge-zeroed weights
};

void TakeSample(const SurfaceBase* source, int64_t u, int64_t v, Sample& out)
{
    const int W = source->GetRawWidth(), H = source->GetRawHeight();
    int iu = int(u >> 16), iv = int(v >> 16);
    int fu = int((u >> 8) & 255), fv = int((v >> 8) & 255);
    int w00 = ((255 - fu) * (255 - fv)) >> 8, w10 = (fu * (255 - fv)) >> 8;
    int w01 = ((255 - fu) * fv) >> 8, w11 = (fu * fv) >> 8;
    int z00 = w00, z10 = w10, z01 = w01, z11 = w11;
    int x0 = iu, x1 = iu + 1, y0 = iv, y1 = iv + 1;
    out.edge = false;
    if (x0 < 0) {
        x0 = 0;
        z00 = z01 = 0;
        out.edge = true;
    }
    if (x1 > W - 1) {
        x1 = W - 1;
        z10 = z11 = 0;
        out.edge = true;
    }
    if (y0 < 0) {
        y0 = 0;
        z00 = z10 = 0;
        out.edge = true;
    }
    if (y1 > H - 1) {
        y1 = H - 1;
        z01 = z11 = 0;
        out.edge = true;
    }
    // The colour keeps the unclamped weights, so clamped samples repeat the edge. A plane without
    // colour pixels (a mask) gives coverage only.
    out.red = out.green = out.blue = 0;
    if (const uint16_t* pixels = source->GetPixels()) {
        uint16_t p00 = pixels[y0 * W + x0], p10 = pixels[y0 * W + x1];
        uint16_t p01 = pixels[y1 * W + x0], p11 = pixels[y1 * W + x1];
        out.red = ((p00 >> 11) * w00 + (p10 >> 11) * w10 + (p01 >> 11) * w01 + (p11 >> 11) * w11) >> 8;
        out.green = (((p00 >> 5) & 63) * w00 + ((p10 >> 5) & 63) * w10 + ((p01 >> 5) & 63) * w01 +
                     ((p11 >> 5) & 63) * w11) >> 8;
        out.blue = ((p00 & 31) * w00 + (p10 & 31) * w10 + (p01 & 31) * w01 + (p11 & 31) * w11) >> 8;
    }
    out.weightSum = z00 + z10 + z01 + z11;
    if (const uint8_t* alpha = source->GetAlpha()) {
        int a00 = alpha[y0 * W + x0], a10 = alpha[y0 * W + x1], a01 = alpha[y1 * W + x0], a11 = alpha[y1 * W + x1];
        out.alphaSum = a00 + a10 + a01 + a11;
        out.weightedAlpha = (a00 * z00 + a10 * z10 + a01 * z01 + a11 * z11) >> 8;
    }
}

// Coverage through the alpha plane; -1 skips the pixel.
int AlphaCoverage(const Sample& s)
{
    int sum = s.alphaSum;
    if (sum <= 8)
        return -1;
    if (s.edge)
        sum >>= 1;
    if (sum >= 1000)
        return sum / 4;
    return s.weightedAlpha < 9 ? -1 : s.weightedAlpha;
}

int OpaqueCoverage(const Sample& s)
{
    if (!s.edge)
        return 255;
    int coverage = (s.weightSum * 255) >> 8;
    return coverage < 9 ? -1 : coverage;
}

inline uint16_t Put(uint16_t d, uint16_t colour, int weight)
{
    return weight < 245 ? pixel::Blend565(d, colour, weight) : colour;
}

inline uint16_t AddSaturating(uint16_t d, const Sample& s, int weight)
{
    int r = s.red, g = s.green, b = s.blue;
    if (weight < 245) {
        r = (r * weight) >> 8;
        g = (g * weight) >> 8;
        b = (b * weight) >> 8;
    }
    r += d >> 11;
    g += (d >> 5) & 63;
    b += d & 31;
    return pixel::Format565::Make(r > 31 ? 31 : r, g > 63 ? 63 : g, b > 31 ? 31 : b);
}

}  // namespace

void DrawReference(Variant variant, const Params& p)
{
    Mapping m;
    if (!Setup(p, m))
        return;
    if (variant == Variant::FastFiltered) {
        DrawFastFiltered(p, m);
        return;
    }
    if (variant == Variant::FastNearest) {
        DrawFastNearest(p, m);
        return;
    }
    const SurfaceBase* source = p.source;
    const int W = source->GetRawWidth(), H = source->GetRawHeight();
    const bool plane = source->GetAlpha() != nullptr;
    const int destinationWidth = p.destination->GetRawWidth();
    int64_t rowU = m.u, rowV = m.v;
    Sample s;
    for (int y = m.y0; y <= m.y1; ++y, rowU += m.uRow, rowV += m.vRow) {
        uint16_t* d = p.destination->GetPixels() + size_t(y) * destinationWidth;
        int64_t u = rowU, v = rowV;
        for (int x = m.x0; x <= m.x1; ++x, u += m.uColumn, v += m.vColumn) {
            int64_t iu = u >> 16, iv = v >> 16;
            if (iu < -1 || iu > W - 1 || iv < -1 || iv > H - 1)
                continue;
            TakeSample(source, u, v, s);
            int coverage = plane ? AlphaCoverage(s) : OpaqueCoverage(s);
            if (variant == Variant::AdditiveOpaque) {
                if (s.red == 0 && s.green == 0 && s.blue == 0)
                    continue;
                int weight = 255 + p.alphaOffset;
                if (weight > 0)
                    d[x] = AddSaturating(d[x], s, weight);
                continue;
            }
            if (coverage < 0)
                continue;
            uint16_t colour = pixel::Format565::Make(s.red, s.green, s.blue);
            switch (variant) {
            case Variant::Default:
            case Variant::Opaque:
                d[x] = Put(d[x], colour, coverage);
                break;
            case Variant::AlphaOffset:
            case Variant::Mask: {
                int weight = coverage + p.alphaOffset;
                if (weight <= 8)
                    break;
                d[x] = Put(d[x], variant == Variant::Mask ? p.colour : colour, weight);
                break;
            }
            case Variant::Additive: {
                int weight = coverage + p.alphaOffset;
                if (weight > 0)
                    d[x] = AddSaturating(d[x], s, weight);
                break;
            }
            default:
                break;
            }
        }
    }
}

namespace {

bool fastEnabled = true;

}  // namespace

void DrawFast(Variant variant, const Params& p)
{
    Mapping m;
    if (!Setup(p, m))
        return;
    if (variant == Variant::FastFiltered || variant == Variant::FastNearest || !DrawBilinearSse2(variant, p, m))
        DrawReference(variant, p);
}

void Draw(Variant variant, const Params& p)
{
    if (fastEnabled)
        DrawFast(variant, p);
    else
        DrawReference(variant, p);
}

void SetFastPathsEnabled(bool on)
{
    fastEnabled = on;
}

}  // namespace rotated_draw

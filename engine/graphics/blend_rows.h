#pragma once
// Row kernels of the 5:6:5 region blits and fills. The reference kernels follow the formulas
// pixel by pixel; the fast table holds SSE2 versions on x86-64, with AVX2 alpha blits where the
// processor has them (the reference elsewhere), each equal to its reference bit for bit.
#include <cstdint>

#include "engine/graphics/pixel_formats.h"

namespace blend_rows {

struct Kernels {
    // Offset 0 through the plane: A <= 10 skips, A >= 240 copies, else blends with A.
    void (*alpha)(uint16_t* d, const uint16_t* s, const uint8_t* a, int n);
    // With an offset: A <= 10 or A + offset <= 10 skips, below 245 blends, else copies.
    void (*alphaOffset)(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset);
    // Every pixel blended with one weight (a source without a plane, faded).
    void (*constant)(uint16_t* d, const uint16_t* s, int n, int weight);
    // Adds the source scaled by A + offset, each channel saturating.
    void (*additive)(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset);
    // Blends towards the source multiplied by a colour (5-, 6-, 5-bit factors); no copy shortcut.
    void (*tinted)(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset, int red, int green,
                   int blue);
    // Blends every pixel towards one colour.
    void (*fillBlend)(uint16_t* d, int n, uint16_t colour, int weight);
    // Paints one colour through the plane with A + offset: A = 0 or a weight of 0 or less skips,
    // below 255 blends, else paints.
    void (*mask)(uint16_t* d, const uint8_t* a, int n, uint16_t colour, int offset);
};

const Kernels& Reference();
const Kernels& Fast();
// The kernels the surfaces use: the fast ones unless switched off (benchmarks compare both).
const Kernels& Active();
void SetFastPathsEnabled(bool on);
bool FastPathsEnabled();

// The tinted colour of one source pixel: each channel times its factor, scaled back by its width.
template <class F>
inline uint16_t Tint(uint32_t s, int red, int green, int blue)
{
    return F::Make((F::Red(s) * red) >> F::kRedBits, (F::Green(s) * green) >> F::kGreenBits,
                   (F::Blue(s) * blue) >> F::kBlueBits);
}

// Adds (channel * a) >> 8 of the source, or the whole channel from 245 up; saturating.
template <class F>
inline uint16_t Add(uint32_t d, uint32_t s, int a)
{
    int r = F::Red(s), g = F::Green(s), b = F::Blue(s);
    if (a < 245) {
        r = (r * a) >> 8;
        g = (g * a) >> 8;
        b = (b * a) >> 8;
    }
    r += F::Red(d);
    g += F::Green(d);
    b += F::Blue(d);
    return F::Make(r > F::kRedMax ? F::kRedMax : r, g > F::kGreenMax ? F::kGreenMax : g,
                   b > F::kBlueMax ? F::kBlueMax : b);
}

// Reference row loops over any 16-bit format, used directly by the 4:4:4 surfaces.
template <class F>
void AlphaRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n)
{
    for (int i = 0; i < n; ++i) {
        int A = a[i];
        if (A <= 10)
            continue;
        d[i] = A >= 240 ? s[i] : F::Blend(d[i], s[i], A);
    }
}

// Draws each pixel whose A and A + offset both pass 10 as op(d, s, A + offset).
template <class Op>
inline void OffsetRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset, Op op)
{
    for (int i = 0; i < n; ++i) {
        int A = a[i];
        if (A <= 10)
            continue;
        int w = A + offset;
        if (w <= 10)
            continue;
        d[i] = op(d[i], s[i], w);
    }
}

template <class F>
void AlphaOffsetRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset)
{
    OffsetRow(d, s, a, n, offset, [](uint16_t dp, uint16_t sp, int w) { return w < 245 ? F::Blend(dp, sp, w) : sp; });
}

template <class F>
void ConstantRow(uint16_t* d, const uint16_t* s, int n, int weight)
{
    for (int i = 0; i < n; ++i)
        d[i] = F::Blend(d[i], s[i], weight);
}

template <class F>
void AdditiveRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset)
{
    OffsetRow(d, s, a, n, offset, [](uint16_t dp, uint16_t sp, int w) { return Add<F>(dp, sp, w); });
}

template <class F>
void TintedRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset, int red, int green, int blue)
{
    // A positive offset must not push the weight past full strength.
    OffsetRow(d, s, a, n, offset, [=](uint16_t dp, uint16_t sp, int w) {
        return F::Blend(dp, Tint<F>(sp, red, green, blue), w > 255 ? 255 : w);
    });
}

template <class F>
void FillBlendRow(uint16_t* d, int n, uint16_t colour, int weight)
{
    for (int i = 0; i < n; ++i)
        d[i] = F::Blend(d[i], colour, weight);
}

template <class F>
void MaskRow(uint16_t* d, const uint8_t* a, int n, uint16_t colour, int offset)
{
    for (int i = 0; i < n; ++i) {
        int A = a[i];
        if (A == 0)
            continue;
        int w = A + offset;
        if (w <= 0)
            continue;
        d[i] = w < 255 ? F::Blend(d[i], colour, w) : colour;
    }
}

// The SSE2 table, or null where the build has none.
const Kernels* Sse2Kernels();
// The AVX2 table (SSE2 where it has no kernel of its own), or null where the build or the
// processor has none.
const Kernels* Avx2Kernels();

}  // namespace blend_rows

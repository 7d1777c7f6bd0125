// SSE2 rows of the bilinear turned draws. Each row is cut where the whole 2 x 2 neighbourhood lies
// inside the source: those pixels are filtered eight at a time on 16-bit lanes (every product and
// sum of the reference fits in 16 bits), the edge pixels around them go through the reference.
#include "engine/graphics/rotated_draw.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "engine/graphics/surface_base.h"

namespace rotated_draw {
namespace {

// The eight source neighbourhoods of one group of destination pixels, as loaded.
struct Group {
    alignas(16) uint32_t top[8];  // pixel (iu, iv) in the low half, (iu + 1, iv) in the high
    alignas(16) uint32_t bottom[8];
    alignas(16) uint16_t alphaTop[8];  // alpha (iu, iv) in the low byte, (iu + 1, iv) in the high
    alignas(16) uint16_t alphaBottom[8];
    alignas(16) uint16_t fu[8];
    alignas(16) uint16_t fv[8];
};

struct Source {
    const uint16_t* pixels;
    const uint8_t* alpha;
    size_t width;
};

constexpr bool NeedsColour(Variant v)
{
    return v != Variant::Mask;
}

int64_t FloorDiv(int64_t n, int64_t d)
{
    int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t n, int64_t d)
{
    return -FloorDiv(-n, d);
}

// Narrows [lo, hi] to the columns k where low <= a + k * step < high.
void Narrow(int64_t a, int64_t step, int64_t low, int64_t high, int64_t& lo, int64_t& hi)
{
    if (step == 0) {
        if (a < low || a >= high)
            hi = lo - 1;
    } else if (step > 0) {
        lo = std::max(lo, CeilDiv(low - a, step));
        hi = std::min(hi, FloorDiv(high - 1 - a, step));
    } else {
        lo = std::max(lo, CeilDiv(a - (high - 1), -step));
        hi = std::min(hi, FloorDiv(a - low, -step));
    }
}

// Loads count neighbourhoods (the rest repeat the last) and advances (u, v) past them.
template <Variant V, bool Plane>
void Gather(const Source& s, int64_t& u, int64_t& v, int64_t du, int64_t dv, int count, Group& g)
{
    for (int i = 0; i < 8; ++i) {
        if (i == count) {
            for (; i < 8; ++i) {
                g.top[i] = g.top[count - 1];
                g.bottom[i] = g.bottom[count - 1];
                g.alphaTop[i] = g.alphaTop[count - 1];
                g.alphaBottom[i] = g.alphaBottom[count - 1];
                g.fu[i] = g.fu[count - 1];
                g.fv[i] = g.fv[count - 1];
            }
            break;
        }
        size_t index = size_t(v >> 16) * s.width + size_t(u >> 16);
        if constexpr (NeedsColour(V)) {
            memcpy(&g.top[i], s.pixels + index, 4);
            memcpy(&g.bottom[i], s.pixels + index + s.width, 4);
        } else {
            g.top[i] = g.bottom[i] = 0;
        }
        if constexpr (Plane) {
            memcpy(&g.alphaTop[i], s.alpha + index, 2);
            memcpy(&g.alphaBottom[i], s.alpha + index + s.width, 2);
        } else {
            g.alphaTop[i] = g.alphaBottom[i] = 0;
        }
        g.fu[i] = uint16_t((u >> 8) & 255);
        g.fv[i] = uint16_t((v >> 8) & 255);
        u += du;
        v += dv;
    }
}

inline __m128i Load(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The low and the high halves of eight 32-bit words, as eight 16-bit lanes each.
inline __m128i LowHalves(__m128i a, __m128i b)
{
    return _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16), _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
}

inline __m128i HighHalves(__m128i a, __m128i b)
{
    return _mm_packs_epi32(_mm_srai_epi32(a, 16), _mm_srai_epi32(b, 16));
}

struct Channels {
    __m128i r, g, b;
};

inline Channels Split(__m128i p)
{
    return {_mm_srli_epi16(p, 11), _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(63)),
            _mm_and_si128(p, _mm_set1_epi16(31))};
}

inline __m128i Join(const Channels& c)
{
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(c.r, 11), _mm_slli_epi16(c.g, 5)), c.b);
}

struct Weights {
    __m128i w00, w10, w01, w11;
};

// (x00 w00 + x10 w10 + x01 w01 + x11 w11) >> 8; the sum stays below 65536.
inline __m128i Filter(const Weights& w, __m128i x00, __m128i x10, __m128i x01, __m128i x11)
{
    __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(x00, w.w00), _mm_mullo_epi16(x10, w.w10)),
                                _mm_add_epi16(_mm_mullo_epi16(x01, w.w01), _mm_mullo_epi16(x11, w.w11)));
    return _mm_srli_epi16(sum, 8);
}

// d + (((s - d) * a) >> 8) per lane, arithmetic shift.
inline __m128i Mix(__m128i d, __m128i s, __m128i a)
{
    return _mm_add_epi16(d, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), a), 8));
}

struct Constants {
    __m128i offset;     // the alpha offset
    __m128i colour;     // the mask colour, or 255 + offset for the additive opaque variant
};

// Eight inner destination pixels drawn by the variant.
template <Variant V, bool Plane>
__m128i Shade(const Group& g, __m128i dst, const Constants& k)
{
    const __m128i full = _mm_set1_epi16(255);
    const __m128i fu = Load(g.fu), fv = Load(g.fv);
    const __m128i ifu = _mm_sub_epi16(full, fu), ifv = _mm_sub_epi16(full, fv);
    const Weights w = {_mm_srli_epi16(_mm_mullo_epi16(ifu, ifv), 8), _mm_srli_epi16(_mm_mullo_epi16(fu, ifv), 8),
                       _mm_srli_epi16(_mm_mullo_epi16(ifu, fv), 8), _mm_srli_epi16(_mm_mullo_epi16(fu, fv), 8)};

    __m128i coverage = full, valid = _mm_cmpeq_epi16(full, full);
    if constexpr (Plane && V != Variant::AdditiveOpaque) {
        const __m128i low = _mm_set1_epi16(255);
        __m128i top = Load(g.alphaTop), bottom = Load(g.alphaBottom);
        __m128i a00 = _mm_and_si128(top, low), a10 = _mm_srli_epi16(top, 8);
        __m128i a01 = _mm_and_si128(bottom, low), a11 = _mm_srli_epi16(bottom, 8);
        __m128i sum = _mm_add_epi16(_mm_add_epi16(a00, a10), _mm_add_epi16(a01, a11));
        // A sum of 8 or less weighs in below 9 as well, so one test skips both.
        coverage = Select(_mm_cmpgt_epi16(sum, _mm_set1_epi16(999)), _mm_srli_epi16(sum, 2),
                          Filter(w, a00, a10, a01, a11));
        valid = _mm_cmpgt_epi16(coverage, _mm_set1_epi16(8));
    }

    Channels colour;
    if constexpr (NeedsColour(V)) {
        __m128i t0 = Load(g.top), t1 = Load(g.top + 4), b0 = Load(g.bottom), b1 = Load(g.bottom + 4);
        Channels c00 = Split(LowHalves(t0, t1)), c10 = Split(HighHalves(t0, t1));
        Channels c01 = Split(LowHalves(b0, b1)), c11 = Split(HighHalves(b0, b1));
        colour = {Filter(w, c00.r, c10.r, c01.r, c11.r), Filter(w, c00.g, c10.g, c01.g, c11.g),
                  Filter(w, c00.b, c10.b, c01.b, c11.b)};
    } else {
        colour = Split(k.colour);
    }

    const Channels d = Split(dst);
    __m128i out;
    if constexpr (V == Variant::Additive || V == Variant::AdditiveOpaque) {
        __m128i weight;
        if constexpr (V == Variant::Additive) {
            weight = _mm_add_epi16(coverage, k.offset);
            valid = _mm_and_si128(valid, _mm_cmpgt_epi16(weight, _mm_setzero_si128()));
        } else {
            weight = k.colour;
            __m128i any = _mm_or_si128(_mm_or_si128(colour.r, colour.g), colour.b);
            valid = _mm_xor_si128(_mm_cmpeq_epi16(any, _mm_setzero_si128()), valid);
        }
        const __m128i scaled = _mm_cmplt_epi16(weight, _mm_set1_epi16(245));
        auto add = [&](__m128i c, __m128i dc, int max) {
            c = Select(scaled, _mm_srli_epi16(_mm_mullo_epi16(c, weight), 8), c);
            return _mm_min_epi16(_mm_add_epi16(c, dc), _mm_set1_epi16(int16_t(max)));
        };
        out = Join({add(colour.r, d.r, 31), add(colour.g, d.g, 63), add(colour.b, d.b, 31)});
    } else {
        __m128i weight = coverage;
        if constexpr (V == Variant::AlphaOffset || V == Variant::Mask) {
            weight = _mm_add_epi16(coverage, k.offset);
            valid = _mm_and_si128(valid, _mm_cmpgt_epi16(weight, _mm_set1_epi16(8)));
        }
        __m128i blended = Join({Mix(d.r, colour.r, weight), Mix(d.g, colour.g, weight), Mix(d.b, colour.b, weight)});
        out = Select(_mm_cmplt_epi16(weight, _mm_set1_epi16(245)), blended, Join(colour));
    }
    return Select(valid, out, dst);
}

template <Variant V, bool Plane>
void DrawRows(Variant variant, const Params& p, const Mapping& m)
{
    const SurfaceBase* source = p.source;
    const int W = source->GetRawWidth(), H = source->GetRawHeight();
    const Source s = {source->GetPixels(), source->GetAlpha(), size_t(W)};
    Constants k;
    k.offset = _mm_set1_epi16(int16_t(p.alphaOffset));
    k.colour = _mm_set1_epi16(int16_t(V == Variant::AdditiveOpaque ? 255 + p.alphaOffset : p.colour));
    const int64_t n = m.x1 - m.x0 + 1;
    const int destinationWidth = p.destination->GetRawWidth();
    int64_t rowU = m.u, rowV = m.v;
    Group g;
    for (int y = m.y0; y <= m.y1; ++y, rowU += m.uRow, rowV += m.vRow) {
        uint16_t* d = p.destination->GetPixels() + size_t(y) * destinationWidth;
        int64_t lo = 0, hi = n - 1;
        Narrow(rowU, m.uColumn, 0, int64_t(W - 1) << 16, lo, hi);
        Narrow(rowV, m.vColumn, 0, int64_t(H - 1) << 16, lo, hi);
        if (lo > hi) {
            DrawRowReference(variant, p, m, d, m.x0, m.x1, rowU, rowV);
            continue;
        }
        const int first = m.x0 + int(lo), last = m.x0 + int(hi);
        DrawRowReference(variant, p, m, d, m.x0, first - 1, rowU, rowV);
        int64_t u = rowU + lo * m.uColumn, v = rowV + lo * m.vColumn;
        for (int x = first; x <= last; x += 8) {
            const int count = std::min(8, last - x + 1);
            Gather<V, Plane>(s, u, v, m.uColumn, m.vColumn, count, g);
            if (count == 8) {
                __m128i* at = reinterpret_cast<__m128i*>(d + x);
                _mm_storeu_si128(at, Shade<V, Plane>(g, _mm_loadu_si128(at), k));
            } else {
                alignas(16) uint16_t part[8] = {};
                memcpy(part, d + x, size_t(count) * 2);
                _mm_store_si128(reinterpret_cast<__m128i*>(part),
                                Shade<V, Plane>(g, _mm_load_si128(reinterpret_cast<const __m128i*>(part)), k));
                memcpy(d + x, part, size_t(count) * 2);
            }
        }
        DrawRowReference(variant, p, m, d, last + 1, m.x1, u, v);
    }
}

template <Variant V>
void DrawVariant(Variant variant, const Params& p, const Mapping& m)
{
    if (p.source->GetAlpha())
        DrawRows<V, true>(variant, p, m);
    else
        DrawRows<V, false>(variant, p, m);
}

}  // namespace

bool DrawBilinearSse2(Variant variant, const Params& p, const Mapping& m)
{
    // Offsets outside the range the draws pass would leave the 16-bit lanes; the reference takes them.
    const bool offsetInRange = p.alphaOffset >= -255 && p.alphaOffset <= 0;
    switch (variant) {
    case Variant::Default:
    case Variant::Opaque:
        DrawVariant<Variant::Default>(variant, p, m);
        return true;
    case Variant::AlphaOffset:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::AlphaOffset>(variant, p, m);
        return true;
    case Variant::Mask:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::Mask>(variant, p, m);
        return true;
    case Variant::Additive:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::Additive>(variant, p, m);
        return true;
    case Variant::AdditiveOpaque:
        if (!offsetInRange || p.alphaOffset == -255)
            return false;
        DrawRows<Variant::AdditiveOpaque, false>(variant, p, m);
        return true;
    default:
        return false;
    }
}

}  // namespace rotated_draw

#else

namespace rotated_draw {

bool DrawBilinearSse2(Variant, const Params&, const Mapping&)
{
    return false;
}

}  // namespace rotated_draw

#endif

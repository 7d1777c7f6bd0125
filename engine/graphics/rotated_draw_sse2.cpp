// SSE2 rows of the bilinear turned draws, eight pixels at a time on 16-bit lanes: every product and
// sum of the reference fits in 16 bits. Each row's drawn span is cut into the run whose whole 2 x 2
// neighbourhood lies inside the source, loaded in pairs, and the edge pixels at either end, whose
// samples are clamped one by one.
#include "engine/graphics/rotated_draw.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "engine/graphics/surface_base.h"

namespace rotated_draw {
namespace {

// The neighbourhoods of eight destination pixels, one 16-bit lane each.
struct Samples {
    __m128i p00, p10, p01, p11;  // pixels (iu, iv), (iu + 1, iv), (iu, iv + 1), (iu + 1, iv + 1)
    __m128i a00, a10, a01, a11;  // their alphas
    __m128i left, right, top, bottom;  // all ones where that sample column or row was clamped
};

struct Source {
    const uint16_t* pixels;
    const uint8_t* alpha;
    size_t width;
    int64_t height;
};

constexpr bool NeedsColour(Variant v)
{
    return v != Variant::Mask;
}

// Whether the variant reads its coverage from the alpha plane (the additive opaque one never does).
template <Variant V, bool Plane>
constexpr bool kPlaneCoverage = Plane && V != Variant::AdditiveOpaque;

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

[[gnu::always_inline]] inline __m128i Pair(const uint16_t* p)
{
    uint32_t pair;
    memcpy(&pair, p, 4);
    return _mm_cvtsi32_si128(int(pair));
}

[[gnu::always_inline]] inline __m128i Four(const uint16_t* pixels, const size_t* index)
{
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(Pair(pixels + index[0]), Pair(pixels + index[1])),
                              _mm_unpacklo_epi32(Pair(pixels + index[2]), Pair(pixels + index[3])));
}

[[gnu::always_inline]] inline int AlphaPair(const uint8_t* a)
{
    uint16_t pair;
    memcpy(&pair, a, 2);
    return pair;
}

[[gnu::always_inline]] inline __m128i AlphaPairs(const uint8_t* a, const size_t* index)
{
    __m128i v = _mm_cvtsi32_si128(AlphaPair(a + index[0]));
    v = _mm_insert_epi16(v, AlphaPair(a + index[1]), 1);
    v = _mm_insert_epi16(v, AlphaPair(a + index[2]), 2);
    v = _mm_insert_epi16(v, AlphaPair(a + index[3]), 3);
    v = _mm_insert_epi16(v, AlphaPair(a + index[4]), 4);
    v = _mm_insert_epi16(v, AlphaPair(a + index[5]), 5);
    v = _mm_insert_epi16(v, AlphaPair(a + index[6]), 6);
    return _mm_insert_epi16(v, AlphaPair(a + index[7]), 7);
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

// Loads count neighbourhoods lying wholly inside the source (the rest repeat the last) and advances
// (u, v) past them; false when all their alphas add up to 8 or less, and the pixels are skipped
// without loading their colours.
template <Variant V, bool Plane>
[[gnu::always_inline]] inline bool GatherInner(const Source& s, int64_t& u, int64_t& v, int64_t du, int64_t dv,
                                               int count, Samples& n)
{
    size_t index[8];
    for (int i = 0; i < count; ++i, u += du, v += dv)
        index[i] = size_t(v >> 16) * s.width + size_t(u >> 16);
    for (int i = count; i < 8; ++i)
        index[i] = index[count - 1];
    if constexpr (kPlaneCoverage<V, Plane>) {
        const __m128i low = _mm_set1_epi16(255);
        const __m128i top = AlphaPairs(s.alpha, index), bottom = AlphaPairs(s.alpha + s.width, index);
        n.a00 = _mm_and_si128(top, low);
        n.a10 = _mm_srli_epi16(top, 8);
        n.a01 = _mm_and_si128(bottom, low);
        n.a11 = _mm_srli_epi16(bottom, 8);
        const __m128i sum = _mm_add_epi16(_mm_add_epi16(n.a00, n.a10), _mm_add_epi16(n.a01, n.a11));
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(sum, _mm_set1_epi16(8))) == 0)
            return false;
    }
    if constexpr (NeedsColour(V)) {
        const __m128i top0 = Four(s.pixels, index), top1 = Four(s.pixels, index + 4);
        const __m128i bottom0 = Four(s.pixels + s.width, index), bottom1 = Four(s.pixels + s.width, index + 4);
        n.p00 = LowHalves(top0, top1);
        n.p10 = HighHalves(top0, top1);
        n.p01 = LowHalves(bottom0, bottom1);
        n.p11 = HighHalves(bottom0, bottom1);
    }
    return true;
}

// The same for pixels whose neighbourhood reaches over the source's border by one: samples outside
// are clamped to the edge and flagged.
template <Variant V, bool Plane>
[[gnu::always_inline]] inline bool GatherEdge(const Source& s, int64_t& u, int64_t& v, int64_t du, int64_t dv,
                                              int count, Samples& n)
{
    alignas(16) uint16_t p[4][8] = {}, a[4][8] = {}, flags[8];
    const int64_t W = int64_t(s.width), H = s.height;
    bool shown = !kPlaneCoverage<V, Plane>;
    for (int i = 0; i < count; ++i, u += du, v += dv) {
        const int64_t iu = u >> 16, iv = v >> 16;
        const bool left = iu < 0, right = iu + 1 > W - 1, top = iv < 0, bottom = iv + 1 > H - 1;
        const size_t x0 = size_t(left ? 0 : iu), x1 = size_t(right ? W - 1 : iu + 1);
        const size_t y0 = size_t(top ? 0 : iv) * s.width, y1 = size_t(bottom ? H - 1 : iv + 1) * s.width;
        flags[i] = uint16_t((left ? 1 : 0) | (right ? 2 : 0) | (top ? 4 : 0) | (bottom ? 8 : 0));
        if constexpr (kPlaneCoverage<V, Plane>) {
            a[0][i] = s.alpha[y0 + x0];
            a[1][i] = s.alpha[y0 + x1];
            a[2][i] = s.alpha[y1 + x0];
            a[3][i] = s.alpha[y1 + x1];
            if (a[0][i] + a[1][i] + a[2][i] + a[3][i] <= 8)
                continue;
            shown = true;
        }
        if constexpr (NeedsColour(V)) {
            p[0][i] = s.pixels[y0 + x0];
            p[1][i] = s.pixels[y0 + x1];
            p[2][i] = s.pixels[y1 + x0];
            p[3][i] = s.pixels[y1 + x1];
        }
    }
    if (!shown)
        return false;
    for (int i = count; i < 8; ++i)
        flags[i] = 0;
    auto load = [](const uint16_t* lanes) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes)); };
    if constexpr (NeedsColour(V)) {
        n.p00 = load(p[0]);
        n.p10 = load(p[1]);
        n.p01 = load(p[2]);
        n.p11 = load(p[3]);
    }
    if constexpr (kPlaneCoverage<V, Plane>) {
        n.a00 = load(a[0]);
        n.a10 = load(a[1]);
        n.a01 = load(a[2]);
        n.a11 = load(a[3]);
    }
    const __m128i f = load(flags);
    auto flag = [f](int bit) {
        const __m128i b = _mm_set1_epi16(int16_t(bit));
        return _mm_cmpeq_epi16(_mm_and_si128(f, b), b);
    };
    n.left = flag(1);
    n.right = flag(2);
    n.top = flag(4);
    n.bottom = flag(8);
    return true;
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
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
    __m128i offset;  // the alpha offset
    __m128i colour;  // the mask colour, or 255 + offset for the additive opaque variant
};

// Eight destination pixels drawn by the variant; Edge when some samples may have been clamped.
template <Variant V, bool Plane, bool Edge>
[[gnu::always_inline]] inline __m128i Shade(const Samples& n, __m128i fu, __m128i fv, __m128i dst,
                                            const Constants& k)
{
    const __m128i full = _mm_set1_epi16(255);
    const __m128i ifu = _mm_sub_epi16(full, fu), ifv = _mm_sub_epi16(full, fv);
    const Weights w = {_mm_srli_epi16(_mm_mullo_epi16(ifu, ifv), 8), _mm_srli_epi16(_mm_mullo_epi16(fu, ifv), 8),
                       _mm_srli_epi16(_mm_mullo_epi16(ifu, fv), 8), _mm_srli_epi16(_mm_mullo_epi16(fu, fv), 8)};
    // The coverage weighs only the samples inside; the colour keeps every weight.
    Weights inside = w;
    __m128i edge = _mm_setzero_si128();
    if constexpr (Edge) {
        inside = {_mm_andnot_si128(_mm_or_si128(n.left, n.top), w.w00),
                  _mm_andnot_si128(_mm_or_si128(n.right, n.top), w.w10),
                  _mm_andnot_si128(_mm_or_si128(n.left, n.bottom), w.w01),
                  _mm_andnot_si128(_mm_or_si128(n.right, n.bottom), w.w11)};
        edge = _mm_or_si128(_mm_or_si128(n.left, n.right), _mm_or_si128(n.top, n.bottom));
    }

    __m128i coverage = full, valid = _mm_cmpeq_epi16(full, full);
    if constexpr (kPlaneCoverage<V, Plane>) {
        __m128i sum = _mm_add_epi16(_mm_add_epi16(n.a00, n.a10), _mm_add_epi16(n.a01, n.a11));
        if constexpr (Edge)
            sum = Select(edge, _mm_srli_epi16(sum, 1), sum);
        // A sum of 8 or less weighs in below 9 as well, so one test skips both.
        coverage = Select(_mm_cmpgt_epi16(sum, _mm_set1_epi16(999)), _mm_srli_epi16(sum, 2),
                          Filter(inside, n.a00, n.a10, n.a01, n.a11));
        valid = _mm_cmpgt_epi16(coverage, _mm_set1_epi16(8));
    } else if constexpr (Edge && V != Variant::AdditiveOpaque) {
        const __m128i weightSum =
            _mm_add_epi16(_mm_add_epi16(inside.w00, inside.w10), _mm_add_epi16(inside.w01, inside.w11));
        coverage = Select(edge, _mm_srli_epi16(_mm_mullo_epi16(weightSum, full), 8), full);
        valid = _mm_cmpgt_epi16(coverage, _mm_set1_epi16(8));
    }

    Channels colour;
    if constexpr (NeedsColour(V)) {
        Channels c00 = Split(n.p00), c10 = Split(n.p10), c01 = Split(n.p01), c11 = Split(n.p11);
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

// 0, step, 2 step ... 7 step on 16-bit lanes.
__m128i Steps(int64_t step)
{
    const int16_t s = int16_t(step);
    return _mm_setr_epi16(0, s, int16_t(2 * s), int16_t(3 * s), int16_t(4 * s), int16_t(5 * s), int16_t(6 * s),
                          int16_t(7 * s));
}

// Eight or fewer pixels from column x on, advancing (u, v) and the fractions' lanes past them.
template <Variant V, bool Plane, bool Edge>
[[gnu::always_inline]] inline void DrawGroup(const Source& s, const Constants& k, uint16_t* d, int count, int64_t& u,
                                             int64_t& v, const Mapping& m, __m128i& uLow, __m128i& vLow,
                                             __m128i uGroup, __m128i vGroup)
{
    Samples n;
    bool shown;
    if constexpr (Edge)
        shown = GatherEdge<V, Plane>(s, u, v, m.uColumn, m.vColumn, count, n);
    else
        shown = GatherInner<V, Plane>(s, u, v, m.uColumn, m.vColumn, count, n);
    const __m128i fu = _mm_srli_epi16(uLow, 8), fv = _mm_srli_epi16(vLow, 8);
    uLow = _mm_add_epi16(uLow, uGroup);
    vLow = _mm_add_epi16(vLow, vGroup);
    if (!shown)
        return;
    if (count == 8) {
        __m128i* at = reinterpret_cast<__m128i*>(d);
        _mm_storeu_si128(at, Shade<V, Plane, Edge>(n, fu, fv, _mm_loadu_si128(at), k));
    } else {
        alignas(16) uint16_t part[8] = {};
        memcpy(part, d, size_t(count) * 2);
        __m128i* at = reinterpret_cast<__m128i*>(part);
        _mm_store_si128(at, Shade<V, Plane, Edge>(n, fu, fv, _mm_load_si128(at), k));
        memcpy(d, part, size_t(count) * 2);
    }
}

inline bool Inside(int64_t u, int64_t v, int64_t W, int64_t H)
{
    return u >= 0 && (u >> 16) < W - 1 && v >= 0 && (v >> 16) < H - 1;
}

template <Variant V, bool Plane>
void DrawRows(const Params& p, const Mapping& m)
{
    const SurfaceBase* source = p.source;
    const int64_t W = source->GetRawWidth(), H = source->GetRawHeight();
    const Source s = {source->GetPixels(), source->GetAlpha(), size_t(W), H};
    Constants k;
    k.offset = _mm_set1_epi16(int16_t(p.alphaOffset));
    k.colour = _mm_set1_epi16(int16_t(V == Variant::AdditiveOpaque ? 255 + p.alphaOffset : p.colour));
    const int destinationWidth = p.destination->GetRawWidth();
    const __m128i uLanes = Steps(m.uColumn), vLanes = Steps(m.vColumn);
    const __m128i uGroup = _mm_set1_epi16(int16_t(m.uColumn * 8)), vGroup = _mm_set1_epi16(int16_t(m.vColumn * 8));
    int64_t rowU = m.u, rowV = m.v;
    for (int y = m.y0; y <= m.y1; ++y, rowU += m.uRow, rowV += m.vRow) {
        uint16_t* d = p.destination->GetPixels() + size_t(y) * destinationWidth;
        // The drawn columns: -1 <= iu <= W - 1 and -1 <= iv <= H - 1.
        int64_t lo = 0, hi = m.x1 - m.x0;
        Narrow(rowU, m.uColumn, -65536, W << 16, lo, hi);
        Narrow(rowV, m.vColumn, -65536, H << 16, lo, hi);
        if (lo > hi)
            continue;
        int64_t u = rowU + lo * m.uColumn, v = rowV + lo * m.vColumn;
        // The inner columns, whose whole neighbourhood lies inside, form one run within them.
        int first = m.x0 + int(lo), last = m.x0 + int(hi);
        int innerFirst = first, innerLast = last;
        int64_t innerU = u, innerV = v;
        while (innerFirst <= last && !Inside(innerU, innerV, W, H)) {
            ++innerFirst;
            innerU += m.uColumn;
            innerV += m.vColumn;
        }
        if (innerFirst <= last) {
            int64_t endU = u + int64_t(last - first) * m.uColumn, endV = v + int64_t(last - first) * m.vColumn;
            while (!Inside(endU, endV, W, H)) {
                --innerLast;
                endU -= m.uColumn;
                endV -= m.vColumn;
            }
        } else {
            innerLast = last;
        }
        auto run = [&](int from, int to, auto edge) {
            if (from > to)
                return;
            // The fractions need only the low 16 bits of u and v, which wrap alike on 16-bit lanes.
            __m128i uLow = _mm_add_epi16(_mm_set1_epi16(int16_t(u)), uLanes);
            __m128i vLow = _mm_add_epi16(_mm_set1_epi16(int16_t(v)), vLanes);
            for (int x = from; x <= to; x += 8)
                DrawGroup<V, Plane, decltype(edge)::value>(s, k, d + x, std::min(8, to - x + 1), u, v, m, uLow, vLow,
                                                           uGroup, vGroup);
        };
        run(first, innerFirst - 1, std::true_type());
        run(innerFirst, innerLast, std::false_type());
        run(innerLast + 1, last, std::true_type());
    }
}

template <Variant V>
void DrawVariant(const Params& p, const Mapping& m)
{
    if (p.source->GetAlpha())
        DrawRows<V, true>(p, m);
    else
        DrawRows<V, false>(p, m);
}

}  // namespace

bool DrawBilinearSse2(Variant variant, const Params& p, const Mapping& m)
{
    // Offsets outside the range the draws pass would leave the 16-bit lanes; the reference takes them.
    const bool offsetInRange = p.alphaOffset >= -255 && p.alphaOffset <= 0;
    switch (variant) {
    case Variant::Default:
    case Variant::Opaque:
        DrawVariant<Variant::Default>(p, m);
        return true;
    case Variant::AlphaOffset:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::AlphaOffset>(p, m);
        return true;
    case Variant::Mask:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::Mask>(p, m);
        return true;
    case Variant::Additive:
        if (!offsetInRange)
            return false;
        DrawVariant<Variant::Additive>(p, m);
        return true;
    case Variant::AdditiveOpaque:
        if (!offsetInRange || p.alphaOffset == -255)
            return false;
        DrawRows<Variant::AdditiveOpaque, false>(p, m);
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

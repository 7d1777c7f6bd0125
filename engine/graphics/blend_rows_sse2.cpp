// SSE2 versions of the 5:6:5 row kernels: eight pixels at a time on 16-bit lanes, the same
// per-channel arithmetic as the reference (the products stay within 16 bits), the remainder of a
// row through the reference.
#include "engine/graphics/blend_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <algorithm>

namespace blend_rows {
namespace {

using F = pixel::Format565;

struct Channels {
    __m128i r, g, b;
};

inline Channels Split(__m128i p)
{
    const __m128i low5 = _mm_set1_epi16(31), low6 = _mm_set1_epi16(63);
    return {_mm_srli_epi16(p, 11), _mm_and_si128(_mm_srli_epi16(p, 5), low6), _mm_and_si128(p, low5)};
}

inline __m128i Join(const Channels& c)
{
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(c.r, 11), _mm_slli_epi16(c.g, 5)), c.b);
}

// d + (((s - d) * a) >> 8) per lane, arithmetic shift.
inline __m128i Mix(__m128i d, __m128i s, __m128i a)
{
    return _mm_add_epi16(d, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), a), 8));
}

inline __m128i Blend(const Channels& d, const Channels& s, __m128i a)
{
    return Join({Mix(d.r, s.r, a), Mix(d.g, s.g, a), Mix(d.b, s.b, a)});
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

inline __m128i Load(const uint16_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(uint16_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

inline __m128i LoadAlpha(const uint8_t* a)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)), _mm_setzero_si128());
}

// The offset in every lane; beyond +-256 every weight lands on the same side of the thresholds.
inline __m128i OffsetLanes(int offset)
{
    return _mm_set1_epi16(int16_t(std::clamp(offset, -256, 256)));
}

// The weights A + offset of eight pixels and the lanes drawn, where A and A + offset both pass
// 10; false when no lane is.
inline bool OffsetWeights(const uint8_t* a, __m128i off, __m128i* w, __m128i* draw)
{
    const __m128i ten = _mm_set1_epi16(10);
    __m128i A = LoadAlpha(a);
    *w = _mm_add_epi16(A, off);
    *draw = _mm_and_si128(_mm_cmpgt_epi16(A, ten), _mm_cmpgt_epi16(*w, ten));
    return _mm_movemask_epi8(*draw) != 0;
}

void AlphaRowSse2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n)
{
    const __m128i ten = _mm_set1_epi16(10), copyFrom = _mm_set1_epi16(239);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i A = LoadAlpha(a + i);
        __m128i draw = _mm_cmpgt_epi16(A, ten);
        int drawBits = _mm_movemask_epi8(draw);
        if (drawBits == 0)
            continue;
        __m128i sv = Load(s + i);
        __m128i copy = _mm_cmpgt_epi16(A, copyFrom);
        if (_mm_movemask_epi8(copy) == 0xFFFF) {
            Store(d + i, sv);
            continue;
        }
        __m128i dv = Load(d + i);
        __m128i blended = Blend(Split(dv), Split(sv), A);
        Store(d + i, Select(copy, sv, Select(draw, blended, dv)));
    }
    AlphaRow<F>(d + i, s + i, a + i, n - i);
}

void AlphaOffsetRowSse2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset)
{
    const __m128i off = OffsetLanes(offset), copyFrom = _mm_set1_epi16(244);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i w, draw;
        if (!OffsetWeights(a + i, off, &w, &draw))
            continue;
        __m128i sv = Load(s + i), dv = Load(d + i);
        __m128i copy = _mm_cmpgt_epi16(w, copyFrom);
        __m128i blended = Blend(Split(dv), Split(sv), _mm_and_si128(w, _mm_cmplt_epi16(w, _mm_set1_epi16(256))));
        Store(d + i, Select(draw, Select(copy, sv, blended), dv));
    }
    AlphaOffsetRow<F>(d + i, s + i, a + i, n - i, offset);
}

void ConstantRowSse2(uint16_t* d, const uint16_t* s, int n, int weight)
{
    const __m128i w = _mm_set1_epi16(int16_t(weight));
    int i = 0;
    if (weight >= 0 && weight <= 256) {
        for (; i + 8 <= n; i += 8)
            Store(d + i, Blend(Split(Load(d + i)), Split(Load(s + i)), w));
    }
    ConstantRow<F>(d + i, s + i, n - i, weight);
}

void AdditiveRowSse2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset)
{
    const __m128i off = OffsetLanes(offset), wholeFrom = _mm_set1_epi16(244);
    const __m128i max5 = _mm_set1_epi16(31), max6 = _mm_set1_epi16(63);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i w, draw;
        if (!OffsetWeights(a + i, off, &w, &draw))
            continue;
        __m128i whole = _mm_cmpgt_epi16(w, wholeFrom);
        Channels sc = Split(Load(s + i));
        __m128i dv = Load(d + i);
        Channels dc = Split(dv);
        auto scale = [&](__m128i c) { return Select(whole, c, _mm_srli_epi16(_mm_mullo_epi16(c, w), 8)); };
        Channels sum{_mm_min_epi16(_mm_add_epi16(dc.r, scale(sc.r)), max5),
                     _mm_min_epi16(_mm_add_epi16(dc.g, scale(sc.g)), max6),
                     _mm_min_epi16(_mm_add_epi16(dc.b, scale(sc.b)), max5)};
        Store(d + i, Select(draw, Join(sum), dv));
    }
    AdditiveRow<F>(d + i, s + i, a + i, n - i, offset);
}

void TintedRowSse2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset, int red, int green,
                   int blue)
{
    const __m128i off = OffsetLanes(offset), full = _mm_set1_epi16(255);
    const __m128i tr = _mm_set1_epi16(int16_t(red)), tg = _mm_set1_epi16(int16_t(green)),
                  tb = _mm_set1_epi16(int16_t(blue));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i w, draw;
        if (!OffsetWeights(a + i, off, &w, &draw))
            continue;
        w = _mm_min_epi16(w, full);
        Channels sc = Split(Load(s + i));
        Channels tinted{_mm_srli_epi16(_mm_mullo_epi16(sc.r, tr), 5), _mm_srli_epi16(_mm_mullo_epi16(sc.g, tg), 6),
                        _mm_srli_epi16(_mm_mullo_epi16(sc.b, tb), 5)};
        __m128i dv = Load(d + i);
        Store(d + i, Select(draw, Blend(Split(dv), tinted, w), dv));
    }
    TintedRow<F>(d + i, s + i, a + i, n - i, offset, red, green, blue);
}

void FillBlendRowSse2(uint16_t* d, int n, uint16_t colour, int weight)
{
    int i = 0;
    if (weight >= 0 && weight <= 256) {
        const __m128i w = _mm_set1_epi16(int16_t(weight));
        const Channels c = Split(_mm_set1_epi16(int16_t(colour)));
        for (; i + 8 <= n; i += 8)
            Store(d + i, Blend(Split(Load(d + i)), c, w));
    }
    FillBlendRow<F>(d + i, n - i, colour, weight);
}

// Lanes whose weight passes 255 take the colour; their blend, out of range, is thrown away.
void MaskRowSse2(uint16_t* d, const uint8_t* a, int n, uint16_t colour, int offset)
{
    const __m128i off = OffsetLanes(offset), zero = _mm_setzero_si128(), below = _mm_set1_epi16(254);
    const __m128i paint = _mm_set1_epi16(int16_t(colour));
    const Channels c = Split(paint);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i A = LoadAlpha(a + i);
        const __m128i w = _mm_add_epi16(A, off);
        const __m128i draw = _mm_and_si128(_mm_cmpgt_epi16(A, zero), _mm_cmpgt_epi16(w, zero));
        if (_mm_movemask_epi8(draw) == 0)
            continue;
        const __m128i under = Load(d + i);
        const __m128i drawn = Select(_mm_cmpgt_epi16(w, below), paint, Blend(Split(under), c, w));
        Store(d + i, Select(draw, drawn, under));
    }
    MaskRow<F>(d + i, a + i, n - i, colour, offset);
}

const Kernels kSse2 = {
    AlphaRowSse2, AlphaOffsetRowSse2, ConstantRowSse2, AdditiveRowSse2, TintedRowSse2, FillBlendRowSse2, MaskRowSse2,
};

}  // namespace

const Kernels* Sse2Kernels()
{
    return &kSse2;
}

}  // namespace blend_rows
#endif

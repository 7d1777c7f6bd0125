// AVX2 versions of the full-screen alpha kernels, chosen at run time on processors that have it:
// sixteen pixels at a time, each channel's difference taken in place and scaled by a multiply
// whose high half is the reference's (diff * a) >> 8, so the result equals the reference bit for
// bit. The other kernels stay the SSE2 ones.
#include "engine/graphics/blend_rows.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace blend_rows {
namespace {

using F = pixel::Format565;

#define KELO_AVX2 __attribute__((target("avx2")))

KELO_AVX2 inline __m256i Load(const uint16_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

KELO_AVX2 inline void Store(uint16_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

KELO_AVX2 inline __m256i LoadAlpha(const uint8_t* a)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
}

// d + ((s - d) * a) >> 8 per channel for weights 0..255. Each channel's new value stays within
// its field, so the three changes add to d without carrying into a neighbour.
KELO_AVX2 inline __m256i Blend(__m256i d, __m256i s, __m256i a)
{
    const __m256i blueMask = _mm256_set1_epi16(0x001F), greenMask = _mm256_set1_epi16(0x07E0);
    // Red: the 5-bit difference times a, floored by the arithmetic shift, moved back to its field.
    __m256i red = _mm256_sub_epi16(_mm256_srli_epi16(s, 11), _mm256_srli_epi16(d, 11));
    red = _mm256_slli_epi16(_mm256_srai_epi16(_mm256_mullo_epi16(red, a), 8), 11);
    // Green: the difference in place is 32 * diff; the high half of 32 * diff * 8a is diff * a >> 8.
    __m256i green = _mm256_sub_epi16(_mm256_and_si256(s, greenMask), _mm256_and_si256(d, greenMask));
    green = _mm256_slli_epi16(_mm256_mulhi_epi16(green, _mm256_slli_epi16(a, 3)), 5);
    __m256i blue = _mm256_sub_epi16(_mm256_and_si256(s, blueMask), _mm256_and_si256(d, blueMask));
    blue = _mm256_srai_epi16(_mm256_mullo_epi16(blue, a), 8);
    return _mm256_add_epi16(_mm256_add_epi16(d, red), _mm256_add_epi16(green, blue));
}

KELO_AVX2 void AlphaRowAvx2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n)
{
    const __m256i ten = _mm256_set1_epi16(10), copyFrom = _mm256_set1_epi16(239);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i A = LoadAlpha(a + i);
        __m256i draw = _mm256_cmpgt_epi16(A, ten);
        if (_mm256_testz_si256(draw, draw))
            continue;
        __m256i sv = Load(s + i);
        __m256i copy = _mm256_cmpgt_epi16(A, copyFrom);
        if (_mm256_movemask_epi8(copy) == -1) {
            Store(d + i, sv);
            continue;
        }
        __m256i dv = Load(d + i);
        __m256i drawn = _mm256_blendv_epi8(Blend(dv, sv, A), sv, copy);
        Store(d + i, _mm256_blendv_epi8(dv, drawn, draw));
    }
    AlphaRow<F>(d + i, s + i, a + i, n - i);
}

KELO_AVX2 void AlphaOffsetRowAvx2(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, int offset)
{
    // Beyond +-256 every weight lands on the same side of the thresholds.
    const int clamped = offset < -256 ? -256 : offset > 256 ? 256 : offset;
    const __m256i off = _mm256_set1_epi16(int16_t(clamped)), ten = _mm256_set1_epi16(10),
                  copyFrom = _mm256_set1_epi16(244);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i A = LoadAlpha(a + i);
        __m256i w = _mm256_add_epi16(A, off);
        __m256i draw = _mm256_and_si256(_mm256_cmpgt_epi16(A, ten), _mm256_cmpgt_epi16(w, ten));
        if (_mm256_testz_si256(draw, draw))
            continue;
        __m256i sv = Load(s + i), dv = Load(d + i);
        __m256i copy = _mm256_cmpgt_epi16(w, copyFrom);
        // Copied lanes may hold weights past 255; their blend is thrown away.
        __m256i drawn = _mm256_blendv_epi8(Blend(dv, sv, w), sv, copy);
        Store(d + i, _mm256_blendv_epi8(dv, drawn, draw));
    }
    AlphaOffsetRow<F>(d + i, s + i, a + i, n - i, offset);
}

#undef KELO_AVX2

Kernels MakeTable()
{
    const Kernels* sse2 = Sse2Kernels();
    Kernels table = sse2 ? *sse2 : Reference();
    table.alpha = AlphaRowAvx2;
    table.alphaOffset = AlphaOffsetRowAvx2;
    return table;
}

}  // namespace

const Kernels* Avx2Kernels()
{
    static const bool usable = __builtin_cpu_supports("avx2");
    static const Kernels table = MakeTable();
    return usable ? &table : nullptr;
}

}  // namespace blend_rows

#else
namespace blend_rows {
const Kernels* Avx2Kernels()
{
    return nullptr;
}
}  // namespace blend_rows
#endif

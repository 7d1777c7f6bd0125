// x86-64 versions of the mix kernels: the output through SSE2's saturating pack, and mono runs of
// a channel moving forward by up to two samples a frame eight frames at a time through AVX2 where
// the processor has it (a gather was no faster than the scalar loop where measured; a load and a
// permute are). Groups run only while their sixteen samples lie inside the sample; the rest of a
// run goes through the reference.
#include "engine/sound/mix_rows.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace mix_rows {
namespace {

#define KELO_AVX2 __attribute__((target("avx2")))

// Eight consecutive samples from `at` as 32-bit values.
KELO_AVX2 inline __m256i Widen(const int16_t* at)
{
    return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
}

KELO_AVX2 inline __m256i Widen(const int8_t* at)
{
    return _mm256_cvtepi8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
}

// A group of eight frames moving at most two samples a frame reads from the sixteen samples at its
// first index: both halves are widened and each lane picks its own with a permute.
template <typename T>
KELO_AVX2 uint32_t MonoRunAvx2(const T* data, uint32_t length, uint32_t position, uint32_t step, int32_t* out,
                               int frames, int32_t gain)
{
    int i = 0;
    if (step <= 2048 && length >= 16) {
        const uint32_t lastStart = length - 16;  // the highest first index whose sixteen samples exist
        const __m256i lanes = _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                                 _mm256_set1_epi32(static_cast<int>(step)));
        const __m256i seven = _mm256_set1_epi32(7);
        const __m256i g = _mm256_set1_epi32(gain);
        for (; i + 8 <= frames && (position >> 10) <= lastStart; i += 8) {
            const T* at = data + (position >> 10);
            const __m256i fraction = _mm256_set1_epi32(static_cast<int>(position & 1023));
            const __m256i offset = _mm256_srli_epi32(_mm256_add_epi32(fraction, lanes), 10);
            __m256i low = _mm256_permutevar8x32_epi32(Widen(at), offset);
            __m256i high = _mm256_permutevar8x32_epi32(Widen(at + 8), offset);
            __m256i v = _mm256_blendv_epi8(low, high, _mm256_cmpgt_epi32(offset, seven));
            auto* o = reinterpret_cast<__m256i*>(out + i);
            _mm256_storeu_si256(o, _mm256_add_epi32(_mm256_loadu_si256(o), _mm256_mullo_epi32(v, g)));
            position += 8 * step;
        }
    }
    const Kernels& reference = Reference();
    if constexpr (sizeof(T) == 2)
        return reference.mono16(data, length, position, step, out + i, frames - i, gain);
    else
        return reference.mono8(data, length, position, step, out + i, frames - i, gain);
}

#undef KELO_AVX2

void Signed16Sse2(int16_t* out, const int32_t* sums, size_t count)
{
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i a = _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i)), 8);
        __m128i b = _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 4)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(a, b));
    }
    Reference().signed16(out + i, sums + i, count - i);
}

Kernels MakeTable()
{
    Kernels table = Reference();
    table.signed16 = Signed16Sse2;
    if (__builtin_cpu_supports("avx2")) {
        table.mono16 = MonoRunAvx2<int16_t>;
        table.mono8 = MonoRunAvx2<int8_t>;
    }
    return table;
}

}  // namespace

const Kernels* X86Kernels()
{
    static const Kernels table = MakeTable();
    return &table;
}

}  // namespace mix_rows

#else
namespace mix_rows {
const Kernels* X86Kernels()
{
    return nullptr;
}
}  // namespace mix_rows
#endif

// Eight pixels at a time on 16-bit lanes: the channels are split and widened in place, then green
// and blue are packed into one lane and interleaved with red into 32-bit pixels.
#include "platform/sdl/pixel_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace sdlbackend {

void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    const __m128i low5 = _mm_set1_epi16(31), low6 = _mm_set1_epi16(63);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        __m128i r = _mm_srli_epi16(p, 11);
        __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), low6);
        __m128i b = _mm_and_si128(p, low5);
        r = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
        g = _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4));
        b = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
        __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(g, 8), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi16(greenBlue, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi16(greenBlue, r));
    }
    Rgb565ToXrgb8888Reference(out + i, in + i, count - i);
}

}  // namespace sdlbackend
#endif

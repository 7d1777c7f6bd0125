// Eight pixels at a time on 16-bit lanes: the channels are split and widened in place, then green
// and blue are packed into one lane and interleaved with red into 32-bit pixels. A scaled row
// repeats each pixel across its lanes with shuffles and stores the same registers in every row.
#include "platform/sdl/pixel_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace sdlbackend {
namespace {

inline void Convert8(const uint16_t* in, __m128i* low, __m128i* high)
{
    const __m128i low5 = _mm_set1_epi16(31), low6 = _mm_set1_epi16(63);
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    __m128i r = _mm_srli_epi16(p, 11);
    __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), low6);
    __m128i b = _mm_and_si128(p, low5);
    r = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
    g = _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4));
    b = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
    __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(g, 8), b);
    *low = _mm_unpacklo_epi16(greenBlue, r);
    *high = _mm_unpackhi_epi16(greenBlue, r);
}

inline void Store(uint32_t* out, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
}

void Double(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i low, high;
        Convert8(in + i, &low, &high);
        __m128i a = _mm_unpacklo_epi32(low, low), b = _mm_unpackhi_epi32(low, low);
        __m128i c = _mm_unpacklo_epi32(high, high), d = _mm_unpackhi_epi32(high, high);
        for (uint32_t *o = out + i * 2, *end = o + 2 * pitch; o != end; o += pitch) {
            Store(o, a);
            Store(o + 4, b);
            Store(o + 8, c);
            Store(o + 12, d);
        }
    }
    Rgb565ToXrgb8888ScaledReference(out + i * 2, pitch, in + i, count - i, 2);
}

void Triple(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i low, high;
        Convert8(in + i, &low, &high);
        // a b c d -> a a a b, b b c c, c d d d
        const __m128i v[6] = {
            _mm_shuffle_epi32(low, _MM_SHUFFLE(1, 0, 0, 0)),  _mm_shuffle_epi32(low, _MM_SHUFFLE(2, 2, 1, 1)),
            _mm_shuffle_epi32(low, _MM_SHUFFLE(3, 3, 3, 2)),  _mm_shuffle_epi32(high, _MM_SHUFFLE(1, 0, 0, 0)),
            _mm_shuffle_epi32(high, _MM_SHUFFLE(2, 2, 1, 1)), _mm_shuffle_epi32(high, _MM_SHUFFLE(3, 3, 3, 2))};
        for (uint32_t *o = out + i * 3, *end = o + 3 * pitch; o != end; o += pitch) {
            for (int k = 0; k < 6; ++k)
                Store(o + 4 * k, v[k]);
        }
    }
    Rgb565ToXrgb8888ScaledReference(out + i * 3, pitch, in + i, count - i, 3);
}

// Four and more: each pixel fills its run with whole registers, the last one overlapping the one
// before where the run is not a multiple of four.
void Widen(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i low, high;
        Convert8(in + i, &low, &high);
        __m128i v[8] = {_mm_shuffle_epi32(low, 0x00),  _mm_shuffle_epi32(low, 0x55),  _mm_shuffle_epi32(low, 0xAA),
                        _mm_shuffle_epi32(low, 0xFF),  _mm_shuffle_epi32(high, 0x00), _mm_shuffle_epi32(high, 0x55),
                        _mm_shuffle_epi32(high, 0xAA), _mm_shuffle_epi32(high, 0xFF)};
        for (int row = 0; row < scale; ++row) {
            uint32_t* o = out + row * pitch + i * scale;
            for (int k = 0; k < 8; ++k, o += scale) {
                for (int x = 0; x + 4 < scale; x += 4)
                    Store(o + x, v[k]);
                Store(o + scale - 4, v[k]);
            }
        }
    }
    Rgb565ToXrgb8888ScaledReference(out + i * scale, pitch, in + i, count - i, scale);
}

}  // namespace

void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i low, high;
        Convert8(in + i, &low, &high);
        Store(out + i, low);
        Store(out + i + 4, high);
    }
    Rgb565ToXrgb8888Reference(out + i, in + i, count - i);
}

void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale)
{
    switch (scale) {
    case 1:
        Rgb565ToXrgb8888Fast(out, in, count);
        break;
    case 2:
        Double(out, pitch, in, count);
        break;
    case 3:
        Triple(out, pitch, in, count);
        break;
    default:
        if (scale >= 4)
            Widen(out, pitch, in, count, scale);
        break;
    }
}

}  // namespace sdlbackend
#endif

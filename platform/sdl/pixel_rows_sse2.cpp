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

// Eight converted pixels repeated twice or three times across 2 * kScale registers.
template <int kScale>
inline void Spread(__m128i low, __m128i high, __m128i* v)
{
    static_assert(kScale == 2 || kScale == 3);
    if constexpr (kScale == 2) {
        v[0] = _mm_unpacklo_epi32(low, low);
        v[1] = _mm_unpackhi_epi32(low, low);
        v[2] = _mm_unpacklo_epi32(high, high);
        v[3] = _mm_unpackhi_epi32(high, high);
    } else {
        // a b c d -> a a a b, b b c c, c d d d
        v[0] = _mm_shuffle_epi32(low, _MM_SHUFFLE(1, 0, 0, 0));
        v[1] = _mm_shuffle_epi32(low, _MM_SHUFFLE(2, 2, 1, 1));
        v[2] = _mm_shuffle_epi32(low, _MM_SHUFFLE(3, 3, 3, 2));
        v[3] = _mm_shuffle_epi32(high, _MM_SHUFFLE(1, 0, 0, 0));
        v[4] = _mm_shuffle_epi32(high, _MM_SHUFFLE(2, 2, 1, 1));
        v[5] = _mm_shuffle_epi32(high, _MM_SHUFFLE(3, 3, 3, 2));
    }
}

// kStream: every row starts on a 16-byte boundary and the stores bypass the cache, sixteen pixels
// at a time so that each row's writes of a block cover whole 64-byte lines (at 3x, eight pixels
// would end each row's writes halfway through a line, and the processor sends such lines in pieces).
template <int kScale, bool kStream>
void SpreadRows(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count)
{
    constexpr int kBlock = kStream ? 16 : 8, kPerRow = kBlock / 8 * 2 * kScale;
    int i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        __m128i v[kPerRow];
        for (int b = 0; b < kBlock / 8; ++b) {
            __m128i low, high;
            Convert8(in + i + 8 * b, &low, &high);
            Spread<kScale>(low, high, v + b * 2 * kScale);
        }
        for (uint32_t *o = out + i * kScale, *end = o + kScale * pitch; o != end; o += pitch) {
            for (int k = 0; k < kPerRow; ++k) {
                if constexpr (kStream)
                    _mm_stream_si128(reinterpret_cast<__m128i*>(o + 4 * k), v[k]);
                else
                    Store(o + 4 * k, v[k]);
            }
        }
    }
    Rgb565ToXrgb8888ScaledReference(out + i * kScale, pitch, in + i, count - i, kScale);
}

// The pixels a row takes before its writes reach a 64-byte line (a 16-byte boundary where no line
// can be reached), or -1 where neither can.
template <int kScale>
int LeadToBoundary(const uint32_t* out, ptrdiff_t pitch)
{
    const auto address = reinterpret_cast<uintptr_t>(out);
    if (pitch % 4 != 0 || address % 4 != 0)
        return -1;
    for (int lines = 16; lines >= 4; lines /= 4) {
        for (int k = 0; k < lines; ++k) {
            if ((address / 4 + k * kScale) % lines == 0)
                return k;
        }
    }
    return -1;
}

// A doubled or tripled picture too large for the cache goes to the window's memory with streaming
// stores where they can fall on 16-byte boundaries: the desktop (or the GPU's upload) reads it
// next, not this code, and a plain store fetches each line before writing it, which doubles what a
// whole frame (13.8 MB at 3x) moves through memory. The first few pixels of each row go one by one
// until its writes reach a line. One fence after all the rows makes the writes visible to the
// desktop; one a row waits for each row's writes to reach memory (a tenth more at 2x and 3x).
template <int kScale>
void SpreadRows(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, ptrdiff_t inPitch, int count, int rows,
                bool pastCache)
{
    bool streamed = false;
    for (int y = 0; y < rows; ++y, out += kScale * pitch, in += inPitch) {
        const int lead = pastCache ? LeadToBoundary<kScale>(out, pitch) : -1;
        if (lead < 0 || count < lead + 16) {
            SpreadRows<kScale, false>(out, pitch, in, count);
            continue;
        }
        Rgb565ToXrgb8888ScaledReference(out, pitch, in, lead, kScale);
        SpreadRows<kScale, true>(out + lead * kScale, pitch, in + lead, count - lead);
        streamed = true;
    }
    if (streamed)
        _mm_sfence();
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

void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, ptrdiff_t inPitch, int count,
                                int rows, int scale, bool pastCache)
{
    switch (scale) {
    case 2:
        SpreadRows<2>(out, pitch, in, inPitch, count, rows, pastCache);
        return;
    case 3:
        SpreadRows<3>(out, pitch, in, inPitch, count, rows, pastCache);
        return;
    default:
        break;
    }
    for (int y = 0; y < rows; ++y, out += scale * pitch, in += inPitch) {
        if (scale == 1)
            Rgb565ToXrgb8888Fast(out, in, count);
        else if (scale >= 4)
            Widen(out, pitch, in, count, scale);
    }
}

bool RowsGoPastCacheAt(int scale)
{
    return scale == 2 || scale == 3;
}

}  // namespace sdlbackend
#endif

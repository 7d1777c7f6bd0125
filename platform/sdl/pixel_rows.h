#pragma once
// The row conversion of the presentation: the handheld's 5:6:5 pixels to the texture's XRGB8888,
// each channel widened by repeating its top bits (31 -> 255, 63 -> 255), the unused byte 0. The
// reference goes pixel by pixel; the fast one takes eight at a time with SSE2 on x86-64 (the
// reference elsewhere) and equals it bit for bit.
#include <cstddef>
#include <cstdint>

namespace sdlbackend {

void Rgb565ToXrgb8888Reference(uint32_t* out, const uint16_t* in, int count);
void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count);

// One row of `count` pixels shown `scale` times as wide and as high: `scale` rows of count * scale
// pixels, `pitch` pixels apart, written in the same pass as the conversion.
void Rgb565ToXrgb8888ScaledReference(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale);
void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale);

}  // namespace sdlbackend

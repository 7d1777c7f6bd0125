#include "platform/sdl/pixel_rows.h"

namespace sdlbackend {

void Rgb565ToXrgb8888Reference(uint32_t* out, const uint16_t* in, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t p = in[i];
        uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
        out[i] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
}

void Rgb565ToXrgb8888ScaledReference(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale)
{
    for (int i = 0; i < count; ++i) {
        uint32_t pixel;
        Rgb565ToXrgb8888Reference(&pixel, in + i, 1);
        for (int row = 0; row < scale; ++row)
            for (int column = 0; column < scale; ++column)
                out[row * pitch + i * scale + column] = pixel;
    }
}

#if !defined(__SSE2__)
void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    Rgb565ToXrgb8888Reference(out, in, count);
}

void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale)
{
    Rgb565ToXrgb8888ScaledReference(out, pitch, in, count, scale);
}
#endif

}  // namespace sdlbackend

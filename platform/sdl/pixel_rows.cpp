#include "platform/sdl/pixel_rows.h"

#include <unistd.h>

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

bool WritePastCache(size_t bytes)
{
    static const long cache = [] {
        long size = -1;
#if defined(_SC_LEVEL3_CACHE_SIZE)
        size = sysconf(_SC_LEVEL3_CACHE_SIZE);
        if (size <= 0)
            size = sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
        return size;
    }();
    return cache <= 0 || bytes > size_t(cache) / 2;
}

#if !defined(__SSE2__)
void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    Rgb565ToXrgb8888Reference(out, in, count);
}

void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale, bool)
{
    Rgb565ToXrgb8888ScaledReference(out, pitch, in, count, scale);
}
#endif

}  // namespace sdlbackend

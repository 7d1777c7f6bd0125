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

#if !defined(__SSE2__)
void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    Rgb565ToXrgb8888Reference(out, in, count);
}
#endif

}  // namespace sdlbackend

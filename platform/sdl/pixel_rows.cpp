#include "platform/sdl/pixel_rows.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

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

namespace {

int g_forcedWay = -1;

// A number as sysfs writes one, with its unit where it has one ("3", "32768K"); 0 when unreadable.
size_t ReadListedNumber(const std::string& file)
{
    FILE* in = fopen(file.c_str(), "r");
    if (!in)
        return 0;
    char text[32] = {};
    bool read = fgets(text, sizeof text, in) != nullptr;
    fclose(in);
    if (!read)
        return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = strtoull(text, &end, 10);
    if (end == text || errno != 0 || value > (1ull << 40))
        return 0;
    int shift = *end == 'K' ? 10 : *end == 'M' ? 20 : *end == 'G' ? 30 : 0;
    return size_t(value << shift);
}

}  // namespace

size_t ListedCacheBytes(const char* folder)
{
    size_t bestLevel = 0, bestSize = 0;
    // The kernel numbers a processor's caches from index0 up, a handful of them.
    for (int index = 0; index < 16; ++index) {
        const std::string cache = std::string(folder) + "/index" + std::to_string(index) + "/";
        size_t level = ReadListedNumber(cache + "level"), size = ReadListedNumber(cache + "size");
        if (level == 0 || size == 0)
            continue;
        if (level > bestLevel || (level == bestLevel && size > bestSize)) {
            bestLevel = level;
            bestSize = size;
        }
    }
    return bestSize;
}

size_t LastLevelCacheBytes()
{
    static const size_t cache = [] {
        size_t listed = ListedCacheBytes("/sys/devices/system/cpu/cpu0/cache");
        if (listed > 0)
            return listed;
        long size = -1;
#if defined(_SC_LEVEL3_CACHE_SIZE)
        size = sysconf(_SC_LEVEL3_CACHE_SIZE);
        if (size <= 0)
            size = sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
        return size > 0 ? size_t(size) : size_t(0);
    }();
    return cache;
}

bool WritePastCache(size_t bytes)
{
    if (g_forcedWay >= 0)
        return g_forcedWay == 1;
    const size_t cache = LastLevelCacheBytes();
    return cache == 0 || bytes > cache / 2;
}

void ForceWritePastCache(int way)
{
    g_forcedWay = way;
}

int ForcedWritePastCache()
{
    return g_forcedWay;
}

#if !defined(__SSE2__)
void Rgb565ToXrgb8888Fast(uint32_t* out, const uint16_t* in, int count)
{
    Rgb565ToXrgb8888Reference(out, in, count);
}

void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, ptrdiff_t inPitch, int count,
                                int rows, int scale, bool)
{
    for (int y = 0; y < rows; ++y)
        Rgb565ToXrgb8888ScaledReference(out + y * scale * pitch, pitch, in + y * inPitch, count, scale);
}

bool RowsGoPastCacheAt(int)
{
    return false;
}
#endif

}  // namespace sdlbackend

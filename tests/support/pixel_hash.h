#pragma once
// FNV-1a over 16-bit pixels: the tests compare frames and buffers by it.
#include <cstddef>
#include <cstdint>

inline uint64_t PixelHash(const uint16_t* pixels, size_t count)
{
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < count; ++i)
        hash = (hash ^ pixels[i]) * 1099511628211ull;
    return hash;
}

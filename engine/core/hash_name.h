#pragma once
// The name hash of the packs, the sprite list and the language table: the ELF hash with every
// byte taken as a signed 8-bit value whatever the platform's char, kept to 31 bits.
#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint32_t HashName(const char* text, size_t length)
{
    uint32_t h = 0;
    for (size_t i = 0; i < length; ++i) {
        int32_t c = static_cast<int8_t>(static_cast<uint8_t>(text[i]));
        h = (h << 4) + static_cast<uint32_t>(c);
        uint32_t g = h & 0xF0000000u;
        if (g)
            h = (h ^ (g >> 24)) & ~g;
    }
    return h & 0x7FFFFFFFu;
}

inline uint32_t HashName(const char* text)
{
    return text ? HashName(text, strlen(text)) : 0;
}

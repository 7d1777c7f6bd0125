#pragma once
// Pixel-format traits shared by every drawing routine. The 16-bit formats describe their three
// channels by shift and width; the byte formats by their size. One blend rule for all:
// c = d + (((s - d) * a) >> 8) per channel, with an arithmetic shift.
#include <cstdint>
#include <cstring>

namespace pixel {

template <int RedShift, int RedBits, int GreenShift, int GreenBits, int BlueBits>
struct Packed16 {
    static constexpr int kBytes = 2;
    static constexpr int kRedShift = RedShift, kRedBits = RedBits;
    static constexpr int kGreenShift = GreenShift, kGreenBits = GreenBits;
    static constexpr int kBlueBits = BlueBits;
    static constexpr int kRedMax = (1 << RedBits) - 1;
    static constexpr int kGreenMax = (1 << GreenBits) - 1;
    static constexpr int kBlueMax = (1 << BlueBits) - 1;

    static int Red(uint32_t p) { return (p >> kRedShift) & kRedMax; }
    static int Green(uint32_t p) { return (p >> kGreenShift) & kGreenMax; }
    static int Blue(uint32_t p) { return p & kBlueMax; }
    static uint16_t Make(int r, int g, int b)
    {
        return static_cast<uint16_t>((r << kRedShift) | (g << kGreenShift) | b);
    }
    // 8-bit channels packed by truncation.
    static uint16_t Pack(int r, int g, int b)
    {
        return Make((r & 255) >> (8 - RedBits), (g & 255) >> (8 - GreenBits), (b & 255) >> (8 - BlueBits));
    }
    static uint16_t Blend(uint32_t d, uint32_t s, int a)
    {
        int r = Red(d) + (((Red(s) - Red(d)) * a) >> 8);
        int g = Green(d) + (((Green(s) - Green(d)) * a) >> 8);
        int b = Blue(d) + (((Blue(s) - Blue(d)) * a) >> 8);
        return Make(r, g, b);
    }
};

using Format444 = Packed16<8, 4, 4, 4, 4>;
using Format555 = Packed16<10, 5, 5, 5, 5>;
using Format565 = Packed16<11, 5, 5, 6, 5>;

// Three or four bytes B, G, R (, A); the fourth byte is never written by a colour operation.
template <int Bytes>
struct PackedBytes {
    static constexpr int kBytes = Bytes;
    static void Blend(uint8_t* d, const uint8_t* s, int a)
    {
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<uint8_t>(d[i] + (((s[i] - d[i]) * a) >> 8));
    }
    static void Copy(uint8_t* d, const uint8_t* s) { memcpy(d, s, 3); }
};

using Format24 = PackedBytes<3>;
using Format32 = PackedBytes<4>;

inline uint16_t Pack565(int r, int g, int b) { return Format565::Pack(r, g, b); }
inline uint16_t Blend565(uint32_t d, uint32_t s, int a) { return Format565::Blend(d, s, a); }

inline int Clamp255(int a) { return a < 0 ? 0 : a > 255 ? 255 : a; }

}  // namespace pixel

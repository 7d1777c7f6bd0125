#pragma once
// Windows-1252, the 8-bit encoding of the game's texts and fonts.
#include <string>

namespace cp1252 {

// 0x80..0x9F; 0 marks the five codes the encoding leaves undefined.
inline constexpr unsigned kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Unicode code point of an 8-bit code; 0 for an undefined one.
inline unsigned ToUnicode(int code)
{
    if (code >= 0x80 && code < 0xA0)
        return kHigh[code - 0x80];
    return static_cast<unsigned>(code);
}

// The 8-bit code of a code point; -1 when the encoding has none.
inline int FromUnicode(unsigned cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp)
            return 0x80 + i;
    return -1;
}

// Converts UTF-8 text; false on malformed UTF-8 or a character the encoding lacks, with that
// character's code point in bad (0 for malformed input).
inline bool FromUtf8(const std::string& in, std::string& out, unsigned& bad)
{
    out.clear();
    bad = 0;
    for (size_t i = 0; i < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        unsigned cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= in.size() && extra > 0)
            return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(in[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        i += static_cast<size_t>(extra) + 1;
        int code = FromUnicode(cp);
        if (code < 0) {
            bad = cp;
            return false;
        }
        out.push_back(static_cast<char>(code));
    }
    return true;
}

}  // namespace cp1252

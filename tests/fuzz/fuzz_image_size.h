#pragma once
// The size a JPEG or PNG declares in its header, read the simple way. The image targets pass over
// images the loaders would accept but that are large: decoding megapixels of filler from a
// short file finds nothing a small image does not, and one such input costs as much as
// thousands of small ones. Sizes the loaders refuse still reach them.
#include <cstddef>
#include <cstdint>

#include "engine/graphics/image_decode.h"

namespace fuzz_image {

// Width and height from a PNG's IHDR or a JPEG's first frame header; false when neither is found.
inline bool DeclaredSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height)
{
    auto big16 = [&](size_t at) { return uint32_t(data[at]) << 8 | data[at + 1]; };
    if (size >= 24 && data[0] == 0x89 && data[1] == 'P' && data[12] == 'I' && data[15] == 'R') {
        *width = big16(16) << 16 | big16(18);
        *height = big16(20) << 16 | big16(22);
        return true;
    }
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    for (size_t at = 2; at + 4 <= size;) {
        if (data[at] != 0xFF)
            return false;
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
        } else if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
        } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (at + 9 > size)
                return false;
            *height = big16(at + 5);
            *width = big16(at + 7);
            return true;
        } else {
            at += 2 + big16(at + 2);
        }
    }
    return false;
}

// Whether the loaders would decode a large image from these bytes.
inline bool DecodesLarge(const uint8_t* data, size_t size)
{
    constexpr uint64_t kSmallPixels = 1 << 16;
    // Longer sides are the decoders' own to refuse (JPEG's limit, below PNG's).
    constexpr uint32_t kDecoderSide = 65500;
    uint32_t width = 0, height = 0;
    if (!DeclaredSize(data, size, &width, &height))
        return false;
    uint64_t pixels = uint64_t(width) * height;
    return pixels > kSmallPixels && pixels <= image_decode::kMaxPixels && width <= kDecoderSide &&
           height <= kDecoderSide;
}

}  // namespace fuzz_image

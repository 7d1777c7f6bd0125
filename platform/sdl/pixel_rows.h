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
// pixels, `pitch` pixels apart, written in the same pass as the conversion. `pastCache`: the rows
// go to memory with stores that bypass the cache (where the target's rows allow it), for a picture
// too large to stay there; the pixels are the same either way.
void Rgb565ToXrgb8888ScaledReference(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale);
void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale,
                                bool pastCache);

// The largest cache of the highest level a folder laid out as sysfs's cpu0/cache lists (each
// index* with its level and size, "32768K"), in bytes; 0 when it lists none that can be read.
size_t ListedCacheBytes(const char* folder);
// The last-level cache the process really has, read once: what sysfs lists, else what sysconf
// answers, 0 when neither says. A virtual machine's processor may report the host's cache (glibc's
// sysconf reads it there), while sysfs lists the cache the guest was given.
size_t LastLevelCacheBytes();

// Whether a picture of this many bytes, written whole each frame and read next by the desktop, is
// better written past the cache: when it exceeds half the last-level cache (or that size cannot be
// read). A picture that fits stays there for the desktop's read, and streaming it out to memory
// would only cost more.
bool WritePastCache(size_t bytes);
// The benchmarks time both ways at any size: 0 writes through the cache, 1 past it, and -1 (as at
// start) leaves it to WritePastCache's rule. Takes effect at the window's next layout.
void ForceWritePastCache(int way);

}  // namespace sdlbackend

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
// pixels, `pitch` pixels apart, written in the same pass as the conversion.
void Rgb565ToXrgb8888ScaledReference(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, int count, int scale);
// `rows` such rows, `inPitch` pixels apart in the frame, one under the other. `pastCache`: the rows
// go to memory with stores that bypass the cache (where the target's rows allow it), for a picture
// the desktop reads next from memory; the pixels are the same either way.
void Rgb565ToXrgb8888ScaledFast(uint32_t* out, ptrdiff_t pitch, const uint16_t* in, ptrdiff_t inPitch, int count,
                                int rows, int scale, bool pastCache);

// The largest cache of the highest level a folder laid out as sysfs's cpu0/cache lists (each
// index* with its level and size, "32768K"), in bytes; 0 when it lists none that can be read.
size_t ListedCacheBytes(const char* folder);
// The last-level cache the process really has, read once: what sysfs lists, else what sysconf
// answers, 0 when neither says. A virtual machine's processor may report the host's cache (glibc's
// sysconf reads it there), while sysfs lists the cache the guest was given.
size_t LastLevelCacheBytes();

// Whether the rows of this multiple have a way past the cache at all (2x and 3x with SSE2); the
// others are written one way only.
bool RowsGoPastCacheAt(int scale);
// The way a picture of this many bytes, written whole each frame and read next by the desktop,
// starts with until its presents are timed (RowWriteWay): past the cache when it exceeds half the
// last-level cache (or that size cannot be read), as a picture that fits stays there for the
// desktop's read.
bool WritePastCache(size_t bytes);
// The benchmarks time both ways at any size: 0 writes through the cache, 1 past it, and -1 (as at
// start) leaves it to the timing. Takes effect at the window's next layout.
void ForceWritePastCache(int way);
int ForcedWritePastCache();

}  // namespace sdlbackend

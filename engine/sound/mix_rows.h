#pragma once
// Row kernels of the tracker's mix: one channel's run of frames added into the 32-bit sums, and the
// sums turned into signed 16-bit output. The reference kernels follow the formulas frame by frame;
// the fast table takes x86-64's SSE2 for the output and AVX2, where the processor has it, for mono
// runs of a channel moving forward. Each equals its reference bit for bit.
#include <cstddef>
#include <cstdint>

namespace mix_rows {

struct Kernels {
    // Adds data[position >> 10] * gain into out[0..frames), the 22.10 position moving by step (a
    // negative step as its two's complement); returns the position after the run. Every index read
    // lies below `length`.
    uint32_t (*mono16)(const int16_t* data, uint32_t length, uint32_t position, uint32_t step, int32_t* out,
                       int frames, int32_t gain);
    uint32_t (*mono8)(const int8_t* data, uint32_t length, uint32_t position, uint32_t step, int32_t* out, int frames,
                      int32_t gain);
    // out[i] = clamp(sums[i] >> 8) to -32768..32767.
    void (*signed16)(int16_t* out, const int32_t* sums, size_t count);
};

const Kernels& Reference();
const Kernels& Fast();
// The kernels the player uses: the fast ones unless switched off (benchmarks compare both).
const Kernels& Active();
void SetFastPathsEnabled(bool on);

// The x86-64 table, or null where the build or the processor has none.
const Kernels* X86Kernels();

}  // namespace mix_rows

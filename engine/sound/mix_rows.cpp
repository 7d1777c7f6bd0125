#include "engine/sound/mix_rows.h"

#include <algorithm>

namespace mix_rows {
namespace {

template <typename T>
uint32_t MonoRun(const T* data, uint32_t, uint32_t position, uint32_t step, int32_t* out, int frames, int32_t gain)
{
    for (int i = 0; i < frames; ++i) {
        out[i] += int32_t{data[position >> 10]} * gain;
        position += step;
    }
    return position;
}

void Signed16(int16_t* out, const int32_t* sums, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<int16_t>(std::clamp(sums[i] >> 8, -32768, 32767));
}

const Kernels kReference = {MonoRun<int16_t>, MonoRun<int8_t>, Signed16};

bool fastEnabled = true;

}  // namespace

const Kernels& Reference()
{
    return kReference;
}

const Kernels& Fast()
{
    static const Kernels* const fast = X86Kernels();
    return fast ? *fast : kReference;
}

const Kernels& Active()
{
    return fastEnabled ? Fast() : kReference;
}

void SetFastPathsEnabled(bool on)
{
    fastEnabled = on;
}

}  // namespace mix_rows

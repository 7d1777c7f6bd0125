// The conversion of one 800x480 5:6:5 frame to the window texture's XRGB8888, row by row with the
// texture's own pitch; argument 0 runs the scalar reference, 1 the fast path. Megapixels per second
// and the time per frame show what each presented frame pays for it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/sdl/pixel_rows.h"

namespace {

constexpr int kWidth = 800, kHeight = 480;

void BM_PresentConvertFrame(benchmark::State& state)
{
    std::vector<uint16_t> frame(size_t(kWidth) * kHeight);
    std::mt19937 rng(565);
    for (uint16_t& p : frame)
        p = uint16_t(rng());
    // A streaming texture's rows are often padded; 64 spare bytes a row stand for that.
    const size_t pitch = kWidth + 16;
    std::vector<uint32_t> texture(pitch * kHeight);
    auto convert = state.range(0) == 1 ? sdlbackend::Rgb565ToXrgb8888Fast : sdlbackend::Rgb565ToXrgb8888Reference;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            convert(texture.data() + y * pitch, frame.data() + size_t(y) * kWidth, kWidth);
        benchmark::ClobberMemory();
    }
    state.counters["Mpx/s"] =
        benchmark::Counter(double(kWidth) * kHeight / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_PresentConvertFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

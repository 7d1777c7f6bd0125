// The conversion of one 800x480 5:6:5 frame to the window's XRGB8888, with the target's own pitch,
// at a whole multiple (second argument, written in the same pass); first argument 0 runs the
// scalar reference row by row, 1 the fast path through the cache, 2 the fast path with stores that
// bypass it. Megapixels per second (of the screen) and the time per frame show what
// each frame presented whole pays for it.
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
    const int scale = static_cast<int>(state.range(1));
    // A streaming texture's rows are often padded; 64 spare bytes a row stand for that.
    const ptrdiff_t pitch = kWidth * scale + 16;
    std::vector<uint32_t> texture(size_t(pitch) * kHeight * scale);
    const int path = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (path == 0) {
            for (int y = 0; y < kHeight; ++y)
                sdlbackend::Rgb565ToXrgb8888ScaledReference(texture.data() + y * scale * pitch, pitch,
                                                            frame.data() + size_t(y) * kWidth, kWidth, scale);
        } else {
            sdlbackend::Rgb565ToXrgb8888ScaledFast(texture.data(), pitch, frame.data(), kWidth, kWidth, kHeight, scale,
                                                   path == 2);
        }
        benchmark::ClobberMemory();
    }
    state.counters["Mpx/s"] =
        benchmark::Counter(double(kWidth) * kHeight / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_PresentConvertFrame)->ArgsProduct({{0, 1, 2}, {1, 2, 3}})->Unit(benchmark::kMicrosecond);

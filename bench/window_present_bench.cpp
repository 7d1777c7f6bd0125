// The whole presentation of a changed 800x480 frame in a real SDL window: the comparison with the
// picture on show, its copy, the conversion into the window's memory or the texture and the
// desktop's share in this process. The CPU column is the whole process's, every thread of SDL and
// its renderer included. The changed frames are made before the timing, so the figure is the
// present alone. The window takes the largest whole multiple the display allows (counter
// "scale"): Xvfb's screen chooses it (bench/measure_window.sh runs 1x, 2x and 3x); KELO_GL=1 times
// the GL route (Mesa's software GL under Xvfb). Needs a display (xvfb-run gives one); without one it
// says so and measures nothing.
// Goals: at most 0.5 ms of CPU a frame at 2x, 0.8 ms at 3x, and a whole frame at most 1.5 times
// what writing the window's bytes alone past the cache takes in the same run (counter "bytes_ms":
// the window's picture filled with streaming stores, the median of kByteFills).
// BM_PresentWholeFrameEachWay writes the whole frame through the cache (0) and past it (1) whatever
// the timing would choose, and BM_WriteScaledFrameBytes times the memory alone: a 2x or 3x frame's
// bytes filled each way.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/backend.h"
#include "platform/handheld_internal.h"
#include "platform/sdl/picture_fit.h"
#include "platform/sdl/pixel_rows.h"
#include "thread_clock.h"

namespace {

constexpr int kByteFills = 31;

// `count` pixels of one value, with streaming stores (past the cache) or plain ones.
void FillBytes(uint32_t* out, size_t count, uint32_t value, bool pastCache)
{
#if defined(__SSE2__)
    if (pastCache) {
        const __m128i v = _mm_set1_epi32(int(value));
        for (size_t i = 0; i < count; i += 4)
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), v);
        _mm_sfence();
        return;
    }
#endif
    std::fill(out, out + count, value);
}

// A buffer of `count` pixels (a multiple of four) starting on a 16-byte boundary.
struct AlignedPixels {
    explicit AlignedPixels(size_t count) : buffer(count + 4)
    {
        data = buffer.data() + (16 - reinterpret_cast<uintptr_t>(buffer.data()) % 16) % 16 / 4;
    }
    std::vector<uint32_t> buffer;
    uint32_t* data;
};

// The median milliseconds of this thread's CPU to write `count` pixels past the cache.
double StreamedBytesMs(size_t count)
{
    AlignedPixels pixels(count / 4 * 4);
    std::vector<double> ms;
    for (int fill = 0; fill < kByteFills; ++fill) {
        const double start = ThreadSeconds();
        FillBytes(pixels.data, count / 4 * 4, uint32_t(fill), true);
        benchmark::ClobberMemory();
        ms.push_back((ThreadSeconds() - start) * 1e3);
    }
    std::nth_element(ms.begin(), ms.begin() + kByteFills / 2, ms.end());
    return ms[kByteFills / 2];
}

// Every row changed (wholeFrame) or a band of 16, as a menu's animation does.
void PresentFrames(benchmark::State& state, bool wholeFrame)
{
    const char* display = getenv("DISPLAY");
    if (!display || !display[0]) {
        state.SkipWithError("no display (run under xvfb-run)");
        return;
    }
    unsetenv("KELO_HEADLESS");
    setenv("KELO_SCREEN", "800x480", 1);
    // A display server just started (or busy) sometimes refuses the first connection; SDL then
    // gives up on it, so the window is asked for a few times.
    bool open = PlatformStartup();
    for (int attempt = 0; open && attempt < 5; ++attempt) {
        if (sdlbackend::CreateMainWindow("Kelo bench", true))
            break;
        if (attempt == 4)
            open = false;
        else
            usleep(300 * 1000);
    }
    if (!open) {
        state.SkipWithError("no window");
        return;
    }
    const int width = platform_internal::DisplayWidth(), height = platform_internal::DisplayHeight();
    SDL_Rect usable{0, 0, 0, 0};
    SDL_GetDisplayUsableBounds(0, &usable);
    sdlbackend::PictureRect fit = sdlbackend::FitPicture(0, 0, usable.w, usable.h, width, height);
    // Two frames that differ in every pixel; each changed row is copied from the one it does not
    // hold, out of the timing.
    const size_t size = size_t(width) * height;
    std::vector<uint16_t> frames[2] = {std::vector<uint16_t>(size), std::vector<uint16_t>(size)};
    for (size_t i = 0; i < size; ++i) {
        frames[0][i] = uint16_t(i * 2654435761u >> 16);
        frames[1][i] = uint16_t(frames[0][i] ^ 0x0821);
    }
    std::vector<uint8_t> holds(size_t(height), 0);
    uint16_t* pixels = platform_internal::DisplayPixels();
    std::copy(frames[0].begin(), frames[0].end(), pixels);
    // The window needs its first frame before the timing: texture and shared memory are made then.
    platform_internal::PresentDisplay(true);
    const int rows = wholeFrame ? height : 16;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++step;
        const int band = rows < height ? (step * 37) % (height - rows) : 0;
        for (int y = band; y < band + rows; ++y) {
            holds[size_t(y)] ^= 1;
            const uint16_t* from = frames[holds[size_t(y)]].data() + size_t(y) * width;
            std::copy(from, from + width, pixels + size_t(y) * width);
        }
        state.ResumeTiming();
        platform_internal::PresentDisplay(true);
        sdlbackend::PumpEvents();
    }
    state.counters["presents"] = double(state.iterations());
    state.counters["scale"] = double(fit.w) / width;
    state.counters["bytes_ms"] = StreamedBytesMs(size_t(fit.w) * fit.h);
    PlatformShutdown();
}

// Argument 0: a band of 16 rows changes each frame; 1: every row changes, as on a board where chains
// roll from top to bottom.
void BM_PresentWindowFrame(benchmark::State& state)
{
    PresentFrames(state, state.range(0) == 1);
}

void BM_PresentWholeFrameEachWay(benchmark::State& state)
{
    sdlbackend::ForceWritePastCache(int(state.range(0)));
    PresentFrames(state, true);
    sdlbackend::ForceWritePastCache(-1);
}

// Arguments: the scale (2 or 3) and the way (0 through the cache, 1 past it).
void BM_WriteScaledFrameBytes(benchmark::State& state)
{
    const int scale = int(state.range(0));
    const size_t count = size_t(800 * scale) * (480 * scale);
    AlignedPixels pixels(count);
    uint32_t value = 0;
    for (auto _ : state) {
        FillBytes(pixels.data, count, ++value, state.range(1) == 1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(count * 4));
}

}  // namespace

BENCHMARK(BM_PresentWindowFrame)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentWholeFrameEachWay)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteScaledFrameBytes)->ArgsProduct({{2, 3}, {0, 1}})->MeasureProcessCPUTime()->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The whole presentation of a changed 800x480 frame in a real SDL window: the comparison with the
// picture on show, its copy, the conversion into the texture and the desktop's share in this
// process. The CPU column is the whole process's, every thread of SDL and its renderer included.
// The window takes the largest whole multiple the display allows (counter "scale"): Xvfb's screen
// chooses it (bench/measure_window.sh runs 1x, 2x and 3x). Needs a display (xvfb-run gives one);
// without one it says so and measures nothing.
// Goals: at most 0.5 ms of CPU a frame at 2x, 0.8 ms at 3x. BM_PresentWholeFrameEachWay writes the
// whole frame through the cache (0) and past it (1) whatever the cache's size says, and
// BM_WriteScaledFrameBytes times the memory alone: a 2x or 3x frame's bytes filled each way.
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

namespace {

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
    uint16_t* pixels = platform_internal::DisplayPixels();
    for (int i = 0; i < width * height; ++i)
        pixels[i] = uint16_t(i * 2654435761u >> 16);
    // The window needs its first frame before the timing: texture and shared memory are made then.
    platform_internal::PresentDisplay(true);
    const int rows = wholeFrame ? height : 16;
    uint16_t step = 0;
    for (auto _ : state) {
        ++step;
        int band = rows < height ? (step * 37) % (height - rows) : 0;
        for (int y = band; y < band + rows; ++y)
            for (int x = 0; x < width; ++x)
                pixels[y * width + x] ^= uint16_t(step | 1);
        platform_internal::PresentDisplay(true);
        sdlbackend::PumpEvents();
    }
    state.counters["presents"] = double(state.iterations());
    state.counters["scale"] = double(fit.w) / width;
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
    std::vector<uint32_t> buffer(size_t(800 * scale) * (480 * scale) + 16);
    uint32_t* out = buffer.data() + (16 - reinterpret_cast<uintptr_t>(buffer.data()) % 16) % 16 / 4;
    const size_t count = size_t(800 * scale) * (480 * scale);
    uint32_t value = 0;
    for (auto _ : state) {
        ++value;
#if defined(__SSE2__)
        if (state.range(1) == 1) {
            const __m128i v = _mm_set1_epi32(int(value));
            for (size_t i = 0; i < count; i += 4)
                _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), v);
            _mm_sfence();
            continue;
        }
#endif
        std::fill(out, out + count, value);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(count * 4));
}

}  // namespace

BENCHMARK(BM_PresentWindowFrame)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentWholeFrameEachWay)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteScaledFrameBytes)->ArgsProduct({{2, 3}, {0, 1}})->MeasureProcessCPUTime()->UseRealTime()
    ->Unit(benchmark::kMillisecond);

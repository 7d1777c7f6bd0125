// The whole presentation of a changed 800x480 frame in a real SDL window: the comparison with the
// picture on show, its copy, the conversion into the texture and the desktop's share in this
// process. The CPU column is the whole process's, every thread of SDL and its renderer included.
// Needs a display (xvfb-run gives one); without one it says so and measures nothing.
// Goal: at most 1.5 ms of CPU a frame.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/backend.h"
#include "platform/handheld_internal.h"

namespace {

void BM_PresentWindowFrame(benchmark::State& state)
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
    uint16_t* pixels = platform_internal::DisplayPixels();
    for (int i = 0; i < width * height; ++i)
        pixels[i] = uint16_t(i * 2654435761u >> 16);
    // The window needs its first frame before the timing: texture and shared memory are made then.
    platform_internal::PresentDisplay(true);
    uint16_t step = 0;
    for (auto _ : state) {
        // A band of rows changes each frame, as an animation does; the comparison then finds
        // the difference late in the picture.
        ++step;
        int band = (step * 37) % (height - 16);
        for (int y = band; y < band + 16; ++y)
            for (int x = 0; x < width; ++x)
                pixels[y * width + x] ^= uint16_t(step | 1);
        platform_internal::PresentDisplay(true);
        sdlbackend::PumpEvents();
    }
    state.counters["presents"] = double(state.iterations());
    PlatformShutdown();
}

}  // namespace

BENCHMARK(BM_PresentWindowFrame)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

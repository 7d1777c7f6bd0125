// The whole presentation of a changed 800x480 frame in a real SDL window: the comparison with the
// picture on show, its copy, the conversion into the texture and the desktop's share in this
// process. The CPU column is the whole process's, every thread of SDL and its renderer included.
// The window takes the largest whole multiple the display allows (counter "scale"): Xvfb's screen
// chooses it (bench/measure_window.sh runs 1x, 2x and 3x). Needs a display (xvfb-run gives one);
// without one it says so and measures nothing.
// Goals: at most 0.5 ms of CPU a frame at 2x, 0.8 ms at 3x.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/backend.h"
#include "platform/handheld_internal.h"
#include "platform/sdl/picture_fit.h"

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
    SDL_Rect usable{0, 0, 0, 0};
    SDL_GetDisplayUsableBounds(0, &usable);
    sdlbackend::PictureRect fit = sdlbackend::FitPicture(0, 0, usable.w, usable.h, width, height);
    uint16_t* pixels = platform_internal::DisplayPixels();
    for (int i = 0; i < width * height; ++i)
        pixels[i] = uint16_t(i * 2654435761u >> 16);
    // The window needs its first frame before the timing: texture and shared memory are made then.
    platform_internal::PresentDisplay(true);
    // Argument 0: a band of 16 rows changes each frame, as a menu's animation does; 1: every row
    // changes, as on a board where chains roll from top to bottom.
    const int rows = state.range(0) == 0 ? 16 : height;
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

}  // namespace

BENCHMARK(BM_PresentWindowFrame)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// The loader's whole work at 800x480 on the shipped packs: every sprite set, the sound effects,
// the particle systems and the music, without the frames it waits while its title fades in.
// Goal: under 0.5 s on one core.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <time.h>

#include <string>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "bench_app.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/screens/loader_screen.h"
#include "platform/null/test_hooks.h"

namespace {

void BM_LoaderWholeWork(benchmark::State& state)
{
    const std::string save = UseBenchSaveFolder();
    int items = 0;
    bool sound = false;
    for (auto _ : state) {
        state.PauseTiming();
        auto* app = new BenchApp();
        app->SetApplication(app);
        app->LoadOptions();
        bool started = app->Init(800, 480);
        auto* loader = started ? dynamic_cast<LoaderScreen*>(app->GetScreen(kSlotLoader)) : nullptr;
        if (!loader) {
            state.SkipWithError("the loader did not start");
            delete app;
            break;
        }
        // The fade-in only waits; the loading starts on the frame it ends.
        while (loader->IsAnyBusy() && loader->GetNextItem() == 0)
            app->Update();
        state.ResumeTiming();
        while (!loader->IsScreenFadingOut() && !app->IsQuitRequested())
            app->Update();
        state.PauseTiming();
        items = loader->GetTotalItems();
        sound = app->HasSoundService();
        delete app;
        state.ResumeTiming();
    }
    state.counters["items"] = items;
    state.counters["sound"] = sound ? 1 : 0;
    RemoveBenchSaveFolder(save);
}

double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

bool MenuShown(GameApp& app)
{
    auto* menu = dynamic_cast<GameScreen*>(app.GetScreen(kSlotStartMenu));
    return menu && !menu->IsScreenFading();
}

// From nothing to the start menu shown, frame by frame as the frame timer runs them: Init, the
// first picture, every loader item at its pace of four a frame, the music, the fades and the
// menu's set-up. The time is the process's CPU time (the mixer's thread included); frames and
// their pace at the frame interval are counters, and so is the CPU up to the first picture.
// Goal: under 0.5 s of CPU to the menu.
void BM_StartToMenu(benchmark::State& state)
{
    const std::string save = UseBenchSaveFolder();
    int frames = 0, interval = 0;
    double firstPicture = 0;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        auto* app = new BenchApp();
        app->SetApplication(app);
        app->LoadOptions();
        int width = 0, height = 0;
        BenchScreenSize(width, height);
        if (!app->Init(width, height)) {
            state.SkipWithError("the application did not start");
            delete app;
            break;
        }
        interval = app->GetFrameInterval();
        frames = 0;
        while (!MenuShown(*app) && !app->IsQuitRequested() && frames < 10000) {
            nullbackend::AdvanceClock(DWORD(interval));
            app->Update();
            app->DrawFrame();
            if (++frames == 1)
                firstPicture = ProcessSeconds() - start;
        }
        const double spent = ProcessSeconds() - start;
        state.SetIterationTime(spent);
        if (!MenuShown(*app))
            state.SkipWithError("the menu was not reached");
        state.PauseTiming();
        delete app;
        state.ResumeTiming();
    }
    state.counters["frames"] = frames;
    state.counters["paced_ms"] = frames * interval;
    state.counters["first_picture_cpu_ms"] = firstPicture * 1000;
    RemoveBenchSaveFolder(save);
}

}  // namespace

BENCHMARK(BM_LoaderWholeWork)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

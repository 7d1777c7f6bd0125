// The loader's whole work at 800x480 on the shipped packs: every sprite set, the sound effects,
// the particle systems and the music, without the frames it waits while its title fades in.
// Goal: under 0.5 s on one core.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "bench_app.h"
#include "game/app/game_app.h"
#include "game/screens/loader_screen.h"

namespace {

void BM_LoaderWholeWork(benchmark::State& state)
{
    char pattern[] = "/tmp/kelo_bench_XXXXXX";
    const char* save = mkdtemp(pattern);
    setenv("KELO_HEADLESS", "1", 0);
    if (save)
        setenv("KELO_SAVE_DIR", save, 1);
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
    if (save)
        system((std::string("rm -rf '") + save + "'").c_str());
}

}  // namespace

BENCHMARK(BM_LoaderWholeWork)->Unit(benchmark::kMillisecond)->Iterations(5);

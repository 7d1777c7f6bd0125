// Tracker music rendering at the mixer's 22050 Hz mono, reported as times realtime
// ("realtime" counter). The fixtures are written by modwriter from tests/data/modules.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(KELO_PEER_XMP)
#include <xmp.h>
#endif

#include "engine/sound/mix_rows.h"
#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"
#include "thread_clock.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Fixture(const std::string& name)
{
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto found = cache.find(name);
    if (found != cache.end())
        return found->second;
    fs::path source = fs::path(__FILE__).parent_path().parent_path() / "tests/data/modules" / (name + ".txt");
    fs::path tool = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools/modwriter";
    fs::path target = fs::temp_directory_path() / ("kelo_bench_" + std::to_string(getpid()) + "_" + name + ".bin");
    std::string command = tool.string() + " '" + source.string() + "' '" + target.string() + "'";
    std::vector<uint8_t> bytes;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(target, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        fs::remove(target);
    }
    cache[name] = bytes;
    return bytes;
}

void RenderModule(benchmark::State& state, const char* name)
{
    std::vector<uint8_t> bytes = Fixture(name);
    ModuleMusic music;
    if (bytes.empty() || !music.Init()) {
        state.SkipWithError("no fixture (is modwriter built?)");
        return;
    }
    music.SetSampleRate(22050);
    if (!music.Load(bytes.data(), bytes.size())) {
        state.SkipWithError("fixture does not load");
        return;
    }
    music.SetVolume(255);
    constexpr int kChunk = 1103;  // an odd size, as the mixer's buffers need not match ticks
    std::vector<int16_t> buffer(kChunk);
    long frames = 0, sounding = 0, renders = 0;
    for (auto _ : state) {
        if (!music.IsPlaying()) {
            music.Play();
            music.GetPlayer()->loop = true;
        }
        music.Render(buffer.data(), kChunk);
        benchmark::DoNotOptimize(buffer.data());
        frames += kChunk;
        const ModulePlayer& player = *music.GetPlayer();
        for (int c = 0; c < player.channelCount; ++c)
            sounding += player.channels[c].keyed;
        ++renders;
    }
    state.counters["realtime"] = benchmark::Counter(static_cast<double>(frames) / 22050.0, benchmark::Counter::kIsRate);
    state.counters["channels"] = music.GetPlayer()->channelCount;
    state.counters["sounding"] = renders ? static_cast<double>(sounding) / static_cast<double>(renders) : 0;
}

#if defined(KELO_PEER_XMP)
// The game's own module as the build packs it.
std::vector<uint8_t> GameModule()
{
    std::ifstream in(std::string(KELO_DATA_DIR) + "/stage/Sounds/Music/kelo.s3m", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The game's module rendered by our player and by libxmp in the same loop, each a chunk at a time
// at 22050 Hz, 16-bit mono, looping, timed in thread CPU time. The first argument is libxmp's
// interpolation: 0 its default (linear), 1 nearest, as ours; the second our mix kernels: 0 the
// scalar reference, 1 the fast ones the game uses. The time is ours; times_libxmp says how many
// times faster than libxmp it is.
void BM_PeerRenderGameModuleLibxmp(benchmark::State& state)
{
    std::vector<uint8_t> bytes = GameModule();
    ModuleMusic music;
    if (bytes.empty() || !music.Init()) {
        state.SkipWithError("no game module (is the data built?)");
        return;
    }
    music.SetSampleRate(22050);
    if (!music.Load(bytes.data(), bytes.size())) {
        state.SkipWithError("the game module does not load");
        return;
    }
    music.SetVolume(191);  // the game's music at 100 %
    xmp_context xmp = xmp_create_context();
    if (xmp_load_module_from_memory(xmp, bytes.data(), static_cast<long>(bytes.size())) != 0 ||
        xmp_start_player(xmp, 22050, XMP_FORMAT_MONO) != 0) {
        xmp_free_context(xmp);
        state.SkipWithError("libxmp does not take the game module");
        return;
    }
    if (state.range(0) == 1)
        xmp_set_player(xmp, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
    mix_rows::SetFastPathsEnabled(state.range(1) == 1);
    constexpr int kChunk = 1103;
    std::vector<int16_t> ours(kChunk), theirs(kChunk);
    double oursSeconds = 0, theirSeconds = 0;
    long frames = 0;
    for (auto _ : state) {
        if (!music.IsPlaying()) {
            music.Play();
            music.GetPlayer()->loop = true;
        }
        double t0 = ThreadSeconds();
        music.Render(ours.data(), kChunk);
        benchmark::DoNotOptimize(ours.data());
        double t1 = ThreadSeconds();
        xmp_play_buffer(xmp, theirs.data(), kChunk * 2, 0);
        benchmark::DoNotOptimize(theirs.data());
        double t2 = ThreadSeconds();
        oursSeconds += t1 - t0;
        theirSeconds += t2 - t1;
        state.SetIterationTime(t1 - t0);
        frames += kChunk;
    }
    mix_rows::SetFastPathsEnabled(true);
    xmp_end_player(xmp);
    xmp_release_module(xmp);
    xmp_free_context(xmp);
    const double seconds = static_cast<double>(frames) / 22050.0;
    state.counters["realtime"] = oursSeconds > 0 ? seconds / oursSeconds : 0;
    state.counters["libxmp_realtime"] = theirSeconds > 0 ? seconds / theirSeconds : 0;
    state.counters["times_libxmp"] = oursSeconds > 0 ? theirSeconds / oursSeconds : 0;
}
#endif

}  // namespace

BENCHMARK_CAPTURE(RenderModule, bench16, "bench16");
BENCHMARK_CAPTURE(RenderModule, xm_instruments, "xm_instruments");
BENCHMARK_CAPTURE(RenderModule, mod_effects, "mod_effects");
BENCHMARK_CAPTURE(RenderModule, s3m_channels, "s3m_channels");
BENCHMARK_CAPTURE(RenderModule, sequence, "sequence");
BENCHMARK_CAPTURE(RenderModule, events, "events");
BENCHMARK_CAPTURE(RenderModule, pingpong, "pingpong");
BENCHMARK_CAPTURE(RenderModule, broken_xm, "broken_xm");
#if defined(KELO_PEER_XMP)
BENCHMARK(BM_PeerRenderGameModuleLibxmp)->ArgsProduct({{0, 1}, {0, 1}})->UseManualTime();
#endif

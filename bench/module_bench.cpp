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

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"

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

}  // namespace

BENCHMARK_CAPTURE(RenderModule, bench16, "bench16");
BENCHMARK_CAPTURE(RenderModule, xm_instruments, "xm_instruments");
BENCHMARK_CAPTURE(RenderModule, mod_effects, "mod_effects");
BENCHMARK_CAPTURE(RenderModule, s3m_channels, "s3m_channels");
BENCHMARK_CAPTURE(RenderModule, sequence, "sequence");
BENCHMARK_CAPTURE(RenderModule, events, "events");
BENCHMARK_CAPTURE(RenderModule, pingpong, "pingpong");
BENCHMARK_CAPTURE(RenderModule, broken_xm, "broken_xm");

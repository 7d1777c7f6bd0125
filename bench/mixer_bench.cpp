// The mixer's refill: 8 looping voices plus one streamed source into 22050 Hz 16-bit mono, in
// times realtime ("x_realtime"). Goal for the WAV stream: at least 1000.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/sound/mixer.h"
#include "engine/sound/ogg_music_stream.h"
#include "engine/sound/wav_music_stream.h"
#include "engine/sound/wav_sample.h"
#include "platform/files.h"
#include "tests/support/byte_writer.h"
#include "tests/support/host_file.h"

namespace {

std::vector<uint8_t> Tone(uint32_t rate, int bits, int seconds, double freq)
{
    uint32_t count = rate * static_cast<uint32_t>(seconds);
    uint32_t bytes = count * static_cast<uint32_t>(bits / 8);
    std::vector<uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutLe32(out, 16);
    PutLe16(out, 1);
    PutLe16(out, 1);
    PutLe32(out, rate);
    PutLe32(out, rate * static_cast<uint32_t>(bits / 8));
    PutLe16(out, static_cast<uint32_t>(bits / 8));
    PutLe16(out, static_cast<uint32_t>(bits));
    for (char c : std::string("data"))
        out.push_back(static_cast<uint8_t>(c));
    PutLe32(out, bytes);
    for (uint32_t i = 0; i < count; ++i) {
        double v = std::sin(2 * M_PI * freq * i / rate);
        if (bits == 16)
            PutLe16(out, static_cast<uint16_t>(static_cast<int16_t>(v * 8000)));
        else
            out.push_back(static_cast<uint8_t>(128 + v * 60));
    }
    return out;
}

struct Voices {
    std::vector<std::vector<uint8_t>> images;
    std::vector<WavSample> samples;
    Voices() : samples(8)
    {
        for (int i = 0; i < 8; ++i) {
            images.push_back(i % 2 ? Tone(11025, 8, 2, 300 + 40 * i) : Tone(22050, 16, 1, 300 + 40 * i));
            (void)samples[static_cast<size_t>(i)].LoadFromMemory(images.back().data(), images.back().size());
            samples[static_cast<size_t>(i)].SetLoop(true);
        }
    }
};

void RunRefills(benchmark::State& state, MusicStream* stream)
{
    Mixer mixer;
    if (mixer.Open(22050, 16, 0, 1, 8) != 1) {
        state.SkipWithError("no device");
        return;
    }
    Voices voices;
    for (WavSample& s : voices.samples)
        mixer.PlaySample(&s);
    if (stream)
        mixer.AddStream(stream, 128, true);
    std::vector<uint8_t> buffer(mixer.GetBufferBytes());
    for (auto _ : state) {
        mixer.Lock();
        mixer.Refill(buffer.data());
        mixer.Unlock();
        benchmark::DoNotOptimize(buffer.data());
    }
    double secondsPerRefill = (mixer.GetBufferBytes() / 2) / 22050.0;
    state.counters["x_realtime"] = benchmark::Counter(secondsPerRefill * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
    if (stream)
        mixer.RemoveStream(stream);
    mixer.Close();
}

void EightVoicesAndAWavStream(benchmark::State& state)
{
    std::string host = "/tmp/kelo_bench_stream_" + std::to_string(getpid()) + ".wav";
    std::vector<uint8_t> file = Tone(22050, 16, 10, 220);
    WriteHostFile(host, file);
    WavMusicStream stream(nullptr);
    if (!stream.Open(hostpath::FromHost(host).c_str())) {
        state.SkipWithError("stream did not open");
        return;
    }
    RunRefills(state, &stream);
    stream.Close();
    WavMusicStream::FreeScratch();
    remove(host.c_str());
}

// No goal: Vorbis decoding dominates.
void EightVoicesAndAnOggStream(benchmark::State& state)
{
    std::string source = __FILE__;
    std::string host = source.substr(0, source.rfind('/')) + "/../tests/data/sound/tone_mono_22050.ogg";
    OggMusicStream stream(nullptr);
    if (!stream.Open(hostpath::FromHost(host).c_str())) {
        state.SkipWithError("the Ogg fixture did not open");
        return;
    }
    RunRefills(state, &stream);
}

void EightVoicesOnly(benchmark::State& state)
{
    RunRefills(state, nullptr);
}

}  // namespace

BENCHMARK(EightVoicesAndAWavStream);
BENCHMARK(EightVoicesAndAnOggStream);
BENCHMARK(EightVoicesOnly);

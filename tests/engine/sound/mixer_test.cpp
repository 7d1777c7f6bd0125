#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "engine/sound/mixer.h"
#include "engine/sound/music_source.h"
#include "engine/sound/music_stream.h"
#include "engine/sound/wav_sample.h"
#include "platform/null/test_hooks.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

constexpr size_t kBuffer = 992;

// Loads a sample from an image the test keeps.
struct Sample {
    std::vector<uint8_t> image;
    WavSample wav;
    Sample(const std::vector<int16_t>& values, uint32_t rate = 22050) : image(Wav16(values, rate))
    {
        EXPECT_TRUE(wav.LoadFromMemory(image.data(), image.size()).ok());
    }
};

class Mixing : public ::testing::Test {
protected:
    void SetUp() override
    {
        nullbackend::SetSoundDeviceCount(1);
        nullbackend::FailSoundOpen(false);
        ASSERT_EQ(mixer.Open(22050, 16, 0, 1, 8), 1);
        nullbackend::ClearCapturedSound();
    }
    // The six first headers carry 8 bytes each; their return refills every buffer once.
    void StartRefills()
    {
        nullbackend::PumpSound(6 * 8);
        nullbackend::ClearCapturedSound();
    }
    std::vector<int16_t> Play(size_t buffers)
    {
        nullbackend::ClearCapturedSound();
        nullbackend::PumpSound(buffers * kBuffer);
        return CapturedSamples();
    }
    Mixer mixer;
};

class ConstantMusic : public MusicSource {
public:
    void Render(int16_t* buffer, int samples) override
    {
        if (playing)
            std::fill(buffer, buffer + samples, static_cast<int16_t>(1000));
    }
    void SetVolume(int level) override { volume = level; }
    int GetVolume() override { return volume; }
    void Play() override
    {
        playing = true;
        order = 0;
    }
    void Stop() override { playing = false; }
    void SetOrder(int o) override { order = o; }
    void SetLoop(bool l) override { loop = l; }
    bool IsPlaying() override { return playing; }
    void SetSampleRate(int) override {}
    bool Load(const uint8_t*, uint32_t) override { return true; }
    bool playing = false, loop = false;
    int volume = 0, order = -1;
};

class ConstantStream : public MusicStream {
public:
    ConstantStream() : MusicStream(nullptr) {}
    void Mix(int16_t* out, int count) override
    {
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<int16_t>(out[i] + level);
    }
    bool Open(const char*) override { return true; }
    void Close() override {}
    void Play(bool) override
    {
        active = true;
        ++plays;
    }
    void Stop() override
    {
        active = false;
        ++stops;
    }
    void SetVolume(int v) override { level = v; }
    const String& GetName() override { return name; }
    int level = 0, plays = 0, stops = 0;
    String name;
};

}  // namespace

TEST(MixerOpen, RatesBuffersAndVoiceCounts)
{
    nullbackend::SetSoundDeviceCount(1);
    nullbackend::FailSoundOpen(false);
    Mixer m;
    ASSERT_EQ(m.Open(32000, 16, 0, 0, 2), 1);
    EXPECT_EQ(m.GetRate(), 22050);
    EXPECT_EQ(m.GetBufferBytes(), 992u);
    EXPECT_EQ(m.GetMusicVoiceCount(), 1);
    EXPECT_EQ(m.GetSoundVoiceCount(), 8);
    EXPECT_EQ(m.GetFormat().nAvgBytesPerSec, 44100u);
    EXPECT_EQ(m.Open(22050, 16, 0, 1, 8), 0);  // already open
    m.Close();
    ASSERT_EQ(m.Open(44100, 16, 1, 5, 100), 1);
    EXPECT_EQ(m.GetBufferBytes(), 3976u);
    EXPECT_EQ(m.GetMusicVoiceCount(), 3);
    EXPECT_EQ(m.GetSoundVoiceCount(), 64);
    m.Close();
    ASSERT_EQ(m.Open(11025, 8, 0, 1, 8), 1);
    EXPECT_EQ(m.GetBufferBytes(), 248u);
    m.Close();
    EXPECT_FALSE(nullbackend::SoundDeviceIsOpen());
}

TEST(MixerOpen, NoDeviceOrAFailingOneLeavesItClosed)
{
    Mixer m;
    nullbackend::SetSoundDeviceCount(0);
    EXPECT_EQ(m.Open(22050, 16, 0, 1, 8), 0);
    EXPECT_FALSE(m.IsOpen());
    nullbackend::SetSoundDeviceCount(1);
    nullbackend::FailSoundOpen(true);
    EXPECT_EQ(m.Open(22050, 16, 0, 1, 8), 0);
    nullbackend::FailSoundOpen(false);
    Sample s({1, 2, 3});
    EXPECT_EQ(m.PlaySample(&s.wav), -1);
    m.StopAll();  // the lock exists even on a closed mixer
    EXPECT_EQ(m.Close(), 1);
}

TEST_F(Mixing, PumpedOutputIsTheMixOfItsVoices)
{
    std::vector<int16_t> a(3000), b(1000);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<int16_t>(5000 - static_cast<int>(i * 11) % 9000);
    Sample first(a);
    Sample second(b, 11025);  // half the rate: each value plays twice
    mixer.SetMasterVolume(40);
    EXPECT_EQ(mixer.PlaySample(&first.wav), 1);
    EXPECT_EQ(mixer.PlaySample(&second.wav), 2);
    StartRefills();
    std::vector<int16_t> out = Play(7);
    ASSERT_EQ(out.size(), 7 * kBuffer / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        int32_t acc = 0;
        if (i < a.size())
            acc += 40 * a[i];
        if (i / 2 < b.size())
            acc += 40 * b[i / 2];
        ASSERT_EQ(out[i], std::clamp(acc >> 6, -32768, 32767)) << "sample " << i;
    }
}

TEST_F(Mixing, LoudVoicesClampAndLoopsWrapAtPositionMinusEnd)
{
    Sample loud(std::vector<int16_t>(600, 30000));
    Sample low(std::vector<int16_t>(600, -30000));
    mixer.PlaySample(&loud.wav);
    mixer.PlaySample(&loud.wav);
    StartRefills();
    std::vector<int16_t> out = Play(1);
    EXPECT_EQ(out[0], 32767);
    mixer.StopAll();
    mixer.PlaySample(&low.wav);
    mixer.PlaySample(&low.wav);
    nullbackend::PumpSound(6 * kBuffer);
    out = Play(1);
    EXPECT_EQ(out[0], -32768);

    // Four values at 1.5 times the mix rate, looping: 0, 1.5, 3, then 4.5 - 4 = 0.5, ...
    mixer.StopAll();
    Sample four({100, 200, 300, 400}, 33075);
    four.wav.SetLoop(true);
    mixer.PlaySample(&four.wav);
    nullbackend::PumpSound(6 * kBuffer);
    out = Play(1);
    std::vector<int16_t> want{100, 200, 400, 100, 300, 400, 200, 300};
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 8), want);
    // It is still going a buffer later.
    EXPECT_NE(Play(1)[100], 0);
}

TEST_F(Mixing, TheNinthSoundTakesTheVoiceWithTheShortestSample)
{
    std::vector<std::unique_ptr<Sample>> samples;
    for (int len : {900, 800, 700, 300, 600, 300, 500, 400})
        samples.push_back(std::make_unique<Sample>(std::vector<int16_t>(static_cast<size_t>(len), 7)));
    for (int i = 0; i < 8; ++i) {
        uint32_t serial = 0;
        EXPECT_EQ(mixer.PlaySample(&samples[static_cast<size_t>(i)]->wav, &serial), 1 + i);
    }
    Sample ninth(std::vector<int16_t>(50, 9));
    uint32_t serial = 0;
    // Voices 3 and 5 hold the shortest samples; the lower index wins.
    EXPECT_EQ(mixer.PlaySample(&ninth.wav, &serial), 1 + 3);
    EXPECT_TRUE(mixer.IsVoicePlaying(4, serial));
    ASSERT_NE(mixer.FindVoice(4), nullptr);
    EXPECT_EQ(mixer.FindVoice(4)->end, 50u * 256);
    EXPECT_EQ(mixer.FindVoice(0), mixer.FindVoice(0));  // the reserved music voice
    EXPECT_EQ(mixer.FindVoice(9), nullptr);

    // Voices that ended are free again, and their old starts no longer count as playing.
    uint32_t firstSerial = mixer.FindVoice(1)->serial;
    StartRefills();
    EXPECT_FALSE(mixer.IsVoicePlaying(4, serial));
    uint32_t again = 0;
    EXPECT_EQ(mixer.PlaySample(&ninth.wav, &again), 1);
    mixer.StopVoice(1, firstSerial);  // the old start on that voice: nothing happens
    EXPECT_TRUE(mixer.IsVoicePlaying(1, again));
    mixer.StopVoice(1, again);
    EXPECT_FALSE(mixer.IsVoicePlaying(1, again));
}

TEST_F(Mixing, MasterLevelIsClampedAsASignedValue)
{
    mixer.SetMasterVolume(100);
    EXPECT_EQ(mixer.GetMasterVolume(), 64);
    mixer.SetMasterVolume(-1);
    EXPECT_EQ(mixer.GetMasterVolume(), 0);
    Sample s(std::vector<int16_t>(20000, 12000));
    mixer.PlaySample(&s.wav);
    StartRefills();
    EXPECT_EQ(Play(1)[10], 0);
    mixer.SetMasterVolume(32);
    nullbackend::PumpSound(6 * kBuffer);  // the buffers mixed before the change
    EXPECT_EQ(Play(1)[10], 6000);
}

TEST_F(Mixing, MusicThenStreamsThenVoicesAndAStreamAddedTwiceIsListedOnce)
{
    ConstantMusic music;
    ConstantStream stream;
    EXPECT_EQ(mixer.PlayMusic(nullptr, 0, 100, true), -1);
    EXPECT_EQ(mixer.PlayMusic(&music, 3, 0x1C0, true), 1);
    EXPECT_TRUE(music.playing);
    EXPECT_EQ(music.order, 3);
    EXPECT_TRUE(music.loop);
    EXPECT_EQ(music.volume, 0xC0);
    EXPECT_EQ(mixer.AddStream(&stream, 10, false), 1);
    EXPECT_EQ(mixer.AddStream(&stream, 20, true), 1);
    EXPECT_EQ(mixer.ActiveStreamCount(), 1);
    EXPECT_EQ(stream.stops, 1);
    EXPECT_EQ(stream.plays, 2);
    Sample s(std::vector<int16_t>(5000, 5));
    mixer.PlaySample(&s.wav);
    StartRefills();
    EXPECT_EQ(Play(1)[0], 1000 + 20 + 5);

    mixer.RemoveStream(&stream);
    EXPECT_EQ(mixer.ActiveStreamCount(), 0);
    mixer.StopMusic();
    EXPECT_FALSE(music.playing);
    nullbackend::PumpSound(6 * kBuffer);  // the six mixed before the change
    EXPECT_EQ(Play(1)[0], 5);
}

TEST_F(Mixing, CloseOfAPausedDeviceWaitsOnlyBriefly)
{
    Sample s(std::vector<int16_t>(5000, 5));
    mixer.PlaySample(&s.wav);
    mixer.Pause();
    nullbackend::ResetSleptTotal();
    EXPECT_EQ(mixer.Close(), 1);
    EXPECT_LE(nullbackend::SleptTotal(), 100u);
    EXPECT_FALSE(nullbackend::SoundDeviceIsOpen());
    EXPECT_FALSE(mixer.IsOpen());
}

// The audio thread keeps pumping while the main thread plays sounds and closes: nothing it reads
// is freed under it (the sanitizer build watches this).
TEST(MixerThreads, CloseWhileTheAudioThreadRefills)
{
    nullbackend::SetSoundDeviceCount(1);
    nullbackend::FailSoundOpen(false);
    for (int round = 0; round < 20; ++round) {
        Mixer m;
        ASSERT_EQ(m.Open(22050, 16, 0, 1, 8), 1);
        Sample s(std::vector<int16_t>(3000, 100));
        std::atomic<bool> stop{false};
        std::thread audio([&] {
            while (!stop.load())
                nullbackend::PumpSound(kBuffer);
        });
        for (int i = 0; i < 20; ++i)
            m.PlaySample(&s.wav);
        m.Close();
        EXPECT_FALSE(nullbackend::SoundDeviceIsOpen());
        stop.store(true);
        audio.join();
    }
}

#include <gtest/gtest.h>
#include <tremor/ivorbisfile.h>

#include <cstdio>

#include "engine/sound/ogg_music_stream.h"
#include "engine/sound/wav_music_stream.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

// The whole file decoded by the library itself, interleaved.
std::vector<int16_t> DecodeReference(const std::string& host, int* channels)
{
    std::vector<int16_t> pcm;
    FILE* f = fopen(host.c_str(), "rb");
    OggVorbis_File vf;
    if (!f || ov_open(f, &vf, nullptr, 0) != 0)
        return pcm;
    *channels = ov_info(&vf, -1)->channels;
    char chunk[4096];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, chunk, sizeof chunk, &section)) != 0) {
        if (got < 0)
            continue;
        const int16_t* s = reinterpret_cast<const int16_t*>(chunk);
        pcm.insert(pcm.end(), s, s + got / 2);
    }
    ov_clear(&vf);  // closes the file too
    return pcm;
}

std::vector<int16_t> MixAll(MusicStream& stream, const std::vector<int>& sizes)
{
    std::vector<int16_t> out;
    for (int n : sizes) {
        std::vector<int16_t> part(static_cast<size_t>(n), 0);
        stream.Mix(part.data(), n);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace

TEST(OggMusicStream, StepsAndChannelsFollowTheFileAndTheLeftChannelPlays)
{
    struct Case {
        const char* name;
        int step;
        int channels;
    } cases[] = {{"tone_stereo_44100.ogg", 512, 2}, {"tone_mono_22050.ogg", 256, 1}, {"tone_mono_11025.ogg", 128, 1}};
    for (const Case& c : cases) {
        OggMusicStream stream(nullptr);
        ASSERT_TRUE(stream.Open(DataPath(c.name).c_str())) << c.name;
        EXPECT_EQ(stream.GetStep(), c.step);
        EXPECT_EQ(stream.GetChannels(), c.channels);
        EXPECT_TRUE(stream.GetName().Equals(DataPath(c.name).c_str()));
        int channels = 0;
        std::vector<int16_t> ref = DecodeReference(HostData(c.name), &channels);
        ASSERT_EQ(channels, c.channels);
        stream.Play(false);
        std::vector<int16_t> out = MixAll(stream, std::vector<int>(8, 496));
        size_t frames = ref.size() / static_cast<size_t>(channels);
        size_t compared = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            // Output sample i reads source frame i x step / 256, its first value.
            size_t frame = i * static_cast<size_t>(c.step) / 256;
            if (frame >= frames)
                break;
            ASSERT_EQ(out[i], ref[frame * static_cast<size_t>(channels)]) << c.name << " sample " << i;
            ++compared;
        }
        EXPECT_GT(compared, 2000u);
    }
}

TEST(OggMusicStream, EndsSilentWithoutLoopAndGoesOnWithIt)
{
    int channels = 0;
    std::vector<int16_t> ref = DecodeReference(HostData("tone_mono_22050.ogg"), &channels);
    OggMusicStream stream(nullptr);
    ASSERT_TRUE(stream.Open(DataPath("tone_mono_22050.ogg").c_str()));
    stream.SetVolume(64);  // half
    stream.Play(false);
    std::vector<int16_t> out = MixAll(stream, std::vector<int>(20, 496));
    EXPECT_FALSE(stream.IsActive());
    EXPECT_EQ(out[100], (ref[100] * 64) >> 7);
    for (size_t i = ref.size(); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0);

    stream.Stop();
    stream.SetVolume(128);
    stream.Play(true);
    out = MixAll(stream, std::vector<int>(20, 496));
    EXPECT_TRUE(stream.IsActive());
    // Each pass after the rewind decodes alike, so the loop repeats what the restart played.
    for (size_t i = 0; i < 200; ++i)
        ASSERT_EQ(out[ref.size() + i], out[i]) << "sample " << i;
}

TEST(OggMusicStream, MissingAndBrokenFilesDoNotOpen)
{
    OggMusicStream stream(nullptr);
    EXPECT_FALSE(stream.Open(DataPath("no_such.ogg").c_str()));
    EXPECT_FALSE(stream.Open(DataPath("tone16.wav").c_str()));
    stream.Play(true);
    EXPECT_FALSE(stream.IsActive());
}

TEST(WavMusicStream, WholeFramesAndTheFractionCarryAcrossCalls)
{
    std::vector<int16_t> ramp(3000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i * 7);
    std::string path = WriteTemp("ramp11025.wav", Wav16(ramp, 11025));
    WavMusicStream stream(nullptr);
    ASSERT_TRUE(stream.Open(path.c_str()));
    EXPECT_EQ(stream.GetStep(), 128);
    stream.Play(false);
    // Odd sizes: a half frame is carried from one call to the next.
    std::vector<int16_t> out = MixAll(stream, {33, 17, 1, 100, 49});
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], ramp[i / 2]) << "sample " << i;

    // 44100 Hz stereo plays the left value of every second frame.
    std::vector<int16_t> stereo;
    for (int i = 0; i < 4000; ++i) {
        stereo.push_back(static_cast<int16_t>(i));
        stereo.push_back(-1);
    }
    WavMusicStream fast(nullptr);
    ASSERT_TRUE(fast.Open(WriteTemp("stereo44100.wav", Wav16(stereo, 44100, 2)).c_str()));
    EXPECT_EQ(fast.GetStep(), 512);
    fast.Play(false);
    out = MixAll(fast, {21, 300, 7});
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], static_cast<int16_t>(2 * i)) << "sample " << i;
}

TEST(WavMusicStream, ANonLoopingStreamEndsMidBlockInSilence)
{
    std::vector<int16_t> values(700, 1234);
    // A chunk after the data must not be played.
    std::vector<uint8_t> image = Wav16(values);
    std::vector<uint8_t> trailer{'L', 'I', 'S', 'T', 4, 0, 0, 0, 0x55, 0x55, 0x55, 0x55};
    image.insert(image.end(), trailer.begin(), trailer.end());
    WavMusicStream stream(nullptr);
    ASSERT_TRUE(stream.Open(WriteTemp("end16.wav", image).c_str()));
    stream.Play(false);
    std::vector<int16_t> out = MixAll(stream, {496, 496});
    EXPECT_FALSE(stream.IsActive());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], i < 700 ? 1234 : 0) << "sample " << i;

    // 8-bit data ends in true silence too, not at full negative level.
    std::vector<uint8_t> eight = Wav(PcmFormat(1, 22050, 8), std::vector<uint8_t>(300, 192));
    WavMusicStream byteStream(nullptr);
    ASSERT_TRUE(byteStream.Open(WriteTemp("end8.wav", eight).c_str()));
    byteStream.Play(false);
    out = MixAll(byteStream, {496});
    EXPECT_EQ(out[0], 64 * 256);
    EXPECT_EQ(out[299], 64 * 256);
    EXPECT_EQ(out[300], 0);
    EXPECT_EQ(out[495], 0);
}

TEST(WavMusicStream, LoopsFromTheDataStartAndRefusesFourBitData)
{
    std::vector<int16_t> values{10, 20, 30, 40, 50};
    WavMusicStream stream(nullptr);
    ASSERT_TRUE(stream.Open(WriteTemp("loop.wav", Wav16(values)).c_str()));
    stream.Play(true);
    std::vector<int16_t> out = MixAll(stream, {3, 4});
    EXPECT_EQ(out, (std::vector<int16_t>{10, 20, 30, 40, 50, 10, 20}));
    EXPECT_TRUE(stream.IsActive());
    stream.Stop();
    stream.Play(false);
    EXPECT_EQ(MixAll(stream, {2}), (std::vector<int16_t>{10, 20}));

    WavMusicStream adpcm(nullptr);
    EXPECT_FALSE(adpcm.Open(DataPath("tone_adpcm.wav").c_str()));
    EXPECT_FALSE(adpcm.Open(DataPath("no_such.wav").c_str()));
    EXPECT_TRUE(adpcm.Open(DataPath("tone16_list.wav").c_str()));
    EXPECT_EQ(adpcm.GetLength(), 2205u);
}

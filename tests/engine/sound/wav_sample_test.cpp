#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/load_result.h"
#include "engine/sound/sound_manager.h"
#include "engine/sound/wav_music_stream.h"
#include "engine/sound/wav_sample.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

const int16_t* Samples(const WavSample& s)
{
    return reinterpret_cast<const int16_t*>(s.GetData());
}

// An MS-ADPCM format body of 50 bytes with the standard coefficient pairs.
std::vector<uint8_t> AdpcmFormatBody(uint32_t blockAlign, uint32_t perBlock, uint32_t coefficients = 7)
{
    static const int16_t c1[7] = {256, 512, 0, 192, 240, 460, 392};
    static const int16_t c2[7] = {0, -256, 0, 64, 0, -208, -232};
    std::vector<uint8_t> f;
    PutLe16(f, 2);
    PutLe16(f, 1);
    PutLe32(f, 22050);
    PutLe32(f, 11025);
    PutLe16(f, blockAlign);
    PutLe16(f, 4);
    PutLe16(f, 32);
    PutLe16(f, perBlock);
    PutLe16(f, coefficients);
    for (int i = 0; i < 7; ++i) {
        PutLe16(f, static_cast<uint16_t>(c1[i]));
        PutLe16(f, static_cast<uint16_t>(c2[i]));
    }
    return f;
}

std::vector<uint8_t> AdpcmBlock(uint8_t predictor, int16_t delta, int16_t s1, int16_t s2, std::vector<uint8_t> codes)
{
    std::vector<uint8_t> b{predictor};
    PutLe16(b, static_cast<uint16_t>(delta));
    PutLe16(b, static_cast<uint16_t>(s1));
    PutLe16(b, static_cast<uint16_t>(s2));
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

}  // namespace

TEST(WavSample, FixturesInEveryPcmLayoutLoad)
{
    for (const char* name : {"tone16.wav", "tone16_list.wav", "tone16_fmt18.wav"}) {
        std::vector<uint8_t> image = ReadHost(HostData(name));
        WavSample s;
        ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok()) << name;
        EXPECT_EQ(s.GetLength(), 2205u) << name;
        EXPECT_FALSE(s.IsEightBit());
        EXPECT_EQ(s.GetRate(), 22050u);
        EXPECT_EQ(s.GetPlaybackRate(), 22050u);
        // The data chunk was found, not the LIST chunk: sample 5 of a 441 Hz sine at 12000.
        EXPECT_EQ(Samples(s)[5], static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 441 * 5 / 22050.0))));
    }
    std::vector<uint8_t> eight = ReadHost(HostData("tone8.wav"));
    WavSample s8;
    ASSERT_TRUE(s8.LoadFromMemory(eight.data(), eight.size()).ok());
    EXPECT_TRUE(s8.IsEightBit());
    EXPECT_EQ(s8.GetLength(), 1103u);
    EXPECT_EQ(s8.GetRate(), 11025u);

    std::vector<uint8_t> stereo = ReadHost(HostData("stereo16.wav"));
    WavSample refused;
    EXPECT_FALSE(refused.LoadFromMemory(stereo.data(), stereo.size()).ok());
}

TEST(WavSample, AdpcmFixtureDecodesCloseToItsSource)
{
    std::vector<uint8_t> image = ReadHost(HostData("tone_adpcm.wav"));
    WavSample s;
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    ASSERT_EQ(s.GetLength(), 2000u);  // four whole blocks of 500
    double worst = 0;
    for (int i = 0; i < 2000; ++i) {
        double want = std::lround(12000 * std::sin(2 * M_PI * 441 * i / 22050.0));
        worst = std::max(worst, std::fabs(Samples(s)[i] - want));
    }
    EXPECT_LT(worst, 400);
}

TEST(WavSample, AdpcmCodesBlockHeadersAndParameterChecks)
{
    // Predictor 0 (coefficients 256, 0): code 8 is -8 x delta; code 7 is +7 x delta.
    std::vector<uint8_t> data = AdpcmBlock(0, 100, 1000, 5, {0x87});
    WavSample s;
    std::vector<uint8_t> image = Wav(AdpcmFormatBody(8, 4), data);
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    ASSERT_EQ(s.GetLength(), 4u);
    EXPECT_EQ(Samples(s)[0], 5);     // sample 2 first
    EXPECT_EQ(Samples(s)[1], 1000);  // then sample 1
    EXPECT_EQ(Samples(s)[2], 1000 - 800);
    // delta became 768 x 100 / 256 = 300.
    EXPECT_EQ(Samples(s)[3], 200 + 7 * 300);

    // Bytes after the last whole block are ignored; data shorter than a block is an empty sample.
    std::vector<uint8_t> tail = data;
    tail.push_back(0x11);
    image = Wav(AdpcmFormatBody(8, 4), tail);
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    EXPECT_EQ(s.GetLength(), 4u);
    image = Wav(AdpcmFormatBody(8, 4), {0, 1, 2});
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    EXPECT_EQ(s.GetLength(), 0u);

    std::vector<uint8_t> full = AdpcmFormatBody(8, 4);
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
    } refused[] = {
        {"six coefficients", Wav(AdpcmFormatBody(8, 4, 6), data)},
        {"predictor 7", Wav(AdpcmFormatBody(8, 4), AdpcmBlock(7, 100, 0, 0, {0}))},
        {"block align below 7", Wav(AdpcmFormatBody(6, 2), data)},
        {"samples per block past the block", Wav(AdpcmFormatBody(8, 5), data)},
        {"samples per block below 2", Wav(AdpcmFormatBody(8, 1), data)},
        {"format of 20 bytes", Wav(std::vector<uint8_t>(full.begin(), full.begin() + 20), data)},
    };
    for (auto& c : refused) {
        WavSample r;
        EXPECT_FALSE(r.LoadFromMemory(c.image.data(), c.image.size()).ok()) << c.what;
    }
}

TEST(WavSample, ExtremeAdpcmValuesClampAndNeverOverflow)
{
    // Predictor 1 (512, -256) from the extremes with growing deltas: every value stays in range.
    std::vector<uint8_t> codes(249, 0x77);
    std::vector<uint8_t> image = Wav(AdpcmFormatBody(256, 500), AdpcmBlock(1, 32767, 32767, -32768, codes));
    WavSample s;
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    EXPECT_EQ(Samples(s)[2], 32767);
    EXPECT_EQ(Samples(s)[499], 32767);
}

TEST(WavSample, ReadsStayInsideTheImage)
{
    std::vector<int16_t> ten(10, 1000);
    std::vector<uint8_t> image = Wav(PcmFormat(1, 22050, 16), Pcm16(ten), {}, 1000000);
    WavSample s;
    ASSERT_TRUE(s.LoadFromMemory(image.data(), image.size()).ok());
    EXPECT_EQ(s.GetLength(), 10u);  // the length is cut to the image

    std::vector<uint8_t> pcm = PcmFormat(1, 22050, 16);
    std::vector<uint8_t> shortFormat = Wav(std::vector<uint8_t>(pcm.begin(), pcm.begin() + 14), Pcm16(ten));
    EXPECT_FALSE(s.LoadFromMemory(shortFormat.data(), shortFormat.size()).ok());

    std::vector<uint8_t> hugeFormat = image;
    hugeFormat[16] = 0xFF;
    hugeFormat[19] = 0x7F;
    EXPECT_FALSE(s.LoadFromMemory(hugeFormat.data(), hugeFormat.size()).ok());

    // A chunk whose length runs past the end ends the walk without finding data.
    std::vector<uint8_t> junk{'J', 'U', 'N', 'K', 0xF0, 0xFF, 0xFF, 0xFF};
    std::vector<uint8_t> walk = Wav(PcmFormat(1, 22050, 16), Pcm16(ten), junk);
    EXPECT_FALSE(s.LoadFromMemory(walk.data(), walk.size()).ok());

    std::vector<uint8_t> noRate = Wav(PcmFormat(1, 0, 16), Pcm16(ten));
    EXPECT_FALSE(s.LoadFromMemory(noRate.data(), noRate.size()).ok());
    EXPECT_FALSE(s.LoadFromMemory(nullptr, 100).ok());
    EXPECT_FALSE(s.LoadFromMemory(image.data(), 19).ok());

    // 2^24 samples is one too many.
    std::vector<uint8_t> big = Wav(PcmFormat(1, 22050, 8), std::vector<uint8_t>(kMaxSampleLength, 128));
    EXPECT_FALSE(s.LoadFromMemory(big.data(), big.size()).ok());
    EXPECT_TRUE(s.LoadFromMemory(big.data(), big.size() - 1).ok());
}

TEST(WavSample, OnlyPcmAndMicrosoftAdpcmAreTaken)
{
    // A u-law file once played as loud noise.
    std::vector<uint8_t> ulaw = ReadHost(std::string(KELO_TEST_DATA) + "/../fuzz/corpus/fuzz_wav_sample/ulaw8.wav");
    ASSERT_FALSE(ulaw.empty());
    const uint8_t pcm[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    auto tagged = [](uint16_t tag, int bits, const uint8_t* subFormat = nullptr) {
        std::vector<uint8_t> format = PcmFormat(1, 22050, bits);
        format[0] = static_cast<uint8_t>(tag);
        format[1] = static_cast<uint8_t>(tag >> 8);
        if (subFormat) {
            PutLe16(format, 22);
            PutLe16(format, static_cast<uint32_t>(bits));
            PutLe32(format, 4);
            format.insert(format.end(), subFormat, subFormat + 16);
        }
        return Wav(format, std::vector<uint8_t>(64, 0x40));
    };
    uint8_t floating[16];
    std::copy(pcm, pcm + 16, floating);
    floating[0] = 3;
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
        bool taken;
    } cases[] = {
        {"u-law", ulaw, false},
        {"A-law", tagged(6, 8), false},
        {"ADPCM tag on 16 bits", tagged(2, 16), false},
        {"float tag on 16 bits", tagged(3, 16), false},
        {"extensible float", tagged(0xFFFE, 16, floating), false},
        {"extensible without its extension", tagged(0xFFFE, 16), false},
        {"PCM", tagged(1, 16), true},
        {"extensible PCM, 16 bits", tagged(0xFFFE, 16, pcm), true},
        {"extensible PCM, 8 bits", tagged(0xFFFE, 8, pcm), true},
    };
    for (const Case& c : cases) {
        WavSample s;
        Outcome taken = s.LoadFromMemory(c.image.data(), c.image.size());
        EXPECT_EQ(taken.ok(), c.taken) << c.what;
        EXPECT_STREQ(taken.Reason(), c.taken ? "" : kWavEncodingRefusal) << c.what;
        WavMusicStream stream(nullptr);
        EXPECT_EQ(stream.Open(WriteTemp("encoding.wav", c.image).c_str()), c.taken) << c.what;
    }

    // The sound service says why, as for any effect it refuses.
    nullbackend::SetSoundDeviceCount(1);
    nullbackend::FailSoundOpen(false);
    SoundManager sound(nullptr);
    ASSERT_EQ(sound.Init(), 1);
    LoadedValue<int> refused = sound.LoadSample(WriteTemp("ulaw8.wav", ulaw).c_str());
    EXPECT_EQ(refused.value, -1);
    EXPECT_STREQ(refused.why.Reason(), kWavEncodingRefusal);
    sound.Shutdown();
}

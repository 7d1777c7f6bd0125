#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "engine/sound/music_source.h"
#include "shipped_sounds.h"

using namespace shipped;

namespace {

int Peak(const std::vector<int16_t>& values)
{
    int peak = 0;
    for (int16_t v : values)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

// Root mean square over the louder half of the sound, so that a short click and a long fade are
// both measured where they sound.
double Loudness(const std::vector<int16_t>& values)
{
    std::vector<double> squares;
    for (int16_t v : values)
        squares.push_back(static_cast<double>(v) * v);
    std::sort(squares.rbegin(), squares.rend());
    double sum = 0;
    size_t half = std::max<size_t>(1, squares.size() / 2);
    for (size_t i = 0; i < half; ++i)
        sum += squares[i];
    return std::sqrt(sum / static_cast<double>(half));
}

// How sharply the sound bends from a to b to c; a click bends far more sharply than its body.
int Bend(const std::vector<int16_t>& v, size_t a, size_t b, size_t c)
{
    return std::abs(v[c] - 2 * v[b] + v[a]);
}

}  // namespace

TEST(ShippedEffects, EveryEffectOfTheBankLoadsAsAMonoSoundBelowFullScale)
{
    Service service;
    ASSERT_TRUE(service.app.PacksOpen());
    for (int i = 0; i < 38; ++i) {
        SCOPED_TRACE(kEffects[i]);
        unsigned rate = 0;
        std::vector<int16_t> values = Decode(service, kEffects[i], &rate);
        ASSERT_FALSE(values.empty());
        EXPECT_EQ(rate, 22050u);
        int peak = Peak(values);
        EXPECT_GT(peak, 8000);   // clearly audible
        EXPECT_LT(peak, 31000);  // with room to spare below full scale
        // No offset from zero eating into that room: under half a percent of full scale.
        double sum = 0;
        for (int16_t v : values)
            sum += v;
        EXPECT_LT(std::fabs(sum / static_cast<double>(values.size())), 0.005 * 32768);
        // One-shots are short; the chants, the choir and the jingles a little longer.
        EXPECT_LT(values.size(), 3u * 22050u);
    }
}

TEST(ShippedEffects, LoopedEffectsWrapWithoutAJump)
{
    Service service;
    ASSERT_TRUE(service.app.PacksOpen());
    for (const char* name : {"rolling.ogg", "lighttrail2.ogg", "endoflevelpop1.ogg"}) {
        SCOPED_TRACE(name);
        std::vector<int16_t> values = Decode(service, name);
        ASSERT_GT(values.size(), 1000u);
        // The sound repeats from its first sample, as the mixer loops a whole sample: across the
        // seam it bends no more sharply than all but a thousandth of its body does.
        size_t n = values.size();
        std::vector<int> bends;
        for (size_t i = 2; i < n; ++i)
            bends.push_back(Bend(values, i - 2, i - 1, i));
        std::sort(bends.begin(), bends.end());
        int usual = bends[bends.size() * 999 / 1000];
        EXPECT_LE(Bend(values, n - 2, n - 1, 0), usual) << "last " << values[n - 1] << " first " << values[0];
        EXPECT_LE(Bend(values, n - 1, 0, 1), usual);
    }
}

TEST(ShippedEffects, SeveralAtOnceRarelyClip)
{
    // A burst, a click, a chime and the next shot together, as a busy moment of play sounds; the
    // mixer adds them at full effect volume and clamps the sum.
    Service service;
    ASSERT_TRUE(service.app.PacksOpen());
    std::vector<std::vector<int16_t>> sounds;
    for (const char* name : {"ballsdestroyed3.ogg", "ballclick1.ogg", "chime4.ogg", "fireball1.ogg"})
        sounds.push_back(Decode(service, name));
    size_t length = 0;
    for (const auto& s : sounds)
        length = std::max(length, s.size());
    size_t clipped = 0;
    for (size_t i = 0; i < length; ++i) {
        int sum = 0;
        for (const auto& s : sounds)
            sum += i < s.size() ? s[i] : 0;
        clipped += sum > 32767 || sum < -32768;
    }
    EXPECT_LT(clipped, length / 200) << clipped << " of " << length;
}

TEST(ShippedEffects, EffectsSitAboveTheMusic)
{
    Service service;
    ASSERT_TRUE(service.app.PacksOpen());
    std::vector<double> levels;
    for (const char* name : kEffects)
        levels.push_back(Loudness(Decode(service, name)));
    std::sort(levels.begin(), levels.end());
    double typicalEffect = levels[levels.size() / 2];

    ASSERT_EQ(service.sound.LoadMusic(service.SoundPath("Music\\kelo.s3m").c_str()).value, 0);
    ASSERT_EQ(service.sound.PlayMusic(0, true), 0);
    MusicSource* music = service.sound.GetMusic();
    // The loudest five seconds of the whole song, at the music volume the effects are heard at.
    double loudestMusic = 0;
    std::vector<int16_t> window(5 * 22050);
    for (int w = 0; w < 20; ++w) {
        music->Render(window.data(), static_cast<int>(window.size()));
        double sum = 0;
        for (int16_t v : window)
            sum += static_cast<double>(v) * v;
        loudestMusic = std::max(loudestMusic, std::sqrt(sum / static_cast<double>(window.size())));
    }
    EXPECT_GT(loudestMusic, 500);  // the music is there at all
    EXPECT_GT(typicalEffect, 1.5 * loudestMusic) << "effects " << typicalEffect << ", music " << loudestMusic;
}

TEST(ShippedEffects, TheCommonPackHoldsTheBanksFilesAndTheMusicBelowTheSoundFolder)
{
    Service service;
    ZipPack* common = service.app.GetPack(0);
    ASSERT_NE(common, nullptr);
    std::set<std::string> expected;
    for (int i = 0; i < 38; ++i)
        expected.insert(std::string("Sounds\\") + kEffects[i]);
    expected.insert("Sounds\\Music\\kelo.s3m");
    EXPECT_EQ(expected.size(), 39u);  // no name twice in the table
    std::set<std::string> packed;
    int count = 0;
    ASSERT_EQ(common->GetEntryCount(&count), 1);
    for (int i = 0; i < count; ++i) {
        char name[256];
        if (common->GetEntryName(i, name, sizeof name) == 1 && std::string(name).rfind("Sounds\\", 0) == 0)
            packed.insert(name);
    }
    EXPECT_EQ(packed, expected);
}

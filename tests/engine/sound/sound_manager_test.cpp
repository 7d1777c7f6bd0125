#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "engine/sound/mixer.h"
#include "engine/sound/music_source.h"
#include "engine/sound/music_stream.h"
#include "engine/sound/sound_manager.h"
#include "engine/sound/wav_sample.h"
#include "platform/device.h"
#include "platform/null/sound_hooks.h"
#include "module_support.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

class Service : public ::testing::Test {
protected:
    void SetUp() override
    {
        nullbackend::SetSoundDeviceCount(1);
        nullbackend::FailSoundOpen(false);
        ASSERT_EQ(sound.Init(), 1);
        sound.EnableSfx(true);
        sound.EnableMusic(true);
        sound.SetSfxVolume(100);
        sound.SetMusicVolume(100);
    }
    int PlayingVoices()
    {
        int n = 0;
        Mixer* m = sound.GetMixer();
        for (int h = m->GetMusicVoiceCount(); h < m->GetMusicVoiceCount() + m->GetSoundVoiceCount(); ++h)
            n += m->FindVoice(h)->stopped ? 0 : 1;
        return n;
    }
    int Load(const std::vector<int16_t>& values, const std::string& name)
    {
        return sound.LoadSample(WriteTemp(name, Wav16(values)).c_str()).value;
    }
    SoundManager sound{nullptr};
};

}  // namespace

TEST(SoundManagerInit, WithoutADeviceTheServiceFailsAndStaysSilent)
{
    nullbackend::SetSoundDeviceCount(0);
    auto* sound = new SoundManager(nullptr);
    EXPECT_EQ(sound->Init(), 0);
    EXPECT_EQ(sound->GetSfxVolume(), 100);
    EXPECT_EQ(sound->PlaySample(0, false), 0);
    EXPECT_EQ(sound->LoadSampleOgg(DataPath("tone_mono_22050.ogg").c_str()).value, -1);
    delete sound;
    nullbackend::SetSoundDeviceCount(1);
}

TEST_F(Service, VolumesConvertBetweenPercentAndTheMixerScales)
{
    sound.SetMusicVolume(1);
    EXPECT_EQ(sound.GetMusicVolume(), 0);
    sound.SetMusicVolume(50);
    EXPECT_EQ(sound.GetMusicVolume(), 49);  // 95 x 100 / 191
    sound.SetMusicVolume(100);
    EXPECT_EQ(sound.GetMusicVolume(), 100);
    sound.SetSfxVolume(50);
    EXPECT_EQ(sound.GetSfxVolume(), 50);
    EXPECT_EQ(sound.GetMixer()->GetMasterVolume(), 32);
}

TEST(SoundManagerQuirk, TheQuietDeviceScalesEveryLevel)
{
    DeviceProfile saved = GetDeviceProfile();
    DeviceProfile quiet = saved;
    quiet.oemText = "Moto MotoQ 9h";
    SetDeviceProfile(quiet);
    nullbackend::SetSoundDeviceCount(1);
    {
        SoundManager sound(nullptr);
        ASSERT_EQ(sound.Init(), 1);
        sound.SetSfxVolume(100);
        EXPECT_EQ(sound.GetMixer()->GetMasterVolume(), 9);
        EXPECT_EQ(sound.GetSfxVolume(), 100);
        std::string module = WriteModuleFile("sequence");
        ASSERT_EQ(sound.LoadMusic(module.c_str()).value, 0);
        std::remove(module.c_str());
        sound.SetMusicVolume(100);
        EXPECT_EQ(sound.GetMusic()->GetVolume(), 191 * 38 / 256);
    }
    SetDeviceProfile(saved);
}

TEST_F(Service, ALoopedSampleStartsOnceAndAgainOnceItsVoiceIsGone)
{
    int slot = Load(std::vector<int16_t>(4000, 300), "looped.wav");
    ASSERT_GE(slot, 0);
    EXPECT_EQ(sound.PlaySample(slot, true), 1);
    EXPECT_EQ(sound.PlaySample(slot, true), 1);
    EXPECT_EQ(PlayingVoices(), 1);
    EXPECT_FALSE(sound.GetSample(slot)->GetLoop());  // the sample's own flag is restored
    sound.StopSample(slot);
    EXPECT_EQ(PlayingVoices(), 0);
    EXPECT_EQ(sound.PlaySample(slot, true), 1);
    EXPECT_EQ(PlayingVoices(), 1);

    // StopAll clears the handle, so the next looped start plays.
    sound.StopAll();
    EXPECT_EQ(sound.GetSampleVoice(slot), -1);
    EXPECT_EQ(sound.PlaySample(slot, true), 1);
    EXPECT_EQ(PlayingVoices(), 1);

    // So does unloading another slot, which silences every voice.
    int other = Load(std::vector<int16_t>(100, 1), "other.wav");
    sound.UnloadSample(other);
    EXPECT_EQ(sound.GetSample(other), nullptr);
    EXPECT_EQ(sound.PlaySample(slot, true), 1);
    EXPECT_EQ(PlayingVoices(), 1);

    // A non-looping start plays a second voice and records the newer handle.
    int first = sound.GetSampleVoice(slot);
    EXPECT_EQ(sound.PlaySample(slot, false), 1);
    EXPECT_EQ(PlayingVoices(), 2);
    EXPECT_NE(sound.GetSampleVoice(slot), first);
}

TEST_F(Service, AStolenOrEndedVoiceIsNotTakenForTheSlotsSound)
{
    int shortSlot = Load(std::vector<int16_t>(100, 50), "short.wav");
    int longSlot = Load(std::vector<int16_t>(20000, 60), "long.wav");
    ASSERT_GE(longSlot, 0);
    ASSERT_EQ(sound.PlaySample(shortSlot, true), 1);
    int stolen = sound.GetSampleVoice(shortSlot);
    for (int i = 0; i < 8; ++i)
        sound.PlaySample(longSlot, false);
    // The short sound's voice now plays the long one; stopping the short slot leaves it alone.
    SoundVoice* voice = sound.GetMixer()->FindVoice(stolen);
    EXPECT_EQ(voice->end, 20000u * 256);
    sound.StopSample(shortSlot);
    EXPECT_FALSE(voice->stopped);
    EXPECT_EQ(PlayingVoices(), 8);

    // A looped start after its voice was taken plays again.
    sound.StopAll();
    ASSERT_EQ(sound.PlaySample(shortSlot, false), 1);
    nullbackend::PumpSound(6 * 8 + 992);  // the short sound ends in the first refill
    ASSERT_EQ(PlayingVoices(), 0);
    sound.StopSample(shortSlot);
    ASSERT_EQ(sound.PlaySample(shortSlot, true), 1);
    nullbackend::PumpSound(992);
    sound.GetMixer()->StopAll();  // the loop's voice ends behind the service's back
    EXPECT_EQ(sound.PlaySample(shortSlot, true), 1);
    EXPECT_EQ(PlayingVoices(), 1);
}

TEST_F(Service, SwitchesAndSlotsRefuse)
{
    int slot = Load(std::vector<int16_t>(100, 50), "switch.wav");
    sound.EnableSfx(false);
    EXPECT_EQ(sound.PlaySample(slot, false), 0);
    sound.EnableSfx(true);
    EXPECT_EQ(sound.PlaySample(-1, false), 0);
    EXPECT_EQ(sound.PlaySample(100, false), 0);
    EXPECT_EQ(sound.PlaySample(slot + 1, false), 0);
    sound.StopSample(100);
    sound.UnloadSample(-3);
    EXPECT_EQ(sound.Reserved(), 0);
}

TEST_F(Service, SamplesLoadFromWavAndMonoOggFiles)
{
    EXPECT_EQ(sound.LoadSample(DataPath("tone16_list.wav").c_str()).value, 0);
    EXPECT_EQ(sound.LoadSample(DataPath("tone_adpcm.wav").c_str()).value, 1);
    EXPECT_EQ(sound.LoadSample(DataPath("stereo16.wav").c_str()).value, -1);
    EXPECT_EQ(sound.LoadSample(DataPath("no_such.wav").c_str()).value, -1);
    EXPECT_EQ(sound.GetSample(2), nullptr);

    int ogg = sound.LoadSampleOgg(DataPath("tone_mono_11025.ogg").c_str()).value;
    ASSERT_EQ(ogg, 2);
    EXPECT_EQ(sound.GetSample(ogg)->GetRate(), 11025u);
    EXPECT_EQ(sound.GetSample(ogg)->GetLength(), 2756u);
    for (const char* stereo : {"tone_stereo_22050.ogg", "tone_stereo_44100.ogg", "tone_stereo_11025.ogg"})
        EXPECT_EQ(sound.LoadSampleOgg(DataPath(stereo).c_str()).value, -1) << stereo;
    EXPECT_EQ(sound.LoadSampleOgg(DataPath("tone16.wav").c_str()).value, -1);
    EXPECT_EQ(sound.GetSample(3), nullptr);
    EXPECT_EQ(sound.PlaySample(ogg, false), 1);
}

TEST_F(Service, MusicLoadsOnceAndStaysSilentUntilPlayedAgain)
{
    const std::string path = WriteModuleFile("sequence");
    EXPECT_EQ(sound.LoadMusic(DataPath("tone16.wav").c_str()).value, -1);  // not a module
    ASSERT_EQ(sound.LoadMusic(path.c_str()).value, 0);
    MusicSource* music = sound.GetMusic();
    ASSERT_EQ(sound.LoadMusic(path.c_str()).value, 0);
    EXPECT_EQ(sound.GetMusic(), music);
    EXPECT_EQ(sound.PlayMusic(0, true), 0);
    EXPECT_TRUE(music->IsPlaying());
    EXPECT_EQ(music->GetVolume(), 191);
    // The module really sounds through the device.
    nullbackend::ClearCapturedSound();
    nullbackend::PumpSound(8 * 992);
    const std::vector<uint8_t>& pcm = nullbackend::CapturedSound();
    ASSERT_FALSE(pcm.empty());
    EXPECT_TRUE(std::any_of(pcm.begin(), pcm.end(), [](uint8_t b) { return b != 0; }));
    sound.EnableMusic(false);
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_EQ(sound.PlayMusic(0, true), -1);
    sound.EnableMusic(true);
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_EQ(sound.PlayMusic(0, true), 0);
    EXPECT_TRUE(music->IsPlaying());

    EXPECT_EQ(sound.LoadMusic(DataPath("no_such.mod").c_str()).value, -1);
    EXPECT_EQ(sound.GetMusic(), nullptr);
    EXPECT_EQ(sound.PlayMusic(0, false), -1);
    sound.UnloadMusic();
    std::remove(path.c_str());
}

TEST_F(Service, StreamsOpenOncePerPathAndStopWithTheMusicSwitch)
{
    const std::string ogg = DataPath("tone_stereo_44100.ogg");
    int slot = sound.OpenStream(ogg.c_str());
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(sound.OpenStream(ogg.c_str()), 0);
    EXPECT_EQ(sound.OpenStream(DataPath("tone16.wav").c_str()), 1);
    EXPECT_EQ(sound.OpenStream(DataPath("tone16.mp3").c_str()), -1);
    EXPECT_EQ(sound.OpenStream(DataPath("missing.ogg").c_str()), -1);

    EXPECT_EQ(sound.PlayStream(slot, false, true), 0);
    EXPECT_TRUE(sound.GetStream(slot)->IsActive());
    EXPECT_EQ(sound.GetMixer()->ActiveStreamCount(), 1);
    nullbackend::PumpSound(6 * 8 + 4 * 992);
    sound.EnableMusic(false);
    EXPECT_FALSE(sound.GetStream(slot)->IsActive());
    EXPECT_EQ(sound.PlayStream(slot, false, true), -1);
    EXPECT_EQ(sound.PlayStream(1, true, false), 0);  // the sound switch is still on
    EXPECT_EQ(sound.StopStream(1), 0);
    EXPECT_EQ(sound.GetMixer()->ActiveStreamCount(), 1);
    EXPECT_EQ(sound.StopStream(7), -1);
    sound.CloseStream(slot);
    EXPECT_EQ(sound.GetStream(slot), nullptr);
    EXPECT_EQ(sound.GetMixer()->ActiveStreamCount(), 0);
}

TEST_F(Service, PauseTakesNoMixerLockAndSilencesTheDevice)
{
    int slot = Load(std::vector<int16_t>(30000, 1000), "pause.wav");
    sound.PlaySample(slot, false);
    nullbackend::PumpSound(6 * 8);
    // The audio thread could be holding the lock mid-refill: pausing from another thread must
    // not wait for it.
    sound.GetMixer()->Lock();
    std::thread watcher([&] { sound.SetPaused(true); });
    watcher.join();
    sound.GetMixer()->Unlock();
    EXPECT_TRUE(sound.IsPaused());
    nullbackend::ClearCapturedSound();
    nullbackend::PumpSound(992);
    for (int16_t v : CapturedSamples())
        ASSERT_EQ(v, 0);
    sound.SetPaused(false);
    nullbackend::ClearCapturedSound();
    nullbackend::PumpSound(992);
    EXPECT_EQ(CapturedSamples()[0], 1000);
}

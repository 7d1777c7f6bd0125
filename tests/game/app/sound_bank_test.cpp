#include "game/app/sound_bank.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sound/sound_manager.h"
#include "support/plain_app.h"

namespace {

// Counts what the bank asks of the sound service; slots are handed out in turn.
class CountingSound : public SoundManagerBase {
public:
    int Init() override { return 0; }
    void Shutdown() override {}
    LoadedValue<int> LoadSample(const char* path) override { return Load(path, false); }
    LoadedValue<int> LoadSampleOgg(const char* path) override { return Load(path, true); }
    int PlaySample(int slot, bool loop) override
    {
        played.push_back(loop ? -slot - 100 : slot);
        return slot >= 0 ? 1 : 0;
    }
    void StopSample(int slot) override { stopped.push_back(slot); }
    void UnloadSample(int slot) override { unloaded.push_back(slot); }
    int Reserved() override { return 0; }
    int StopAll() override { return 0; }
    int PlayMusic(int order, bool loop) override
    {
        musicStarts += order == 0 && loop;
        return 0;
    }
    int StopMusic() override { return ++musicStops; }

    LoadedValue<int> Load(const char* path, bool ogg)
    {
        loads.push_back(std::string(ogg ? "ogg:" : "wav:") + path);
        if (std::string(path).find("missing") != std::string::npos)
            return {-1, LoadResult::Missing(path, "not there")};
        return {nextSlot++, LoadResult()};
    }

    std::vector<std::string> loads;
    std::vector<int> played, stopped, unloaded;
    int nextSlot = 0, musicStarts = 0, musicStops = 0;
};

class BankApp : public PlainApp {
public:
    explicit BankApp(bool withSound)
    {
        if (withSound) {
            sound = new CountingSound();
            soundManager_ = sound;
        }
    }
    String GetSoundFolder() override { return String("\\k\\Sounds\\"); }
    CountingSound* sound = nullptr;
};

}  // namespace

TEST(SoundBank, LoadsOnceAndCountsReferences)
{
    BankApp app(true);
    SoundBank bank(&app);
    ASSERT_TRUE(bank.LoadTable());
    ASSERT_EQ(bank.Count(), kSoundBankSize);
    EXPECT_STREQ(bank.EntryAt(26)->file.CStr(), "endoflevelpop1.ogg");
    EXPECT_EQ(bank.Find("ufo1.ogg"), bank.EntryAt(37));
    EXPECT_EQ(bank.Find("UFO1.ogg"), nullptr);

    EXPECT_TRUE(bank.LoadByIndex(9).ok());
    EXPECT_TRUE(bank.LoadByName("coingrab.ogg").ok());
    EXPECT_TRUE(bank.LoadByIndex(33).ok());
    ASSERT_EQ(app.sound->loads.size(), 2u);
    EXPECT_EQ(app.sound->loads[0], "ogg:\\k\\Sounds\\coingrab.ogg");
    EXPECT_TRUE(bank.Play(9));
    EXPECT_TRUE(bank.PlayLooped(33));
    EXPECT_EQ(app.sound->played, (std::vector<int>{0, -1 - 100}));

    bank.UnloadByIndex(9);
    EXPECT_TRUE(app.sound->unloaded.empty());
    bank.UnloadByIndex(9);
    EXPECT_EQ(app.sound->unloaded, std::vector<int>{0});
    // An extra release spares the slot, which may belong to another effect by now.
    bank.UnloadByIndex(9);
    EXPECT_EQ(app.sound->unloaded, std::vector<int>{0});
    EXPECT_FALSE(bank.Play(9));
    EXPECT_EQ(app.sound->played.size(), 2u);

    EXPECT_FALSE(bank.Play(38));
    EXPECT_FALSE(bank.Play(-1));
    bank.Stop(38);
    bank.Stop(33);
    EXPECT_EQ(app.sound->stopped, std::vector<int>{1});

    // A file that will not load leaves the entry unloaded, and the service sees nothing to play.
    ASSERT_NE(bank.AddEntry("gone", "missing.wav"), nullptr);
    EXPECT_TRUE(bank.LoadByName("gone").failed());
    EXPECT_EQ(app.sound->loads.back(), "wav:\\k\\Sounds\\missing.wav");
    EXPECT_EQ(bank.Find("gone")->refCount, 0);
    EXPECT_FALSE(bank.Play(kSoundBankSize));
}

TEST(SoundBank, MusicStartsOnceUntilStopped)
{
    BankApp app(true);
    SoundBank bank(&app);
    bank.PlayMusic(0);
    bank.PlayMusic(0);
    EXPECT_EQ(app.sound->musicStarts, 1);
    EXPECT_EQ(bank.GetMusicState(), 0);
    bank.StopMusic();
    EXPECT_EQ(bank.GetMusicState(), -1);
    bank.PlayMusic(0);
    EXPECT_EQ(app.sound->musicStarts, 2);
}

TEST(SoundBank, SilentWithoutSoundService)
{
    BankApp app(false);
    SoundBank bank(&app);
    ASSERT_TRUE(bank.LoadTable());
    EXPECT_TRUE(bank.LoadByIndex(0).failed());
    EXPECT_FALSE(bank.Play(0));
    bank.UnloadByIndex(0);
    bank.Stop(0);
    bank.PlayMusic(0);
    EXPECT_EQ(bank.GetMusicState(), -1);
}

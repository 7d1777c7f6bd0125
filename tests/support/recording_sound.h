#pragma once
// A sound service that loads every sample into the next slot and writes down what was played and
// stopped, the music's starts and stops, the volumes and switches, for tests of the game's use of
// sound.
#include <vector>

#include "engine/sound/sound_manager.h"

class RecordingSound : public SoundManagerBase {
public:
    int Init() override { return 0; }
    void Shutdown() override {}
    LoadedValue<int> LoadSample(const char*) override { return {next++, LoadResult()}; }
    LoadedValue<int> LoadSampleOgg(const char*) override { return {next++, LoadResult()}; }
    int PlaySample(int slot, bool) override
    {
        played.push_back(slot);
        return 1;
    }
    void StopSample(int slot) override { stopped.push_back(slot); }
    void UnloadSample(int) override {}
    int Reserved() override { return 0; }
    int StopAll() override { return 0; }
    int PlayMusic(int, bool) override
    {
        ++musicStarts;
        return 0;
    }
    int StopMusic() override
    {
        ++musicStops;
        return 0;
    }
    void SetSfxVolume(int v) override { sfxVolume = v; }
    void SetMusicVolume(int v) override { musicVolume = v; }
    void EnableSfx(bool on) override { sfxOn = on; }
    void EnableMusic(bool on) override { musicOn = on; }

    int next = 0;
    std::vector<int> played, stopped;
    int musicStarts = 0, musicStops = 0;
    int sfxVolume = -1, musicVolume = -1;
    bool sfxOn = true, musicOn = true;
};

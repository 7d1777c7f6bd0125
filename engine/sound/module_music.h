#pragma once
// The mixer's music source: one tracker module rendered as 16-bit signed samples at the mix rate.
#include <cstddef>
#include <cstdint>

#include "engine/sound/music_source.h"

class ModulePlayer;

class ModuleMusic : public MusicSource {
public:
    ModuleMusic() = default;
    ModuleMusic(const ModuleMusic&) = delete;
    ModuleMusic& operator=(const ModuleMusic&) = delete;
    ~ModuleMusic() override;
    // Writes `samples` values while playing; once a song without loop ends, the rest is silence.
    void Render(int16_t* buffer, int samples) override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    int GetMaxVolume() override { return 255; }

    bool Init();
    // 8000, 11025, 16000, 22050 or 44100; anything else is ignored.
    void SetSampleRate(int rate) override;
    bool Load(const uint8_t* data, uint32_t size) override;
    // Restarts the song at order 0; the mixer then sets the player's orderPos and loop.
    void Play() override;
    void Stop() override;
    // The mixer moves a started song to its start order and sets its loop.
    void SetOrder(int order) override;
    void SetLoop(bool loop) override;
    bool IsPlaying() override { return playing_ != 0; }
    ModulePlayer* GetPlayer() { return player_; }

private:
    ModulePlayer* player_ = nullptr;
    uint8_t playing_ = 0;
    uint8_t reserved_ = 0;
    uint8_t stereo_ = 0;
    int outputRate_ = 0;
};

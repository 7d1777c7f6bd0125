#pragma once
// The mixer's music source: one tracker module rendered as 16-bit signed samples at the mix rate.
#include <cstddef>
#include <cstdint>

class ModulePlayer;

class ModuleMusic {
public:
    ModuleMusic() = default;
    ModuleMusic(const ModuleMusic&) = delete;
    ModuleMusic& operator=(const ModuleMusic&) = delete;
    virtual ~ModuleMusic();
    // Writes `samples` values while playing; once a song without loop ends, the rest is silence.
    virtual void Render(int16_t* buffer, int samples);
    virtual void SetVolume(int volume);
    virtual int GetVolume();
    virtual int GetMaxVolume() { return 255; }

    bool Init();
    // 8000, 11025, 16000, 22050 or 44100; anything else is ignored.
    void SetSampleRate(int rate);
    bool Load(const uint8_t* data, size_t size);
    // Restarts the song at order 0; the mixer then sets the player's orderPos and loop.
    void Play();
    void Stop();
    bool IsPlaying() const { return playing_ != 0; }
    ModulePlayer* GetPlayer() { return player_; }

private:
    ModulePlayer* player_ = nullptr;
    uint8_t playing_ = 0;
    uint8_t reserved_ = 0;
    uint8_t stereo_ = 0;
    int outputRate_ = 0;
};

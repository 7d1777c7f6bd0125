#pragma once
// One voice of the mixer: plays an in-memory sample from a 24.8 position at a 24.8 step.
#include <atomic>
#include <cstdint>

class SoundVoice {
public:
    SoundVoice() = default;
    SoundVoice(const SoundVoice&) = delete;
    SoundVoice& operator=(const SoundVoice&) = delete;
    virtual ~SoundVoice() = default;

    // v outside 0..64 becomes 64; level = master x v >> 6.
    virtual void SetVolume(int v);
    // 256 or more becomes 255.
    virtual void SetPan(int p);
    void SetPitch(int p);
    void Start()
    {
        stopped = false;
        paused = false;
    }
    void Stop()
    {
        stopped = true;
        paused = false;
    }

    const std::atomic<int>* master = nullptr;
    int volume = 64;
    // Written by the main thread's master level changes while the audio thread mixes.
    std::atomic<int> level{64};
    int pan = 128;
    bool loop = false;
    bool paused = false;
    bool stopped = true;
    uint32_t baseRate = 0;
    uint32_t pitchedRate = 0;
    bool stepStale = true;
    int pitch = 128;
    const uint8_t* data = nullptr;
    uint32_t step = 0;
    uint32_t position = 0;
    uint32_t end = 0;
    bool eightBit = false;
    // Which start of the voice this is; a handle and its serial name one sound, not the voice.
    uint32_t serial = 0;
};

// The voices kept for the music: they take the music master level and are never rendered; they
// only shift the numbering of sound-voice handles.
class MusicVoice : public SoundVoice {
public:
    int channelLevels[8] = {};
    int panGains[4] = {};
};

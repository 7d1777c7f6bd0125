#pragma once
// The mixer's music source: a tracker module rendered into the mix buffer before the streams and
// the sound voices are added. The module player implements it; until a module is loaded the
// mixer has none.
#include <cstdint>

class MusicSource {
public:
    virtual ~MusicSource() = default;
    // Writes `samples` 16-bit mono samples over the buffer; nothing while not playing.
    virtual void Render(int16_t* buffer, int samples) = 0;
    virtual void SetVolume(int level) = 0;  // 0..255
    virtual int GetVolume() = 0;
    virtual int GetMaxVolume() { return 255; }
    // Starts the song from order 0; then the mixer moves it to its start order.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void SetOrder(int order) = 0;
    virtual void SetLoop(bool loop) = 0;
    virtual bool IsPlaying() = 0;
    virtual void SetSampleRate(int rate) = 0;
    // Parses the module from memory the caller keeps alive; false when it is not a module.
    virtual bool Load(const uint8_t* data, uint32_t size) = 0;
};

// A new, initialised module player, or null when out of memory.
MusicSource* NewModuleMusic();

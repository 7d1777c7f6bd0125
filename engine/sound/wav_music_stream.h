#pragma once
// PCM music read from a WAV file on disk a buffer at a time.
#include "engine/sound/music_stream.h"

class WavMusicStream : public MusicStream {
public:
    explicit WavMusicStream(Application* app) : MusicStream(app) {}
    ~WavMusicStream() override;

    void Mix(int16_t* out, int count) override;
    // 8- and 16-bit PCM, one or two channels; 4-bit data has no decoder here and is refused.
    bool Open(const char* path) override;
    void Close() override;
    void Play(bool loop) override;
    void Stop() override;

    uint32_t GetLength() const { return length_; }

    // The read buffer all WAV streams share; the sound service frees it when it shuts down.
    static void FreeScratch();

private:
    uint32_t ReadData(uint8_t* out, uint32_t bytes);
    void Rewind();

    uint32_t length_ = 0;
    bool eightBit_ = false;
    int32_t dataStart_ = 0;
    int32_t dataEnd_ = 0;
    int32_t readPos_ = 0;
    // The fraction of a source frame carried between calls, and a frame read but not yet passed.
    uint32_t fraction_ = 0;
    bool held_ = false;
    uint8_t heldFrame_[4] = {};
};

#pragma once
// Ogg Vorbis music decoded from a disk file a buffer at a time.
#include <tremor/ivorbisfile.h>

#include "engine/sound/music_stream.h"

class OggMusicStream : public MusicStream {
public:
    explicit OggMusicStream(Application* app) : MusicStream(app) {}
    ~OggMusicStream() override;

    void Mix(int16_t* out, int count) override;
    bool Open(const char* path) override;
    void Close() override;
    void Play(bool loop) override;
    void Stop() override;

private:
    int Resample(int16_t* out, int count);
    void Refill(int count);

    OggVorbis_File* decoder_ = nullptr;
    uint8_t* pcm_ = nullptr;
    uint32_t pcmBytes_ = 0;
    uint32_t readOffset_ = 0;
    uint32_t available_ = 0;
};

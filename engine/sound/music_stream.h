#pragma once
// A source read from a disk file a little at a time while it plays, resampled to the mix rate and
// added into the mixer's 16-bit mono buffer.
#include <cstdint>

#include "engine/core/strings.h"

class Application;
class Stream;

class MusicStream {
public:
    explicit MusicStream(Application* app) : app(app) {}
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;
    virtual ~MusicStream() = default;

    // Adds `count` samples into `out`, each sum clamped; nothing while inactive.
    virtual void Mix(int16_t* out, int count) = 0;
    virtual bool Open(const char* path) = 0;
    virtual void Close() = 0;
    virtual void Play(bool loop) = 0;
    virtual void Stop() = 0;
    // 0..255, 128 = unity.
    virtual void SetVolume(int level) = 0;
    virtual const String& GetName() = 0;

    bool IsActive() const { return active; }

protected:
    bool active = false;
    Application* app;
    Stream* file = nullptr;
};

// A decoder that keeps failing gives up after this many errors in a row.
constexpr int kMaxDecodeErrors = 16;

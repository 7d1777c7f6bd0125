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
    virtual void SetVolume(int level) { level_ = level; }
    virtual const String& GetName() { return name_; }

    bool IsActive() const { return active; }
    int GetRate() const { return rate_; }
    // Source frames per output sample, in 1/256.
    int GetStep() const { return step_; }
    int GetChannels() const { return channels_; }

protected:
    // Makes and opens the file to read; on failure what was made is left for Close. A stream is
    // never read whole, so it is its size on disk that is held to a bound no song comes near.
    bool OpenFile(const char* path);
    // The source's rate and channels, taken once its header is read; the path names the stream.
    void SetFormat(int rate, int channels, const char* path);
    // Forgets the format and closes the file.
    void CloseFile();
    // Adds a source value at the stream's volume, clamped to 16 bits.
    void AddScaled(int16_t& out, int32_t value) const;

    bool active = false;
    bool loop_ = false;
    Application* app;
    Stream* file = nullptr;
    int rate_ = 0;
    int step_ = 0;
    int channels_ = 0;
    int level_ = 128;
    int mixRate_ = 22050;
    String name_;
};

// A decoder that keeps failing gives up after this many errors in a row.
constexpr int kMaxDecodeErrors = 16;

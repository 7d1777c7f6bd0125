// The music module slot until the tracker player is built: any non-empty file loads and plays
// silence, so the game runs the same with or without music.
#include <new>

#include "engine/sound/music_source.h"

namespace {

class SilentModule : public MusicSource {
public:
    void Render(int16_t*, int) override {}
    void SetVolume(int level) override { volume_ = level & 0xFF; }
    int GetVolume() override { return volume_; }
    void Play() override { playing_ = loaded_; }
    void Stop() override { playing_ = false; }
    void SetOrder(int) override {}
    void SetLoop(bool) override {}
    bool IsPlaying() override { return playing_; }
    void SetSampleRate(int) override {}
    bool Load(const uint8_t* data, uint32_t size) override
    {
        playing_ = false;
        loaded_ = data && size > 0;
        return loaded_;
    }

private:
    int volume_ = 0;
    bool playing_ = false;
    bool loaded_ = false;
};

}  // namespace

MusicSource* NewModuleMusic()
{
    return new (std::nothrow) SilentModule;
}

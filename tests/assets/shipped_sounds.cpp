#include "shipped_sounds.h"

#include "engine/sound/wav_sample.h"
#include "platform/null/sound_hooks.h"

namespace shipped {

Service::Service()
{
    nullbackend::SetSoundDeviceCount(1);
    nullbackend::FailSoundOpen(false);
    sound.Init();
    sound.EnableSfx(true);
    sound.EnableMusic(true);
    sound.SetSfxVolume(100);
    sound.SetMusicVolume(100);
}

Service::~Service()
{
    sound.Shutdown();
}

std::vector<int16_t> Decode(Service& service, const std::string& entry, unsigned* rate)
{
    int slot = service.sound.LoadSampleOgg(service.SoundPath(entry).c_str()).value;
    if (slot < 0)
        return {};
    const WavSample* sample = service.sound.GetSample(slot);
    std::vector<int16_t> values;
    if (!sample->IsEightBit()) {
        const auto* data = reinterpret_cast<const int16_t*>(sample->GetData());
        values.assign(data, data + sample->GetLength());
    }
    if (rate)
        *rate = sample->GetRate();
    service.sound.UnloadSample(slot);
    return values;
}

}  // namespace shipped

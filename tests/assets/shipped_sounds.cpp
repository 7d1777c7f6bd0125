#include "shipped_sounds.h"

#include "engine/sound/wav_sample.h"
#include "platform/null/sound_hooks.h"

namespace shipped {

const char* const kEffects[38] = {
    "ballclick1.ogg",  "ballclick2.ogg",     "fireball1.ogg",       "warning1.ogg",    "bombexplode.ogg",
    "earthquake.ogg",  "frogland2.ogg",      "jewelappear.ogg",     "gemvanishes.ogg", "coingrab.ogg",
    "chain1.ogg",      "gapbonus1.ogg",      "rolling.ogg",         "extralife.ogg",   "slowdown1.ogg",
    "reverse1.ogg",    "accuracy3.ogg",      "lighttrail2.ogg",     "chant3.ogg",      "chant1.ogg",
    "chant2.ogg",      "chant4.ogg",         "chant14.ogg",         "chant8.ogg",      "chant5.ogg",
    "chant6.ogg",      "endoflevelpop1.ogg", "ballsdestroyed1.ogg", "ballsdestroyed3.ogg", "chime1.ogg",
    "chime2.ogg",      "chime3.ogg",         "chime4.ogg",          "button1.ogg",     "button2.ogg",
    "choral1.ogg",     "pop.ogg",            "ufo1.ogg",
};

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
    int slot = service.sound.LoadSampleOgg(service.SoundPath(entry).c_str());
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

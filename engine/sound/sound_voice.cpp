#include "engine/sound/sound_voice.h"

void SoundVoice::SetVolume(int v)
{
    if (v < 0 || v > 64)
        v = 64;
    volume = v;
    int masterLevel = master ? master->load(std::memory_order_relaxed) : 64;
    level.store(masterLevel * v >> 6, std::memory_order_relaxed);
}

void SoundVoice::SetPan(int p)
{
    pan = p >= 256 ? 255 : p;
}

void SoundVoice::SetPitch(int p)
{
    pitch = p;
    uint64_t rate = baseRate;
    if (p > 128)
        pitchedRate = static_cast<uint32_t>((rate * static_cast<uint64_t>(p * 512)) >> 16);
    else if (p == 128)
        pitchedRate = baseRate;
    else
        pitchedRate = static_cast<uint32_t>((rate * 65536) / (static_cast<uint64_t>(256 - p) * 512));
    stepStale = true;
}

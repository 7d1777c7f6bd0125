#include <SDL.h>

#include <cstdlib>

#include "platform/common/sound_device.h"
#include "platform/handheld_internal.h"
#include "platform/internal.h"

namespace sdlbackend {
namespace {

bool AudioReady()
{
    static bool ready = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            platform_internal::Warn("no sound: %s", SDL_GetError());
            return false;
        }
        return true;
    }();
    return ready;
}

// Runs on SDL's audio thread; the device's own rules make it return promptly.
void Fill(void* userdata, Uint8* stream, int length)
{
    platform_sound::Consume(static_cast<WaveOutDevice*>(userdata), stream, static_cast<size_t>(length));
}

}  // namespace

int AudioBufferFrames(const char* text)
{
    constexpr long kLeast = 512, kMost = 1024;
    if (!text || !text[0])
        return kLeast;
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end != 0) {
        platform_internal::Warn("KELO_AUDIO_SAMPLES=%s is not a count of frames; using %ld", text, kLeast);
        return kLeast;
    }
    if (value < kLeast || value > kMost) {
        long used = value < kLeast ? kLeast : kMost;
        platform_internal::Warn("KELO_AUDIO_SAMPLES=%s is outside %ld..%ld; using %ld", text, kLeast, kMost, used);
        return static_cast<int>(used);
    }
    return static_cast<int>(value);
}

UINT SoundDeviceCount()
{
    return AudioReady() ? 1 : 0;
}

MMRESULT OpenSound(WaveOutDevice* device)
{
    if (!AudioReady())
        return MMSYSERR_NODRIVER;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(device->format.nSamplesPerSec);
    want.format = device->format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(device->format.nChannels);
    want.samples = static_cast<Uint16>(AudioBufferFrames(getenv("KELO_AUDIO_SAMPLES")));
    want.callback = Fill;
    want.userdata = device;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts our format to the real device's.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        platform_internal::Warn("no sound: %s", SDL_GetError());
        return MMSYSERR_NOTENABLED;
    }
    device->backendData = id;
    // The device runs from open to close; pausing is the queue's business.
    SDL_PauseAudioDevice(id, 0);
    return MMSYSERR_NOERROR;
}

void CloseSound(WaveOutDevice* device)
{
    if (device->backendData)
        SDL_CloseAudioDevice(static_cast<SDL_AudioDeviceID>(device->backendData));
    device->backendData = 0;
}

}  // namespace sdlbackend

#pragma once
// The wave output device shared by both back ends: the queue of headers and the rules of play.
// A back end only supplies a count of devices, opens the real output and asks for samples.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/sound.h"

struct WaveOutDevice {
    std::mutex mutex;
    std::condition_variable idle;
    std::deque<WAVEHDR*> queue;
    size_t offset = 0;  // bytes of the first queued header already played
    bool paused = false;
    bool closing = false;
    int callbacksRunning = 0;
    WaveOutProc callback = nullptr;
    DWORD_PTR instance = 0;
    WAVEFORMATEX format{};
    uintptr_t backendData = 0;
};

namespace platform_sound {
// Plays `bytes` of output into `out`: queued headers in order, each finished one handed to the
// callback with no lock held (a header written again there plays in the same request), silence
// where nothing is queued, while paused and once closing.
void Consume(WaveOutDevice* device, uint8_t* out, size_t bytes);
// The device opened last of those open, or null.
WaveOutDevice* OpenDevice();
// Consume on the newest open device, which cannot be closed and freed while it is in use; false
// when none is open.
bool ConsumeNewest(uint8_t* out, size_t bytes);
}  // namespace platform_sound

namespace nullbackend {
UINT SoundDeviceCount();
MMRESULT OpenSound(WaveOutDevice* device);
void CloseSound(WaveOutDevice* device);
}  // namespace nullbackend

namespace sdlbackend {
UINT SoundDeviceCount();
MMRESULT OpenSound(WaveOutDevice* device);
void CloseSound(WaveOutDevice* device);
}  // namespace sdlbackend

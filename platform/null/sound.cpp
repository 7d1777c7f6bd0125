#include <atomic>
#include <mutex>

#include "platform/common/sound_device.h"
#include "platform/null/sound_hooks.h"

namespace nullbackend {
namespace {
std::atomic<UINT> g_deviceCount{1};
std::atomic<bool> g_failOpen{false};
std::mutex g_captureLock;
std::vector<uint8_t> g_captured;
}  // namespace

UINT SoundDeviceCount()
{
    return g_deviceCount.load();
}

MMRESULT OpenSound(WaveOutDevice*)
{
    return g_failOpen.load() ? MMSYSERR_NOTENABLED : MMSYSERR_NOERROR;
}

void CloseSound(WaveOutDevice*) {}

void SetSoundDeviceCount(UINT count)
{
    g_deviceCount.store(count);
}

void FailSoundOpen(bool fail)
{
    g_failOpen.store(fail);
}

bool PumpSound(size_t bytes)
{
    std::vector<uint8_t> played(bytes);
    if (!platform_sound::ConsumeNewest(played.data(), bytes))
        return false;
    std::lock_guard<std::mutex> hold(g_captureLock);
    g_captured.insert(g_captured.end(), played.begin(), played.end());
    return true;
}

const std::vector<uint8_t>& CapturedSound()
{
    return g_captured;
}

void ClearCapturedSound()
{
    std::lock_guard<std::mutex> hold(g_captureLock);
    g_captured.clear();
}

bool SoundDeviceIsOpen()
{
    return platform_sound::OpenDevice() != nullptr;
}

size_t QueuedSoundHeaders()
{
    WaveOutDevice* device = platform_sound::OpenDevice();
    if (!device)
        return 0;
    std::lock_guard<std::mutex> hold(device->mutex);
    return device->queue.size();
}

}  // namespace nullbackend

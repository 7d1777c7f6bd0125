#include "platform/sound.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/common/backend_table.h"
#include "platform/common/sound_device.h"

namespace {

std::mutex g_openLock;
std::vector<WaveOutDevice*> g_open;  // in the order they were opened
// Held by a consumer that looked a device up for as long as it uses it; a close takes it before
// the device is freed, so the lookup can never hand out a device that is being deleted.
std::mutex g_consumeLock;

bool IsOpenDevice(HWAVEOUT device)
{
    std::lock_guard<std::mutex> hold(g_openLock);
    return device && std::find(g_open.begin(), g_open.end(), device) != g_open.end();
}

// Runs the callback with the device's lock released, counting it so Close can wait for it.
void RunCallback(WaveOutDevice* device, std::unique_lock<std::mutex>& hold, UINT message, WAVEHDR* header)
{
    if (!device->callback)
        return;
    ++device->callbacksRunning;
    hold.unlock();
    device->callback(device, message, device->instance, reinterpret_cast<DWORD_PTR>(header), 0);
    hold.lock();
    if (--device->callbacksRunning == 0)
        device->idle.notify_all();
}

bool FormatSupported(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (format.nChannels != 1 && format.nChannels != 2)
        return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16)
        return false;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8)
        return false;
    return format.nSamplesPerSec >= 8000 && format.nSamplesPerSec <= 48000;
}

}  // namespace

namespace platform_sound {

WaveOutDevice* OpenDevice()
{
    std::lock_guard<std::mutex> hold(g_openLock);
    return g_open.empty() ? nullptr : g_open.back();
}

bool ConsumeNewest(uint8_t* out, size_t bytes)
{
    std::lock_guard<std::mutex> consuming(g_consumeLock);
    WaveOutDevice* device = OpenDevice();
    if (!device)
        return false;
    Consume(device, out, bytes);
    return true;
}

void Consume(WaveOutDevice* device, uint8_t* out, size_t bytes)
{
    std::unique_lock<std::mutex> hold(device->mutex);
    size_t done = 0;
    // Empty headers finish without playing anything; a callback that keeps writing them back
    // must not hold the request forever.
    int emptyInARow = 0;
    while (done < bytes && !device->paused && !device->closing && !device->queue.empty() && emptyInARow < 64) {
        WAVEHDR* header = device->queue.front();
        size_t left = header->dwBufferLength > device->offset ? header->dwBufferLength - device->offset : 0;
        size_t n = left < bytes - done ? left : bytes - done;
        if (n) {
            memcpy(out + done, header->lpData + device->offset, n);
            done += n;
            device->offset += n;
            emptyInARow = 0;
        } else {
            ++emptyInARow;
        }
        if (device->offset >= header->dwBufferLength) {
            device->queue.pop_front();
            device->offset = 0;
            header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
            RunCallback(device, hold, WOM_DONE, header);
        }
    }
    if (done < bytes)
        memset(out + done, device->format.wBitsPerSample == 8 ? 0x80 : 0, bytes - done);
}

}  // namespace platform_sound

UINT waveOutGetNumDevs()
{
    return platform_internal::Backend().sound.deviceCount();
}

MMRESULT waveOutOpen(HWAVEOUT* result, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags)
{
    if (!result || !format)
        return MMSYSERR_INVALPARAM;
    DWORD kind = flags & CALLBACK_TYPEMASK;
    if (kind != CALLBACK_NULL && kind != CALLBACK_FUNCTION)
        return MMSYSERR_INVALFLAG;
    if (kind == CALLBACK_FUNCTION && !callback)
        return MMSYSERR_INVALPARAM;
    UINT count = waveOutGetNumDevs();
    if (count == 0)
        return MMSYSERR_NODRIVER;
    if (deviceId != WAVE_MAPPER && deviceId >= count)
        return MMSYSERR_BADDEVICEID;
    if (!FormatSupported(*format))
        return WAVERR_BADFORMAT;

    auto* device = new (std::nothrow) WaveOutDevice;
    if (!device)
        return MMSYSERR_NOMEM;
    device->format = *format;
    if (kind == CALLBACK_FUNCTION) {
        device->callback = reinterpret_cast<WaveOutProc>(callback);
        device->instance = instance;
    }
    MMRESULT opened = platform_internal::Backend().sound.open(device);
    if (opened != MMSYSERR_NOERROR) {
        delete device;
        return opened;
    }
    {
        std::lock_guard<std::mutex> openHold(g_openLock);
        g_open.push_back(device);
    }
    *result = device;
    if (device->callback)
        device->callback(device, WOM_OPEN, device->instance, 0, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT headerSize)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || headerSize < sizeof(WAVEHDR) || !header->lpData)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(device->mutex);
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT headerSize)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || headerSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(device->mutex);
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT headerSize)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || headerSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(device->mutex);
    if (device->closing)
        return MMSYSERR_INVALHANDLE;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    device->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPause(HWAVEOUT device)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> hold(device->mutex);
    device->paused = true;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWAVEOUT device)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> hold(device->mutex);
    device->paused = false;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> hold(device->mutex);
    // Headers the callbacks write again stay queued; only what was queued now comes back.
    std::deque<WAVEHDR*> returned;
    returned.swap(device->queue);
    device->offset = 0;
    for (WAVEHDR* header : returned)
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    for (WAVEHDR* header : returned)
        RunCallback(device, hold, WOM_DONE, header);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device)
{
    if (!IsOpenDevice(device))
        return MMSYSERR_INVALHANDLE;
    {
        std::unique_lock<std::mutex> hold(device->mutex);
        if (!device->queue.empty())
            return WAVERR_STILLPLAYING;
        device->closing = true;
        device->idle.wait(hold, [device] { return device->callbacksRunning == 0; });
    }
    platform_internal::Backend().sound.close(device);
    if (device->callback)
        device->callback(device, WOM_CLOSE, device->instance, 0, 0);
    {
        std::lock_guard<std::mutex> consuming(g_consumeLock);
        std::lock_guard<std::mutex> openHold(g_openLock);
        g_open.erase(std::find(g_open.begin(), g_open.end(), device));
    }
    delete device;
    return MMSYSERR_NOERROR;
}

void InitializeCriticalSection(CRITICAL_SECTION* section)
{
    section->lock = new std::recursive_mutex;
}

void EnterCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->lock)->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->lock)->unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* section)
{
    delete static_cast<std::recursive_mutex*>(section->lock);
    section->lock = nullptr;
}

BOOL MessageBeep(UINT)
{
    return TRUE;
}

#pragma once
// The handheld's wave output device, its lock type and the system beep.
//
// A device plays the headers written to it one after another; each finished header comes back
// through the callback function as WOM_DONE, on the device's own thread, with no lock of this
// layer held, so the callback may unprepare, prepare and write headers again.
#include <cstdint>

#include "platform/base.h"

using DWORD_PTR = uintptr_t;
using MMRESULT = UINT;
using HWAVEOUT = struct WaveOutDevice*;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};

struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_BEGINLOOP = 0x04;
constexpr DWORD WHDR_ENDLOOP = 0x08;
constexpr DWORD WHDR_INQUEUE = 0x10;

constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;

constexpr DWORD CALLBACK_NULL = 0x00000;
constexpr DWORD CALLBACK_FUNCTION = 0x30000;
constexpr DWORD CALLBACK_TYPEMASK = 0x70000;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// (device, message, instance, first parameter: the header for WOM_DONE, second parameter)
using WaveOutProc = void (*)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

UINT waveOutGetNumDevs();
// Accepts 8- or 16-bit PCM, one or two channels, 8000..48000 samples per second.
MMRESULT waveOutOpen(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT headerSize);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT headerSize);
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT headerSize);
// A paused device keeps its queue and plays silence.
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// Returns every queued header, in order, marked done.
MMRESULT waveOutReset(HWAVEOUT device);
// WAVERR_STILLPLAYING while headers are queued; otherwise returns once no callback runs, and
// none runs afterwards.
MMRESULT waveOutClose(HWAVEOUT device);

// A lock the owning thread may take again; the mixer's lock.
struct CRITICAL_SECTION {
    void* lock = nullptr;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);

// The handheld has no speaker of its own worth sounding here.
BOOL MessageBeep(UINT type);

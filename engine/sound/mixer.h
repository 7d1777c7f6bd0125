#pragma once
// The software mixer: owns the wave output device and six buffers that circulate through it,
// and refills each returned buffer on the device's thread with the music source, the active
// streams and the sound voices.
#include <atomic>
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/sound/sound_voice.h"
#include "platform/sound.h"

class MusicSource;
class MusicStream;
class WavSample;

class Mixer {
public:
    Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;
    ~Mixer();

    // 1 ok, 0 without a device that takes the format, when out of memory or already open.
    int Open(int rate, int bits, int stereo, int musicVoices, int soundVoices);
    int Close();

    // The handle of the voice that plays it, or -1; `serial` receives which start this is.
    int PlaySample(const WavSample* sample, uint32_t* serial = nullptr);
    SoundVoice* FindVoice(int handle);
    // Whether the handle's voice still plays the start `serial` named.
    bool IsVoicePlaying(int handle, uint32_t serial);
    // Stops the handle's voice only while it plays that start.
    void StopVoice(int handle, uint32_t serial);
    void StopAll();
    void Pause();
    void Resume();
    void SetMasterVolume(int level);
    int GetMasterVolume() const { return soundMaster_.load(std::memory_order_relaxed); }

    int PlayMusic(MusicSource* module, int startOrder, int volume, bool loop);
    void StopMusic();
    int AddStream(MusicStream* stream, int volume, bool loop);
    void RemoveStream(MusicStream* stream);

    // The lock the refill holds; the sound service takes it around decoding and stream changes.
    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }

    bool IsOpen() const { return isOpen_; }
    int GetRate() const { return rate_; }
    uint32_t GetBufferBytes() const { return bufferBytes_; }
    int GetMusicVoiceCount() const { return musicVoiceCount_; }
    int GetSoundVoiceCount() const { return soundVoiceCount_; }
    const WAVEFORMATEX& GetFormat() const { return format_; }
    bool IsStereo() const { return stereo_; }
    bool IsSixteenBit() const { return sixteenBit_; }
    int ActiveStreamCount() const { return activeStreams_.Count(); }

    // Mixes one buffer of bufferBytes into `buffer`, as the refill does; the caller holds the lock.
    void Refill(uint8_t* buffer);

private:
    static void WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR header, DWORD_PTR);
    void MixVoice(SoundVoice& voice, int frames, int channels);
    void FreeVoicesAndBuffers();

    HWAVEOUT device_ = nullptr;
    WAVEFORMATEX format_{};
    WAVEHDR* headers_ = nullptr;
    int bufferCount_ = 6;
    CRITICAL_SECTION lock_;
    bool isOpen_ = false;
    int rate_ = 0;
    int musicVoiceCount_ = 0;
    MusicVoice* musicVoices_ = nullptr;
    int soundVoiceCount_ = 0;
    SoundVoice* soundVoices_ = nullptr;
    uint8_t* bufferMemory_ = nullptr;
    uint32_t bufferBytes_ = 0;
    uint32_t frameBytes_ = 0;
    bool stereo_ = false;
    bool sixteenBit_ = true;
    std::atomic<int> musicMaster_{64};
    std::atomic<int> soundMaster_{64};
    MusicSource* musicSource_ = nullptr;
    PtrArray activeStreams_;
    std::atomic<bool> closing_{false};
    std::atomic<bool> closeAcknowledged_{false};
    // One 32-bit accumulator per output value of a buffer.
    int32_t* accumulators_ = nullptr;
    uint32_t nextSerial_ = 0;
};

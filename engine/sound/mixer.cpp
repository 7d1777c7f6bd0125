#include "engine/sound/mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/device_info.h"
#include "engine/sound/music_source.h"
#include "engine/sound/music_stream.h"
#include "engine/sound/wav_sample.h"
#include "platform/clock.h"

namespace {

class LockHold {
public:
    explicit LockHold(Mixer& mixer) : mixer_(mixer) { mixer_.Lock(); }
    ~LockHold() { mixer_.Unlock(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    Mixer& mixer_;
};

inline int32_t SampleAt(const uint8_t* data, uint32_t index, bool eightBit)
{
    if (eightBit)
        return (static_cast<int32_t>(data[index]) - 128) * 256;
    int16_t value;
    memcpy(&value, data + 2 * static_cast<size_t>(index), 2);
    return value;
}

}  // namespace

Mixer::Mixer()
{
    // The lock lives as long as the mixer, so calls on a closed mixer find it too.
    InitializeCriticalSection(&lock_);
}

Mixer::~Mixer()
{
    Close();
    activeStreams_.FreeStorage();
    DeleteCriticalSection(&lock_);
}

int Mixer::Open(int rate, int bits, int stereo, int musicVoices, int soundVoices)
{
    if (isOpen_)
        return 0;
    if (rate != 11025 && rate != 22050 && rate != 44100)
        rate = 22050;
    rate_ = rate;
    stereo_ = stereo != 0;
    sixteenBit_ = bits == 16;

    musicVoiceCount_ = std::clamp(musicVoices, 1, 3);
    soundVoiceCount_ = std::clamp(soundVoices, 8, 64);
    musicVoices_ = new (std::nothrow) MusicVoice[musicVoiceCount_];
    soundVoices_ = new (std::nothrow) SoundVoice[soundVoiceCount_];
    musicMaster_.store(64);
    soundMaster_.store(64);
    frameBytes_ = (1u << (stereo_ ? 1 : 0)) << (sixteenBit_ ? 1 : 0);
    bufferBytes_ = ((frameBytes_ * static_cast<uint32_t>(rate_) * 135 / 6000) + 7) & ~7u;
    bufferMemory_ = new (std::nothrow) uint8_t[static_cast<size_t>(bufferCount_) * bufferBytes_];
    accumulators_ = new (std::nothrow) int32_t[bufferBytes_];
    headers_ = new (std::nothrow) WAVEHDR[bufferCount_];
    if (!musicVoices_ || !soundVoices_ || !bufferMemory_ || !accumulators_ || !headers_) {
        FreeVoicesAndBuffers();
        return 0;
    }
    for (int i = 0; i < musicVoiceCount_; ++i)
        musicVoices_[i].master = &musicMaster_;
    for (int i = 0; i < soundVoiceCount_; ++i)
        soundVoices_[i].master = &soundMaster_;
    memset(bufferMemory_, sixteenBit_ ? 0 : 128, static_cast<size_t>(bufferCount_) * bufferBytes_);
    closing_.store(false);
    closeAcknowledged_.store(false);

    WORD channels = stereo_ ? 2 : 1;
    WORD sampleBits = sixteenBit_ ? 16 : 8;
    format_.wFormatTag = WAVE_FORMAT_PCM;
    format_.nChannels = channels;
    format_.nSamplesPerSec = static_cast<DWORD>(rate_);
    format_.nBlockAlign = static_cast<WORD>(sampleBits / 8 * channels);
    format_.nAvgBytesPerSec = static_cast<DWORD>(rate_) * format_.nBlockAlign;
    format_.wBitsPerSample = sampleBits;
    format_.cbSize = 0;

    device_ = nullptr;
    UINT count = waveOutGetNumDevs();
    for (UINT id = 0; id < count && !device_; ++id) {
        HWAVEOUT opened = nullptr;
        if (waveOutOpen(&opened, id, &format_, reinterpret_cast<DWORD_PTR>(&Mixer::WaveOutCallback),
                        reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) == MMSYSERR_NOERROR)
            device_ = opened;
    }
    if (!device_) {
        FreeVoicesAndBuffers();
        return 0;
    }

    waveOutPause(device_);
    memset(static_cast<void*>(headers_), 0, sizeof(WAVEHDR) * static_cast<size_t>(bufferCount_));
    for (int i = 0; i < bufferCount_; ++i) {
        WAVEHDR& header = headers_[i];
        header.lpData = reinterpret_cast<char*>(bufferMemory_ + static_cast<size_t>(i) * bufferBytes_);
        // The first pass queues only a few bytes of each buffer, so the refills start at once.
        header.dwBufferLength = 8;
        if (waveOutPrepareHeader(device_, &header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR)
            waveOutWrite(device_, &header, sizeof(WAVEHDR));
    }
    Sleep(100);
    waveOutRestart(device_);
    isOpen_ = true;
    if (OemInfoContains("MotoQ"))
        MessageBeep(0);
    return 1;
}

void Mixer::FreeVoicesAndBuffers()
{
    delete[] musicVoices_;
    delete[] soundVoices_;
    delete[] bufferMemory_;
    delete[] accumulators_;
    delete[] headers_;
    musicVoices_ = nullptr;
    soundVoices_ = nullptr;
    bufferMemory_ = nullptr;
    accumulators_ = nullptr;
    headers_ = nullptr;
    musicVoiceCount_ = 0;
    soundVoiceCount_ = 0;
}

int Mixer::Close()
{
    if (!isOpen_)
        return 1;
    closing_.store(true);
    // A running device acknowledges within a buffer; a paused one never does, so the wait is short.
    for (int i = 0; i < 100 && !closeAcknowledged_.load(); ++i)
        Sleep(1);

    // A refill already under way may queue its buffer once more; the callbacks after it only
    // acknowledge, so the second round finds the queue empty.
    bool closed = false;
    for (int round = 0; round < 16 && !closed; ++round) {
        waveOutReset(device_);
        for (int i = 0; i < bufferCount_; ++i)
            waveOutUnprepareHeader(device_, &headers_[i], sizeof(WAVEHDR));
        closed = waveOutClose(device_) != WAVERR_STILLPLAYING;
    }
    device_ = nullptr;
    if (closed) {
        FreeVoicesAndBuffers();
    } else {
        // The device may still read the buffers: they are left to it rather than freed.
        musicVoiceCount_ = 0;
        soundVoiceCount_ = 0;
    }
    isOpen_ = false;
    return 1;
}

void Mixer::WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR)
{
    auto* mixer = reinterpret_cast<Mixer*>(instance);
    if (mixer->closing_.load()) {
        Sleep(0);
        mixer->closeAcknowledged_.store(true);
        return;
    }
    if (message != WOM_DONE || !param)
        return;
    auto* header = reinterpret_cast<WAVEHDR*>(param);
    auto* current = reinterpret_cast<uint8_t*>(header->lpData);
    mixer->Lock();
    mixer->Refill(current);
    mixer->Unlock();
    if (waveOutUnprepareHeader(device, header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
        return;
    memset(static_cast<void*>(header), 0, sizeof(WAVEHDR));
    header->lpData = reinterpret_cast<char*>(current);
    header->dwBufferLength = mixer->bufferBytes_;
    if (waveOutPrepareHeader(device, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR)
        waveOutWrite(device, header, sizeof(WAVEHDR));
}

void Mixer::Refill(uint8_t* buffer)
{
    memset(buffer, sixteenBit_ ? 0 : 128, bufferBytes_);
    int samples = static_cast<int>(bufferBytes_ / 2);
    // The music and the streams write 16-bit values; 8-bit output plays the sound voices only.
    if (sixteenBit_) {
        auto* out = reinterpret_cast<int16_t*>(buffer);
        if (musicSource_)
            musicSource_->Render(out, samples);
        for (int i = 0; i < activeStreams_.Count(); ++i) {
            auto* stream = static_cast<MusicStream*>(activeStreams_.At(i));
            if (stream->IsActive())
                stream->Mix(out, samples);
        }
    }

    int channels = stereo_ ? 2 : 1;
    int frames = static_cast<int>((bufferBytes_ >> (sixteenBit_ ? 1 : 0)) / static_cast<uint32_t>(channels));
    int values = frames * channels;
    bool any = false;
    for (int v = 0; v < soundVoiceCount_; ++v) {
        SoundVoice& voice = soundVoices_[v];
        if (voice.stopped || voice.paused)
            continue;
        if (!any) {
            memset(accumulators_, 0, sizeof(int32_t) * static_cast<size_t>(values));
            any = true;
        }
        MixVoice(voice, frames, channels);
    }
    if (!any)
        return;

    if (sixteenBit_) {
        auto* out = reinterpret_cast<int16_t*>(buffer);
        for (int i = 0; i < values; ++i)
            out[i] = static_cast<int16_t>(std::clamp(out[i] + (accumulators_[i] >> 6), -32768, 32767));
    } else {
        for (int i = 0; i < values; ++i) {
            int v = buffer[i] - 128 + (accumulators_[i] >> 14);
            buffer[i] = static_cast<uint8_t>(std::clamp(v, -128, 127) + 128);
        }
    }
}

// Adds one voice into the accumulators; the voices are independent, so adding them one after
// another gives the same sums as adding them frame by frame.
void Mixer::MixVoice(SoundVoice& voice, int frames, int channels)
{
    if (voice.stepStale) {
        voice.step = static_cast<uint32_t>(static_cast<uint64_t>(voice.pitchedRate) * 256 / static_cast<uint32_t>(rate_));
        voice.stepStale = false;
    }
    const int32_t level = voice.level.load(std::memory_order_relaxed);
    const uint8_t* data = voice.data;
    const bool eightBit = voice.eightBit;
    const uint64_t end = voice.end;
    const uint64_t step = voice.step;
    uint64_t position = voice.position;
    int32_t* acc = accumulators_;
    int32_t gainLeft = level;
    int32_t gainRight = level;
    if (channels == 2 && voice.pan != 128) {
        int32_t g = 2 * level;
        int32_t r = (voice.pan * g) >> 8;
        gainLeft = g - r;
        gainRight = r;
    }
    for (int f = 0; f < frames; ++f) {
        if (voice.loop && position >= end && end > 0)
            position %= end;  // the whole sample repeats from its start
        if (position >= end) {
            voice.Stop();
            break;
        }
        int32_t s = SampleAt(data, static_cast<uint32_t>(position >> 8), eightBit);
        if (channels == 1) {
            acc[f] += level * s;
        } else {
            acc[2 * f] += gainLeft * s;
            acc[2 * f + 1] += gainRight * s;
        }
        position += step;
    }
    if (voice.loop && position >= end && end > 0)
        position %= end;
    voice.position = static_cast<uint32_t>(std::min<uint64_t>(position, end));
}

int Mixer::PlaySample(const WavSample* sample, uint32_t* serial)
{
    if (!isOpen_ || !sample || !sample->GetData() || sample->GetLength() == 0 || soundVoiceCount_ == 0)
        return -1;
    LockHold hold(*this);
    int chosen = -1;
    for (int i = 0; i < soundVoiceCount_; ++i) {
        if (soundVoices_[i].stopped && !soundVoices_[i].paused) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) {
        // Nothing free: the voice with the shortest sample is taken over, whatever it plays.
        uint32_t shortest = (1u << 28) - 1;
        for (int i = 0; i < soundVoiceCount_; ++i) {
            if (soundVoices_[i].end < shortest) {
                shortest = soundVoices_[i].end;
                chosen = i;
            }
        }
        if (chosen < 0)
            return -1;
    }
    SoundVoice& voice = soundVoices_[chosen];
    voice.data = sample->GetData();
    voice.baseRate = sample->GetRate();
    voice.pitchedRate = sample->GetPlaybackRate();
    voice.SetPitch(sample->GetPitch());
    voice.position = 0;
    voice.end = sample->GetLength() * 256;
    voice.loop = sample->GetLoop();
    voice.SetPan(sample->GetPan());
    voice.eightBit = sample->IsEightBit();
    voice.SetVolume(sample->GetVolume());
    voice.serial = ++nextSerial_;
    voice.Start();
    if (serial)
        *serial = voice.serial;
    return musicVoiceCount_ + chosen;
}

SoundVoice* Mixer::FindVoice(int handle)
{
    if (handle < 0)
        return nullptr;
    if (handle < musicVoiceCount_)
        return &musicVoices_[handle];
    if (handle - musicVoiceCount_ < soundVoiceCount_)
        return &soundVoices_[handle - musicVoiceCount_];
    return nullptr;
}

bool Mixer::IsVoicePlaying(int handle, uint32_t serial)
{
    LockHold hold(*this);
    SoundVoice* voice = FindVoice(handle);
    return voice && !voice->stopped && voice->serial == serial;
}

void Mixer::StopVoice(int handle, uint32_t serial)
{
    LockHold hold(*this);
    SoundVoice* voice = FindVoice(handle);
    if (voice && voice->serial == serial)
        voice->Stop();
}

void Mixer::StopAll()
{
    LockHold hold(*this);
    for (int i = 0; i < soundVoiceCount_; ++i)
        soundVoices_[i].Stop();
}

void Mixer::Pause()
{
    if (isOpen_)
        waveOutPause(device_);
}

void Mixer::Resume()
{
    if (isOpen_)
        waveOutRestart(device_);
}

void Mixer::SetMasterVolume(int level)
{
    soundMaster_.store(std::clamp(level, 0, 64), std::memory_order_relaxed);
    for (int i = 0; i < soundVoiceCount_; ++i)
        soundVoices_[i].SetVolume(soundVoices_[i].volume);
}

int Mixer::PlayMusic(MusicSource* module, int startOrder, int volume, bool loop)
{
    if (!module)
        return -1;
    if (musicSource_) {
        LockHold hold(*this);
        musicSource_->Stop();
        musicSource_ = nullptr;
    }
    LockHold hold(*this);
    musicSource_ = module;
    module->SetVolume(volume & 0xFF);
    module->Play();
    module->SetOrder(startOrder);
    module->SetLoop(loop);
    return 1;
}

void Mixer::StopMusic()
{
    if (!musicSource_)
        return;
    LockHold hold(*this);
    musicSource_->Stop();
    musicSource_ = nullptr;
}

int Mixer::AddStream(MusicStream* stream, int volume, bool loop)
{
    if (!stream)
        return -1;
    LockHold hold(*this);
    if (activeStreams_.IndexOf(stream) >= 0) {
        stream->Stop();
    } else if (!activeStreams_.Add(stream)) {
        return -1;
    }
    stream->SetVolume(volume & 0xFF);
    stream->Play(loop);
    return 1;
}

void Mixer::RemoveStream(MusicStream* stream)
{
    if (!stream)
        return;
    LockHold hold(*this);
    stream->Stop();
    int index = activeStreams_.IndexOf(stream);
    if (index >= 0)
        activeStreams_.RemoveAt(index);
}

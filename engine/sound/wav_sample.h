#pragma once
// A whole sound in memory, parsed from a RIFF WAV image: 8-bit and 16-bit PCM are played where
// they lie in the image, 4-bit Microsoft ADPCM is decoded into a block of the sample's own.
#include <cstddef>
#include <cstdint>

#include "platform/outcome.h"

// No sample reaches this many samples; larger data is refused before anything is allocated.
constexpr uint32_t kMaxSampleLength = 1u << 24;

// Whether a format chunk body of `length` bytes describes plain PCM: tag 1, or the extensible tag
// whose sub-format is PCM. Samples of any other encoding would play as noise.
bool IsPcmFormat(const uint8_t* format, uint64_t length);
// Why a WAV of another encoding is refused.
constexpr const char* kWavEncodingRefusal = "not PCM or Microsoft ADPCM, the encodings the game plays";

struct AdpcmFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
    uint16_t samplesPerBlock = 0;
    uint16_t numCoefficients = 0;
    int16_t coefficient1[7] = {};
    int16_t coefficient2[7] = {};
};

struct AdpcmState {
    uint8_t predictor = 0;
    int32_t delta = 0;
    int32_t sample1 = 0;
    int32_t sample2 = 0;
};

class WavSample {
public:
    WavSample() = default;
    WavSample(const WavSample&) = delete;
    WavSample& operator=(const WavSample&) = delete;
    virtual ~WavSample();

    // The caller keeps the image alive as long as the sample; `size` bounds every read.
    Outcome LoadFromMemory(const uint8_t* image, size_t size);

    bool GetLoop() const { return loop_; }
    void SetLoop(bool loop) { loop_ = loop; }
    const uint8_t* GetData() const { return data_; }
    bool IsEightBit() const { return eightBit_; }
    uint32_t GetRate() const { return rate_; }
    uint32_t GetLength() const { return length_; }
    int GetVolume() const { return volume_; }
    int GetPan() const { return pan_; }
    uint32_t GetPlaybackRate() const { return playbackRate_; }
    int GetPitch() const { return pitch_; }

private:
    void FreeOwned();
    bool DecodeAdpcm(const uint8_t* body, uint32_t bytes);

    const uint8_t* data_ = nullptr;
    bool eightBit_ = true;
    uint32_t rate_ = 0;
    uint32_t length_ = 0;
    int volume_ = 64;
    bool loop_ = false;
    int pan_ = 128;
    AdpcmFormat adpcm_;
    AdpcmState state_;
    uint32_t playbackRate_ = 1;
    int pitch_ = 128;
    bool ownsData_ = false;
};

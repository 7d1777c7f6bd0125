#include "engine/sound/wav_sample.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/sound/riff_bytes.h"

namespace {

const int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

int32_t Clamp16(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, -32768, 32767));
}

// Rates outside this range give the mixer no sensible step.
bool RateUsable(uint32_t rate)
{
    return rate >= 1 && rate <= 192000;
}

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagAdpcm = 2;
constexpr uint16_t kTagExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM as it lies in the file.
const uint8_t kPcmSubFormat[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};

Outcome Damaged()
{
    return Outcome::Refused("damaged: not a WAV sound that can be read");
}

}  // namespace

bool IsPcmFormat(const uint8_t* format, uint64_t length)
{
    if (length < 16)
        return false;
    uint16_t tag = ReadLe16(format);
    if (tag == kTagPcm)
        return true;
    // The extension is 22 bytes: valid bits, channel mask, then the sub-format.
    return tag == kTagExtensible && length >= 40 && ReadLe16(format + 16) >= 22 &&
           memcmp(format + 24, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

WavSample::~WavSample()
{
    FreeOwned();
}

void WavSample::FreeOwned()
{
    if (ownsData_)
        Free(const_cast<uint8_t*>(data_));
    ownsData_ = false;
    data_ = nullptr;
    length_ = 0;
}

Outcome WavSample::LoadFromMemory(const uint8_t* image, size_t size)
{
    FreeOwned();
    if (!image || size < 20 || !IsTag(image + 12, "fmt "))
        return Damaged();
    uint64_t formatLength = ReadLe32(image + 16);
    if (formatLength < 16 || 20 + formatLength > size)
        return Damaged();
    const uint8_t* format = image + 20;
    uint16_t bits = ReadLe16(format + 14);
    if ((bits != 4 && bits != 8 && bits != 16) || ReadLe16(format + 2) != 1)
        return Damaged();
    if (bits == 4 ? ReadLe16(format) != kTagAdpcm : !IsPcmFormat(format, formatLength))
        return Outcome::Refused(kWavEncodingRefusal);
    uint32_t rate = ReadLe32(format + 4);
    if (!RateUsable(rate))
        return Damaged();

    uint64_t at = 20 + formatLength;
    uint64_t dataBytes = 0;
    for (;;) {
        if (at + 8 > size)
            return Damaged();
        uint64_t chunkLength = ReadLe32(image + at + 4);
        if (IsTag(image + at, "data")) {
            // A length running past the image is cut to what the image holds.
            dataBytes = std::min<uint64_t>(chunkLength, size - (at + 8));
            break;
        }
        at += 8 + chunkLength;
    }
    const uint8_t* body = image + at + 8;

    if (bits == 4) {
        if (formatLength < 50)
            return Damaged();
        adpcm_.formatTag = ReadLe16(format);
        adpcm_.channels = ReadLe16(format + 2);
        adpcm_.samplesPerSec = ReadLe32(format + 4);
        adpcm_.avgBytesPerSec = ReadLe32(format + 8);
        adpcm_.blockAlign = ReadLe16(format + 12);
        adpcm_.bitsPerSample = bits;
        adpcm_.extraSize = ReadLe16(format + 16);
        adpcm_.samplesPerBlock = ReadLe16(format + 18);
        adpcm_.numCoefficients = ReadLe16(format + 20);
        if (adpcm_.numCoefficients != 7 || adpcm_.blockAlign < 7)
            return Damaged();
        if (adpcm_.samplesPerBlock < 2 || adpcm_.samplesPerBlock > 2 + 2 * (adpcm_.blockAlign - 7))
            return Damaged();
        for (int i = 0; i < 7; ++i) {
            adpcm_.coefficient1[i] = static_cast<int16_t>(ReadLe16(format + 22 + 4 * i));
            adpcm_.coefficient2[i] = static_cast<int16_t>(ReadLe16(format + 24 + 4 * i));
        }
        rate_ = rate;
        if (!DecodeAdpcm(body, static_cast<uint32_t>(dataBytes)))
            return Damaged();
        eightBit_ = false;
        playbackRate_ = rate_;
        return Outcome();
    }

    uint64_t length = bits == 16 ? dataBytes / 2 : dataBytes;
    if (length >= kMaxSampleLength)
        return Damaged();
    data_ = body;
    rate_ = rate;
    length_ = static_cast<uint32_t>(length);
    eightBit_ = bits == 8;
    playbackRate_ = rate_;
    ownsData_ = false;
    return Outcome();
}

bool WavSample::DecodeAdpcm(const uint8_t* body, uint32_t bytes)
{
    uint32_t blockAlign = adpcm_.blockAlign;
    uint32_t perBlock = adpcm_.samplesPerBlock;
    uint64_t blocks = bytes / blockAlign;
    uint64_t total = blocks * perBlock;
    if (total >= kMaxSampleLength)
        return false;
    if (total == 0) {
        data_ = nullptr;
        length_ = 0;
        ownsData_ = false;
        return true;
    }
    auto* out = static_cast<int16_t*>(Alloc(static_cast<size_t>(total) * 2));
    if (!out)
        return false;
    int16_t* write = out;
    for (uint64_t b = 0; b < blocks; ++b) {
        const uint8_t* block = body + b * blockAlign;
        state_.predictor = block[0];
        if (state_.predictor >= 7) {
            Free(out);
            return false;
        }
        state_.delta = static_cast<int16_t>(ReadLe16(block + 1));
        state_.sample1 = static_cast<int16_t>(ReadLe16(block + 3));
        state_.sample2 = static_cast<int16_t>(ReadLe16(block + 5));
        int64_t c1 = adpcm_.coefficient1[state_.predictor];
        int64_t c2 = adpcm_.coefficient2[state_.predictor];
        *write++ = static_cast<int16_t>(state_.sample2);
        *write++ = static_cast<int16_t>(state_.sample1);
        for (uint32_t n = 0; n + 2 < perBlock; ++n) {
            uint8_t byte = block[7 + n / 2];
            int code = (n & 1) ? (byte & 15) : (byte >> 4);
            int64_t predicted = (state_.sample1 * c1 + state_.sample2 * c2) / 256;
            int64_t error = code >= 8 ? code - 16 : code;
            int32_t value = Clamp16(predicted + error * state_.delta);
            int64_t delta = static_cast<int64_t>(kAdaptation[code]) * state_.delta / 256;
            // Kept below the point where the next step could overflow.
            state_.delta = static_cast<int32_t>(std::clamp<int64_t>(delta, 16, INT32_MAX / 768));
            state_.sample2 = state_.sample1;
            state_.sample1 = value;
            *write++ = static_cast<int16_t>(value);
        }
    }
    data_ = reinterpret_cast<const uint8_t*>(out);
    length_ = static_cast<uint32_t>(total);
    ownsData_ = true;
    return true;
}

#include "engine/sound/wav_music_stream.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/stream.h"
#include "engine/sound/riff_bytes.h"
#include "engine/sound/wav_sample.h"

namespace {
uint8_t* g_scratch = nullptr;
uint32_t g_scratchBytes = 0;

bool GrowScratch(uint32_t bytes)
{
    if (bytes <= g_scratchBytes)
        return true;
    auto* grown = static_cast<uint8_t*>(Alloc(bytes));
    if (!grown)
        return false;
    Free(g_scratch);
    g_scratch = grown;
    g_scratchBytes = bytes;
    return true;
}
}  // namespace

void WavMusicStream::FreeScratch()
{
    Free(g_scratch);
    g_scratch = nullptr;
    g_scratchBytes = 0;
}

WavMusicStream::~WavMusicStream()
{
    Close();
}

bool WavMusicStream::Open(const char* path)
{
    Close();
    uint8_t header[8];
    // Enough for the extensible format's sub-format.
    uint8_t format[40];
    bool ok = OpenFile(path) && file->Seek(12, kSeekStart) && file->Read(header, 8) == 8 &&
              IsTag(header, "fmt ") && ReadLe32(header + 4) >= 16 && ReadLe32(header + 4) <= INT32_MAX;
    uint32_t formatLength = ok ? ReadLe32(header + 4) : 0;
    int32_t formatRead = static_cast<int32_t>(std::min<uint32_t>(formatLength, sizeof format));
    ok = ok && file->Read(format, formatRead) == formatRead;
    uint16_t bits = ok ? ReadLe16(format + 14) : 0;
    ok = ok && (bits == 8 || bits == 16) && IsPcmFormat(format, formatLength) &&
         file->Seek(static_cast<int32_t>(formatLength) - formatRead, kSeekCurrent);
    uint32_t dataBytes = 0;
    while (ok) {
        if (file->Read(header, 8) != 8) {
            ok = false;
            break;
        }
        uint32_t length = ReadLe32(header + 4);
        if (IsTag(header, "data")) {
            dataBytes = length;
            break;
        }
        ok = length <= INT32_MAX && file->Seek(static_cast<int32_t>(length), kSeekCurrent) &&
             file->Tell() <= file->GetSize();
    }
    int channels = ok ? ReadLe16(format + 2) : 0;
    uint32_t rate = ok ? ReadLe32(format + 4) : 0;
    if (!ok || (channels != 1 && channels != 2) || rate < 87 || rate > 192000) {
        Close();
        return false;
    }
    dataStart_ = file->Tell();
    int32_t size = file->GetSize();
    // The data ends where its chunk says, or where the file does.
    uint32_t inFile = size > dataStart_ ? static_cast<uint32_t>(size - dataStart_) : 0;
    dataBytes = std::min(dataBytes, inFile);
    dataEnd_ = dataStart_ + static_cast<int32_t>(dataBytes);
    readPos_ = dataStart_;
    eightBit_ = bits == 8;
    length_ = eightBit_ ? dataBytes : dataBytes / 2;
    SetFormat(static_cast<int>(rate), channels, path);
    fraction_ = 0;
    held_ = false;
    return true;
}

void WavMusicStream::Close()
{
    length_ = 0;
    dataStart_ = dataEnd_ = readPos_ = 0;
    fraction_ = 0;
    held_ = false;
    CloseFile();
}

void WavMusicStream::Play(bool loop)
{
    if (!file)
        return;
    active = true;
    loop_ = loop;
}

void WavMusicStream::Rewind()
{
    if (file)
        file->Seek(dataStart_, kSeekStart);
    readPos_ = dataStart_;
}

void WavMusicStream::Stop()
{
    active = false;
    Rewind();
    fraction_ = 0;
    held_ = false;
}

uint32_t WavMusicStream::ReadData(uint8_t* out, uint32_t bytes)
{
    uint32_t left = dataEnd_ > readPos_ ? static_cast<uint32_t>(dataEnd_ - readPos_) : 0;
    bytes = std::min(bytes, left);
    if (bytes == 0)
        return 0;
    int32_t got = file->Read(out, static_cast<int32_t>(bytes));
    if (got <= 0)
        return 0;
    readPos_ += got;
    return static_cast<uint32_t>(got);
}

void WavMusicStream::Mix(int16_t* out, int count)
{
    if (!file || !active || count <= 0)
        return;
    const uint32_t frameBytes = static_cast<uint32_t>(channels_) * (eightBit_ ? 1u : 2u);
    const uint64_t step = static_cast<uint64_t>(step_);
    const uint64_t total = fraction_ + static_cast<uint64_t>(count) * step;
    // Whole source frames only: the last one played may be needed again by the next call.
    const uint64_t needed = ((fraction_ + static_cast<uint64_t>(count - 1) * step) >> 8) + 1;
    const uint64_t consumed = total >> 8;
    const uint64_t frames = std::max(needed, consumed);
    if (frames * frameBytes > INT32_MAX || !GrowScratch(static_cast<uint32_t>(frames * frameBytes)))
        return;
    const uint32_t bytes = static_cast<uint32_t>(frames * frameBytes);
    uint8_t* buffer = g_scratch;
    uint32_t got = 0;
    if (held_) {
        memcpy(buffer, heldFrame_, frameBytes);
        got = frameBytes;
    }
    got += ReadData(buffer + got, bytes - got);
    if (got < bytes) {
        if (loop_) {
            Rewind();
            got += ReadData(buffer + got, bytes - got);
            if (got < bytes) {
                active = false;
                held_ = false;
                fraction_ = 0;
                return;
            }
        } else {
            // The rest of the last block is silence (128 for 8-bit data, not 0).
            memset(buffer + got, eightBit_ ? 128 : 0, bytes - got);
            active = false;
        }
    }
    for (int i = 0; i < count; ++i) {
        const uint8_t* at = buffer + ((fraction_ + static_cast<uint64_t>(i) * step) >> 8) * frameBytes;
        int32_t value;
        if (eightBit_) {
            value = (static_cast<int32_t>(at[0]) - 128) * 256;
        } else {
            int16_t sample;
            memcpy(&sample, at, 2);
            value = sample;
        }
        AddScaled(out[i], value);
    }
    if (active && frames > consumed) {
        memcpy(heldFrame_, buffer + consumed * frameBytes, frameBytes);
        held_ = true;
    } else {
        held_ = false;
    }
    fraction_ = active ? static_cast<uint32_t>(total & 255) : 0;
}

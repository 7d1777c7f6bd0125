#include "engine/sound/ogg_music_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/memory.h"
#include "engine/core/stream.h"
#include "engine/sound/ogg_callbacks.h"
#include "engine/sound/ogg_pages.h"

OggMusicStream::~OggMusicStream()
{
    Close();
}

bool OggMusicStream::Open(const char* path)
{
    Close();
    if (!OpenFile(path) || VetOggPages(file)) {
        Close();
        return false;
    }
    decoder_ = new (std::nothrow) OggVorbis_File;
    if (!decoder_) {
        Close();
        return false;
    }
    memset(decoder_, 0, sizeof *decoder_);
    if (ov_open_callbacks(file, decoder_, nullptr, 0, EngineStreamCallbacks()) != 0) {
        Close();
        return false;
    }
    vorbis_info* info = nullptr;
    bool usable = ov_pcm_total(decoder_, -1) > 0 && ov_pcm_seek(decoder_, 0) == 0 &&
                  (info = ov_info(decoder_, -1)) != nullptr;
    // One or two channels at a rate that gives a step of at least 1 and a buffer of sane size.
    if (!usable || (info->channels != 1 && info->channels != 2) || info->rate < 87 || info->rate > 192000) {
        Close();
        return false;
    }
    SetFormat(static_cast<int>(info->rate), info->channels, path);
    pcmBytes_ = static_cast<uint32_t>(step_ * channels_ * 8000 / 256);
    pcm_ = static_cast<uint8_t*>(Alloc(pcmBytes_));
    if (!pcm_) {
        Close();
        return false;
    }
    readOffset_ = 0;
    available_ = 0;
    return true;
}

void OggMusicStream::Close()
{
    readOffset_ = 0;
    available_ = 0;
    // The decoder reads through the file, so it goes first.
    if (decoder_) {
        ov_clear(decoder_);
        delete decoder_;
        decoder_ = nullptr;
    }
    CloseFile();
    Free(pcm_);
    pcm_ = nullptr;
    pcmBytes_ = 0;
}

void OggMusicStream::Play(bool loop)
{
    if (!file || !decoder_ || !pcm_)
        return;
    active = true;
    loop_ = loop;
}

void OggMusicStream::Stop()
{
    active = false;
    // Bytes already buffered stay and are heard first on the next start.
    if (decoder_)
        ov_pcm_seek(decoder_, 0);
}

// Adds what the buffer holds; returns the output samples produced.
int OggMusicStream::Resample(int16_t* out, int count)
{
    const uint32_t frameBytes = 2u * static_cast<uint32_t>(channels_);
    const uint8_t* base = pcm_ + readOffset_;
    uint64_t p = 0;
    int i = 0;
    for (; i < count; ++i) {
        uint64_t frame = p >> 8;
        if ((frame + 1) * frameBytes > available_)
            break;
        // The first value of each frame: the left channel of a stereo file.
        int16_t value;
        memcpy(&value, base + frame * frameBytes, 2);
        AddScaled(out[i], value);
        p += static_cast<uint64_t>(step_);
    }
    uint32_t consumed = static_cast<uint32_t>(std::min<uint64_t>((p >> 8) * frameBytes, available_));
    readOffset_ += consumed;
    available_ -= consumed;
    return i;
}

void OggMusicStream::Refill(int count)
{
    readOffset_ = 0;
    available_ = 0;
    uint64_t needed = static_cast<uint64_t>(channels_) * static_cast<uint64_t>(step_) * static_cast<uint64_t>(count) * 4 / 256;
    needed = std::min<uint64_t>(needed, pcmBytes_);
    int errors = 0;
    bool rewound = false;
    int bitstream = 0;
    while (available_ < needed) {
        uint32_t room = pcmBytes_ - available_;
        int request = static_cast<int>(std::min<uint32_t>(room, 4096));
        long got = ov_read(decoder_, reinterpret_cast<char*>(pcm_ + available_), request, &bitstream);
        if (got > 0) {
            available_ += static_cast<uint32_t>(got);
            errors = 0;
            rewound = false;
        } else if (got < 0) {
            if (++errors >= kMaxDecodeErrors) {
                active = false;
                ov_pcm_seek(decoder_, 0);
                break;
            }
        } else if (loop_ && !rewound) {
            ov_pcm_seek(decoder_, 0);
            rewound = true;
        } else {
            // The end without looping, or a rewound stream that gives nothing.
            active = false;
            ov_pcm_seek(decoder_, 0);
            break;
        }
    }
}

void OggMusicStream::Mix(int16_t* out, int count)
{
    if (!file || !decoder_ || !pcm_ || !active || count <= 0)
        return;
    if (available_ > 0) {
        int produced = Resample(out, count);
        // A piece smaller than a frame cannot be played and is dropped.
        if (available_ >= 2u * static_cast<uint32_t>(channels_))
            return;
        out += produced;
        count -= produced;
        if (count <= 0)
            return;
    }
    Refill(count);
    Resample(out, count);
}

#include "engine/sound/ogg_sample.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/sound/music_stream.h"
#include "engine/sound/ogg_callbacks.h"
#include "engine/sound/ogg_pages.h"
#include "engine/sound/riff_bytes.h"
#include "engine/sound/wav_sample.h"

namespace {

DecodedOggSample Refused(const char* reason)
{
    return {nullptr, 0, Outcome::Refused(reason)};
}

}  // namespace

DecodedOggSample DecodeOggSample(Stream* stream)
{
    constexpr const char* kUndecodable = "damaged: not a mono Ogg Vorbis sound that can be decoded";
    if (!stream)
        return Refused("no file to decode");
    if (const char* disorder = VetOggPages(stream))
        return Refused(disorder);
    OggVorbis_File decoder;
    memset(&decoder, 0, sizeof decoder);
    if (ov_open_callbacks(stream, &decoder, nullptr, 0, EngineStreamCallbacks()) != 0) {
        ov_clear(&decoder);
        return Refused(kUndecodable);
    }
    ogg_int64_t total = ov_pcm_total(&decoder, -1);
    vorbis_info* info = nullptr;
    // A file of more channels would decode interleaved into what is read as one channel.
    bool usable = total > 0 && total < kMaxSampleLength && ov_pcm_seek(&decoder, 0) == 0 &&
                  (info = ov_info(&decoder, -1)) != nullptr && info->channels == 1 && info->rate > 0;
    uint8_t* image = nullptr;
    uint64_t capacity = 0;
    uint64_t decoded = 0;
    uint32_t rate = 0;
    if (usable) {
        rate = static_cast<uint32_t>(info->rate);
        capacity = static_cast<uint64_t>(total) * 2;
        image = static_cast<uint8_t*>(Alloc(static_cast<size_t>(capacity) + 44));
    }
    if (image) {
        char chunk[4096];
        int errors = 0;
        int bitstream = 0;
        while (decoded < capacity) {
            uint64_t room = capacity - decoded;
            int request = room < sizeof chunk ? static_cast<int>(room) : static_cast<int>(sizeof chunk);
            long got = ov_read(&decoder, chunk, request, &bitstream);
            if (got == 0)
                break;
            if (got < 0) {
                // A hole or a bad packet is skipped; a decoder that only fails gives up.
                if (++errors >= kMaxDecodeErrors)
                    break;
                continue;
            }
            errors = 0;
            memcpy(image + 44 + decoded, chunk, static_cast<size_t>(got));
            decoded += static_cast<uint64_t>(got);
        }
    }
    ov_clear(&decoder);
    if (!image)
        return Refused(usable ? "no memory left" : kUndecodable);
    if (decoded != capacity) {
        Free(image);
        return Refused(kUndecodable);
    }
    memset(image, 0, 12);
    memcpy(image + 12, "fmt ", 4);
    WriteLe32(image + 16, 16);
    WriteLe16(image + 20, 1);
    WriteLe16(image + 22, 1);
    WriteLe32(image + 24, rate);
    WriteLe32(image + 28, 0);
    WriteLe16(image + 32, 0);
    WriteLe16(image + 34, 16);
    memcpy(image + 36, "data", 4);
    WriteLe32(image + 40, static_cast<uint32_t>(capacity));
    return {image, static_cast<uint32_t>(capacity + 44), Outcome()};
}

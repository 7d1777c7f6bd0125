// Ogg Vorbis files decoded whole into a sample, and the same bytes played as an Ogg stream.
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/sound/ogg_music_stream.h"
#include "engine/sound/ogg_sample.h"
#include "engine/sound/wav_sample.h"
#include "fuzz_support.h"

// The decoder library itself leaks a few bytes on some broken headers; that is not ours to mend.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libvorbisidec.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    if (size == 0 || size > (1 << 20))
        return 0;
    PackMemoryFile file;
    void* copy = Alloc(size);
    memcpy(copy, data, size);
    if (!file.SetBuffer(copy, static_cast<int32_t>(size))) {
        Free(copy);
        return 0;
    }
    DecodedOggSample decoded = DecodeOggSample(&file);
    if (decoded.why.ok()) {
        WavSample sample;
        (void)sample.LoadFromMemory(decoded.image, decoded.bytes);
        Free(decoded.image);
    }

    FuzzWriteFile("fuzz.ogg", data, size);
    OggMusicStream stream(nullptr);
    if (stream.Open(FuzzEnginePath("fuzz.ogg").c_str())) {
        stream.Play(size & 1);
        int16_t out[496] = {};
        for (int i = 0; i < 6; ++i)
            stream.Mix(out, 496);
    }
    return 0;
}

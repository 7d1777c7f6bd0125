// WAV samples from any image (PCM and MS-ADPCM), played through the mixer for a few buffers, and
// the same bytes opened as a WAV stream.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/sound/mixer.h"
#include "engine/sound/wav_music_stream.h"
#include "engine/sound/wav_sample.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    // An exact-size copy, so reading one byte past the image is caught.
    std::vector<uint8_t> image(data, data + size);
    static Mixer* mixer = [] {
        auto* m = new Mixer();
        m->Open(22050, 16, 0, 1, 8);
        return m;
    }();
    static std::vector<uint8_t> buffer(mixer->GetBufferBytes());
    WavSample sample;
    if (sample.LoadFromMemory(image.data(), image.size()).ok()) {
        sample.SetLoop(size & 1);
        if (mixer->PlaySample(&sample) >= 0) {
            mixer->Lock();
            for (int i = 0; i < 4; ++i)
                mixer->Refill(buffer.data());
            mixer->Unlock();
        }
        mixer->StopAll();
    }
    WavMusicStream::FreeScratch();

    FuzzWriteFile("fuzz.wav", data, size);
    WavMusicStream stream(nullptr);
    if (stream.Open(FuzzEnginePath("fuzz.wav").c_str())) {
        stream.Play(size & 2);
        int16_t out[333] = {};
        for (int i = 0; i < 4; ++i)
            stream.Mix(out, 333);
    }
    return 0;
}

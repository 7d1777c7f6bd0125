// Loads a tracker module and plays two seconds of it mono in odd-sized buffers, at the lowest
// rate the player takes: the rows and effects of those seconds cost the same at any rate, the
// mixing far less.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/sound/module_music.h"
#include "engine/sound/module_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ModuleMusic music;
    if (!music.Init())
        return 0;
    music.SetSampleRate(8000);
    if (!music.Load(data, size))
        return 0;
    music.SetVolume(255);
    music.Play();
    music.GetPlayer()->loop = true;
    std::vector<int16_t> buffer(1001);
    for (int i = 0; i < 8000 * 2 / 1001 && music.IsPlaying(); ++i)
        music.Render(buffer.data(), static_cast<int>(buffer.size()));
    return 0;
}

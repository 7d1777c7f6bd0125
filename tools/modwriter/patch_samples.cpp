// Samples rendered by the synthesiser: the module's instruments come from the same patches as
// the game's sound effects.
#include <fstream>

#include "description.h"
#include "synth/render.h"

bool RenderPatches(const std::string& folder, const std::string& file, SongDesc* song, std::string* error)
{
    for (auto& [number, sample] : song->samples) {
        if (sample.patch.empty())
            continue;
        std::string path = folder + "/" + sample.patch;
        if (!std::ifstream(path)) {
            *error = file + ":" + std::to_string(sample.line) + ": cannot read patch " + sample.patch;
            return false;
        }
        synth::Patch patch;
        if (!synth::LoadPatch(path, &patch, error))
            return false;
        synth::Rendered sound = synth::Render(patch);
        sample.rendered = synth::ToPcm16(sound.samples);
        if (sample.bits == 8)
            for (int& v : sample.rendered)
                v = v >> 8;
        sample.length = static_cast<int>(sample.rendered.size());
        if (sound.loopStart >= 0 && sample.loop == "none") {
            sample.loop = "forward";
            sample.loopStart = sound.loopStart;
            sample.loopEnd = sample.length;
        }
    }
    return true;
}

// sfxrender [--wav] <output folder> <patch>...: renders each patch (name.patch) into
// <output folder>/name.ogg, or name.wav with --wav for listening.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ogg_encode.h"
#include "synth/render.h"

namespace {

void PutLe(std::vector<uint8_t>* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> WavImage(const std::vector<float>& samples)
{
    std::vector<int> pcm = synth::ToPcm16(samples);
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(&out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(&out, 16, 4);
    PutLe(&out, 1, 2);
    PutLe(&out, 1, 2);
    PutLe(&out, synth::kRate, 4);
    PutLe(&out, synth::kRate * 2, 4);
    PutLe(&out, 2, 2);
    PutLe(&out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(&out, dataBytes, 4);
    for (int v : pcm)
        PutLe(&out, static_cast<uint32_t>(v), 2);
    return out;
}

std::string Stem(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    bool wav = argc > 1 && std::string(argv[1]) == "--wav";
    if (wav)
        ++first;
    if (argc - first < 2) {
        fprintf(stderr, "usage: sfxrender [--wav] <output folder> <patch>...\n");
        return 2;
    }
    std::string folder = argv[first];
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    for (int i = first + 1; i < argc; ++i) {
        synth::Patch patch;
        std::string error;
        if (!synth::LoadPatch(argv[i], &patch, &error)) {
            fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        synth::Rendered sound = synth::Render(patch);
        std::vector<uint8_t> bytes;
        if (wav) {
            bytes = WavImage(sound.samples);
        } else if (!EncodeOggVorbis(sound.samples, synth::kRate, &bytes, &error)) {
            fprintf(stderr, "%s:0: %s\n", argv[i], error.c_str());
            return 1;
        }
        std::string path = folder + "/" + Stem(argv[i]) + (wav ? ".wav" : ".ogg");
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            fprintf(stderr, "sfxrender: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

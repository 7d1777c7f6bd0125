// modwriter <description> <output>: writes the tracker module a text description names.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "description.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: modwriter <description> <output>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "modwriter: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    SongDesc song;
    std::string error;
    if (!ParseDescription(text.str(), &song, &error)) {
        fprintf(stderr, "%s:%s\n", argv[1], error.c_str());
        return 1;
    }
    std::string source = argv[1];
    size_t slash = source.find_last_of('/');
    if (!RenderPatches(slash == std::string::npos ? "." : source.substr(0, slash), source, &song, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    bool ok = song.format == "xm"    ? WriteXm(song, &bytes, &error)
              : song.format == "s3m" ? WriteS3m(song, &bytes, &error)
                                     : WriteMod(song, &bytes, &error);
    if (!ok) {
        fprintf(stderr, "%s:0: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(argv[2]).parent_path(), ignored);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        fprintf(stderr, "modwriter: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// Makes the fonts and the style sheets of all six resolutions from one style source:
//   styletool <source> <stage folder> <fontmaker> <face folder> <stamp> <depfile>
// Each font is drawn by fontmaker into <stage>/<image folder>/fonts/<name>.jpg (.fdb, _eff.jpg);
// each UI folder gets the same styles.txt. The stamp lists those files; the depfile gives it them
// and every file read.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/common/build_outputs.h"
#include "tools/common/resolutions.h"
#include "tools/common/text_file.h"
#include "tools/styletool/style_source.h"

namespace {

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: styletool <source> <stage> <fontmaker> <face folder> <stamp> <depfile>\n");
        return 2;
    }
    std::string sourcePath = argv[1], stage = argv[2], fontmaker = argv[3], faces = argv[4];
    styletool::StyleSheetSource source;
    if (!styletool::ReadStyleSource(sourcePath, source))
        return 1;
    std::string sheet = styletool::WriteStyleSheet(source);
    std::vector<std::string> read = {sourcePath}, written;
    for (const styletool::FontSource& font : source.fonts) {
        std::string face = faces + "/" + font.face;
        if (!std::filesystem::exists(face)) {
            std::fprintf(stderr, "%s:%d: no face %s\n", sourcePath.c_str(), font.line, face.c_str());
            return 1;
        }
        read.push_back(face);
    }
    for (const DataResolution& r : kDataResolutions) {
        std::filesystem::create_directories(stage + "/" + r.imageFolder + "/fonts");
        std::filesystem::create_directories(stage + "/" + r.uiFolder);
        for (const styletool::FontSource& font : source.fonts) {
            std::string base = stage + "/" + r.imageFolder + "/fonts/" + font.name;
            std::string command = Quote(fontmaker) + " " + Quote(faces + "/" + font.face) + " " +
                                  std::to_string(font.sizes.at(r.name)) + " " + Quote(base + ".jpg");
            if (!font.textureTop.empty())
                command += " --texture " + font.textureTop + " " + font.textureBottom;
            if (font.sharedCode >= 0 && r.height < font.sharedBelow)
                command += " --metrics-of " + std::to_string(font.sharedCode) + " " + std::to_string(font.sharedSource);
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "%s:%d: fontmaker failed for %s at %s\n", sourcePath.c_str(), font.line,
                             font.name.c_str(), r.name);
                return 1;
            }
            written.insert(written.end(), {base + ".jpg", base + ".fdb"});
            if (!font.textureTop.empty())
                written.push_back(base + "_eff.jpg");
        }
        written.push_back(stage + "/" + r.uiFolder + "/styles.txt");
        if (!text_file::Write(written.back(), sheet)) {
            std::fprintf(stderr, "styletool: cannot write styles.txt in %s\n", r.uiFolder);
            return 1;
        }
    }
    std::string error;
    if (!build_outputs::WriteStampAndDepfile(argv[5], argv[6], stage, read, written, error)) {
        std::fprintf(stderr, "styletool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

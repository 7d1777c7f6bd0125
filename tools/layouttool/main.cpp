// Writes the layout script of all six resolutions from one source:
//   layouttool <source> <stage folder> <stamp> <depfile> [<file name>]
// The scripts are named keloui.txt unless another name is given. The stamp lists them; the depfile
// gives it them and every source file read.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/common/build_outputs.h"
#include "tools/common/text_file.h"
#include "tools/layouttool/layout_source.h"

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: layouttool <source> <stage> <stamp> <depfile> [<file name>]\n");
        return 2;
    }
    std::vector<layouttool::SourceLine> source;
    std::vector<std::string> files;
    if (!layouttool::ReadLayoutSource(argv[1], source, files))
        return 1;
    std::vector<std::string> written;
    for (const DataResolution& r : kDataResolutions) {
        std::string text;
        if (!layouttool::WriteLayout(source, r, text))
            return 1;
        std::string folder = std::string(argv[2]) + "/" + r.uiFolder;
        std::filesystem::create_directories(folder);
        std::string name = argc == 6 ? argv[5] : "keloui.txt";
        written.push_back(folder + "/" + name);
        if (!text_file::Write(written.back(), text)) {
            std::fprintf(stderr, "layouttool: cannot write %s/%s\n", folder.c_str(), name.c_str());
            return 1;
        }
    }
    std::string error;
    if (!build_outputs::WriteStampAndDepfile(argv[3], argv[4], argv[2], files, written, error)) {
        std::fprintf(stderr, "layouttool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

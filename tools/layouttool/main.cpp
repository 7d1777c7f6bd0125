// Writes the layout script of all six resolutions from one source:
//   layouttool <source> <stage folder> <stamp> <depfile> [<file name>]
// The scripts are named keloui.txt unless another name is given.
#include <cstdio>
#include <filesystem>
#include <string>

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
    for (const DataResolution& r : kDataResolutions) {
        std::string text;
        if (!layouttool::WriteLayout(source, r, text))
            return 1;
        std::string folder = std::string(argv[2]) + "/" + r.uiFolder;
        std::filesystem::create_directories(folder);
        std::string name = argc == 6 ? argv[5] : "keloui.txt";
        if (!text_file::Write(folder + "/" + name, text)) {
            std::fprintf(stderr, "layouttool: cannot write %s/%s\n", folder.c_str(), name.c_str());
            return 1;
        }
    }
    std::string depends;
    for (const std::string& file : files)
        depends += " " + file;
    if (!text_file::Write(argv[4], std::string(argv[3]) + ":" + depends + "\n") || !text_file::Write(argv[3], "")) {
        std::fprintf(stderr, "layouttool: cannot write the stamp\n");
        return 1;
    }
    return 0;
}

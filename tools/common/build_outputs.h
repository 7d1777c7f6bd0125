#pragma once
// What a data tool leaves for the build besides its data: a stamp listing the files it wrote below
// the stage, and a depfile giving the stamp every file it read and every file it wrote. The build
// runs the tool again when any of those is newer than the stamp or gone, so a staged file deleted
// or edited by hand is made again.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace build_outputs {

// A path as a depfile writes it: blanks, '#' and backslashes escaped.
inline std::string Escaped(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// Makes the file's folder first: the stamps' folder may have gone with a cleaned build.
inline bool WriteText(const std::string& path, const std::string& text)
{
    std::error_code ignored;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
    std::ofstream file(path, std::ios::binary);
    file << text;
    return bool(file.flush());
}

// What an earlier run wrote and this one did not (a picture taken out of a list) is removed so the
// packs do not keep it. Returns the stamp's new text, the written files below the stage.
inline std::string SweepAndList(const std::string& stamp, const std::string& stage, std::vector<std::string> written)
{
    for (std::string& path : written)
        path = path.substr(stage.size() + 1);
    std::sort(written.begin(), written.end());
    std::ifstream old(stamp);
    std::string line;
    while (std::getline(old, line)) {
        if (line.empty() || line.find("..") != std::string::npos ||
            std::binary_search(written.begin(), written.end(), line))
            continue;
        std::error_code ignored;
        std::filesystem::remove(stage + "/" + line, ignored);
    }
    std::string text;
    for (const std::string& path : written)
        text += path + "\n";
    return text;
}

// Ends a run: sweeps and writes the stamp, then the depfile naming what was read and written (host
// paths). An empty stamp or depfile was not asked for; the depfile's target is the stamp, or without
// one the first file written. Returns false with the file it could not write in `error`.
inline bool WriteStampAndDepfile(const std::string& stamp, const std::string& depfile, const std::string& stage,
                                 const std::vector<std::string>& read, const std::vector<std::string>& written,
                                 std::string& error)
{
    if (!stamp.empty() && !WriteText(stamp, SweepAndList(stamp, stage, written))) {
        error = "cannot write " + stamp;
        return false;
    }
    if (depfile.empty())
        return true;
    std::string deps = Escaped(stamp.empty() && !written.empty() ? written.front() : stamp) + ":";
    for (const std::vector<std::string>* files : {&read, &written})
        for (const std::string& file : *files)
            deps += " \\\n  " + Escaped(file);
    if (!WriteText(depfile, deps + "\n")) {
        error = "cannot write " + depfile;
        return false;
    }
    return true;
}

}  // namespace build_outputs

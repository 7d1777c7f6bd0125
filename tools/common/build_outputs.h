#pragma once
// What a data tool leaves for the build besides its data: a depfile naming the sources it read and
// a stamp listing the files it wrote below the stage.
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

inline bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return bool(file.flush());
}

// The stamp lists the files the last run wrote, below the stage; what an earlier run wrote and this
// one did not (a picture taken out of a list) is removed so the packs do not keep it. Returns the
// stamp's new text.
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

}  // namespace build_outputs

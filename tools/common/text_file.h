#pragma once
// Whole text files for the data tools: read as lines (CR LF or LF), written in one piece.
#include <cstdio>
#include <string>
#include <vector>

namespace text_file {

inline bool ReadLines(const std::string& path, std::vector<std::string>& lines)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string all;
    char chunk[8192];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        all.append(chunk, n);
    std::fclose(f);
    lines.clear();
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

inline std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return std::string();
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

inline bool Write(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace text_file

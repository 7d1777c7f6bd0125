#pragma once
// Whole files on the host for the fixtures of tests and benchmarks.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline bool WriteHostFile(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

inline bool WriteHostFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return WriteHostFile(path, bytes.data(), bytes.size());
}

// Empty when the file cannot be read.
inline std::vector<uint8_t> ReadHostFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

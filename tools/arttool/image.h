#pragma once
// Unpremultiplied 8-bit RGBA pictures and the files the engine's loaders read: PNG (8 bits per
// channel, not interlaced) or a JPEG with a grey "_a.jpg" alpha plane.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/arttool/art_list.h"

namespace art {

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 0) {}
    uint8_t* At(int x, int y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    Image Crop(int x, int y, int w, int h) const;
    void Paste(const Image& from, int x, int y);
    bool Opaque() const;
};

// Writes `base` (a host path without extension) in the format, removing files of the other format
// under the same name so a loader never finds two. Returns false with a message on failure.
bool WriteImage(const std::string& base, Format format, const Image& image, std::string& error);

}  // namespace art

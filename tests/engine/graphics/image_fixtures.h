#pragma once
// Writes the JPEG and PNG files the image tests read, through libjpeg and libpng.
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <png.h>

#include "tests/support/host_file.h"
#include "tools/common/jpeg_file.h"

namespace fixtures {

// samples: width * height * components bytes, rows top to bottom.
inline bool WriteJpeg(const std::string& path, int width, int height, int components,
                      const std::vector<unsigned char>& samples, int quality = 100)
{
    return jpeg_file::Write(path, width, height, components, samples, quality);
}

// samples: packed rows as libpng takes them for the colour type and depth (16-bit big-endian).
inline bool WritePng(const std::string& path, int width, int height, int colourType, int depth,
                     const std::vector<unsigned char>& samples, bool interlaced = false,
                     const std::vector<png_color>& palette = {}, const std::vector<unsigned char>& transparency = {})
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!transparency.empty())
        png_set_tRNS(png, info, transparency.data(), int(transparency.size()), nullptr);
    png_write_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y)
            png_write_row(png, &samples[size_t(y) * rowBytes]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

inline std::vector<unsigned char> Fill(int width, int height, int components,
                                       const std::function<void(int x, int y, unsigned char* px)>& f)
{
    std::vector<unsigned char> samples(size_t(width) * size_t(height) * size_t(components));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f(x, y, &samples[(size_t(y) * size_t(width) + size_t(x)) * size_t(components)]);
    return samples;
}

inline std::string ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadHostFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace fixtures

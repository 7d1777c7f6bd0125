#include "tools/arttool/image.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <png.h>

#include "tools/common/jpeg_file.h"

namespace art {

namespace {

constexpr int kColourQuality = 92;
constexpr int kAlphaQuality = 95;

bool WritePng(const std::string& path, const Image& image)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(file);
        return false;
    }
    bool opaque = image.Opaque();
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* from = image.At(0, y);
        if (opaque) {
            for (int x = 0; x < image.width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[size_t(x) * 3 + size_t(c)] = from[x * 4 + c];
            png_write_row(png, row.data());
        } else {
            png_write_row(png, const_cast<png_bytep>(from));
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// Colour under fully clear pixels is never seen, but JPEG blocks smear it into the visible edge:
// it takes the nearest visible colour along the row so edges keep their own hue.
std::vector<uint8_t> BledColour(const Image& image)
{
    std::vector<uint8_t> rgb(size_t(image.width) * size_t(image.height) * 3);
    for (int y = 0; y < image.height; ++y) {
        int last = -1;
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            int source = x;
            if (p[3] == 0) {
                int next = x;
                while (next < image.width && image.At(next, y)[3] == 0)
                    ++next;
                source = last >= 0 && (next >= image.width || x - last <= next - x) ? last
                         : next < image.width                                     ? next
                                                                                  : -1;
            } else {
                last = x;
            }
            uint8_t* out = &rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = source >= 0 ? image.At(source, y)[c] : 0;
        }
    }
    return rgb;
}

bool WriteAlphaPlane(const std::string& base, const Image& image, std::vector<std::string>& written)
{
    written.push_back(base + "_a.jpg");
    std::vector<uint8_t> alpha(size_t(image.width) * size_t(image.height));
    for (size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = image.rgba[i * 4 + 3];
    return jpeg_file::Write(base + "_a.jpg", image.width, image.height, 1, alpha, kAlphaQuality);
}

bool WriteJpegPair(const std::string& base, const Image& image, std::vector<std::string>& written)
{
    if (!jpeg_file::Write(base + ".jpg", image.width, image.height, 3, BledColour(image), kColourQuality))
        return false;
    written.push_back(base + ".jpg");
    std::error_code ignored;
    if (image.Opaque()) {
        std::filesystem::remove(base + "_a.jpg", ignored);
        return true;
    }
    return WriteAlphaPlane(base, image, written);
}

}  // namespace

Image Image::Crop(int x, int y, int w, int h) const
{
    Image out(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            int sx = x + col, sy = y + row;
            if (sx >= 0 && sy >= 0 && sx < width && sy < height)
                std::copy_n(At(sx, sy), 4, out.At(col, row));
        }
    return out;
}

void Image::Paste(const Image& from, int x, int y)
{
    for (int row = 0; row < from.height; ++row)
        for (int col = 0; col < from.width; ++col)
            if (x + col >= 0 && y + row >= 0 && x + col < width && y + row < height)
                std::copy_n(from.At(col, row), 4, At(x + col, y + row));
}

bool Image::Opaque() const
{
    for (size_t i = 3; i < rgba.size(); i += 4)
        if (rgba[i] != 255)
            return false;
    return true;
}

bool WriteImage(const std::string& base, Format format, const Image& image, std::vector<std::string>& written,
                std::string& error)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(base).parent_path(), ignored);
    bool done;
    if (format == Format::kPng) {
        std::filesystem::remove(base + ".jpg", ignored);
        std::filesystem::remove(base + "_a.jpg", ignored);
        done = WritePng(base + ".png", image);
        if (done)
            written.push_back(base + ".png");
    } else if (format == Format::kMask) {
        std::filesystem::remove(base + ".png", ignored);
        std::filesystem::remove(base + ".jpg", ignored);
        done = WriteAlphaPlane(base, image, written);
    } else {
        std::filesystem::remove(base + ".png", ignored);
        done = WriteJpegPair(base, image, written);
    }
    if (!done)
        error = "cannot write " + base;
    return done;
}

}  // namespace art

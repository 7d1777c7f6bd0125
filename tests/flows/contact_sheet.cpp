#include "contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

namespace {

// No object with a destructor lives in this frame: libpng's error exit jumps back into it.
bool WriteRows(FILE* file, int width, int height, png_bytep* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        return false;
    std::vector<uint8_t> copy(rgb);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = copy.data() + static_cast<size_t>(y) * width * 3;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = WriteRows(file, width, height, rows.data());
    bool closed = fclose(file) == 0;
    if (!written || !closed)
        remove(path.c_str());
    return written && closed;
}

void ContactSheet::Add(const uint16_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0)
        return;
    int factor = (width + kThumbWidth - 1) / kThumbWidth;
    Thumb thumb;
    thumb.width = width / factor;
    thumb.height = height / factor;
    thumb.rgb.resize(static_cast<size_t>(thumb.width) * thumb.height * 3);
    // Each thumbnail pixel is the mean of its factor x factor block.
    for (int y = 0; y < thumb.height; ++y)
        for (int x = 0; x < thumb.width; ++x) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    unsigned p = pixels[static_cast<size_t>(y * factor + dy) * width + x * factor + dx];
                    unsigned r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
                    sum[0] += r << 3 | r >> 2;
                    sum[1] += g << 2 | g >> 4;
                    sum[2] += b << 3 | b >> 2;
                }
            uint8_t* out = &thumb.rgb[(static_cast<size_t>(y) * thumb.width + x) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>(sum[c] / (factor * factor));
        }
    thumbs_.push_back(std::move(thumb));
}

std::vector<uint8_t> ContactSheet::Compose(int* width, int* height) const
{
    int cellW = 0, cellH = 0;
    for (const Thumb& t : thumbs_) {
        cellW = std::max(cellW, t.width);
        cellH = std::max(cellH, t.height);
    }
    int count = Count();
    int columns = std::min(count, kColumns);
    int rows = columns > 0 ? (count + columns - 1) / columns : 0;
    *width = columns * (cellW + kGap) + kGap;
    *height = rows * (cellH + kGap) + kGap;
    std::vector<uint8_t> sheet(static_cast<size_t>(*width) * *height * 3, 48);
    for (int i = 0; i < count; ++i) {
        const Thumb& t = thumbs_[static_cast<size_t>(i)];
        int left = kGap + (i % columns) * (cellW + kGap);
        int top = kGap + (i / columns) * (cellH + kGap);
        for (int y = 0; y < t.height; ++y)
            std::copy_n(&t.rgb[static_cast<size_t>(y) * t.width * 3], t.width * 3,
                        &sheet[(static_cast<size_t>(top + y) * *width + left) * 3]);
    }
    return sheet;
}

bool ContactSheet::Write(const std::string& path) const
{
    if (thumbs_.empty())
        return false;
    int width = 0, height = 0;
    std::vector<uint8_t> sheet = Compose(&width, &height);
    return WriteRgbPng(path, width, height, sheet);
}

#include "engine/core/frame_shot.h"

#include <png.h>

#include <csetjmp>
#include <new>
#include <vector>

#include "platform/capture.h"

namespace {

// The encoded picture, gathered in memory so that the file is written in one piece.
struct PngBytes {
    std::vector<unsigned char> bytes;
    bool full = false;  // memory ran out: the picture is incomplete
};

void AppendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<PngBytes*>(png_get_io_ptr(png));
    if (out->full)
        return;
    try {
        out->bytes.insert(out->bytes.end(), data, data + size);
    } catch (const std::bad_alloc&) {
        out->full = true;
    }
}

void FlushNothing(png_structp) {}

// No object with a destructor lives in this frame: libpng's error exit jumps back into it.
bool EncodeRows(PngBytes* out, int width, int height, png_bytep* rows)
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
    png_set_write_fn(png, out, AppendBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return !out->full;
}

}  // namespace

Outcome WriteRgbPng(const char* path, int width, int height, const unsigned char* rgb)
{
    if (!path || !rgb || width <= 0 || height <= 0)
        return Outcome::Refused("there is no picture");
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgb) + static_cast<size_t>(y) * width * 3;
    PngBytes png;
    if (!EncodeRows(&png, width, height, rows.data()))
        return Outcome::Refused("the picture could not be encoded");
    return WriteRunFile(path, png.bytes.data(), png.bytes.size());
}

Outcome WritePresentedFramePng(const char* path)
{
    PresentedFrame frame;
    if (!path || !GetPresentedFrame(&frame) || frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height))
        return Outcome::Refused("no frame was shown");
    std::vector<png_byte> rgb(frame.pixels.size() * 3);
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        unsigned p = frame.pixels[i];
        unsigned r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
        rgb[i * 3] = static_cast<png_byte>(r << 3 | r >> 2);
        rgb[i * 3 + 1] = static_cast<png_byte>(g << 2 | g >> 4);
        rgb[i * 3 + 2] = static_cast<png_byte>(b << 3 | b >> 2);
    }
    return WriteRgbPng(path, frame.width, frame.height, rgb.data());
}

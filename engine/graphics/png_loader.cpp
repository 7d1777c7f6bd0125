#include <csetjmp>
#include <cstring>
#include <memory>

#include <png.h>

#include "engine/core/load_result.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/image_decode.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"

// libpng reports errors by jumping back to the setjmp in DecodePng. Nothing between it and
// libpng's calls (DecodePng and the read callback) holds a C++ object with a destructor, and the
// locals DecodePng changes after setjmp are volatile.
namespace {

void PngReadFromStream(png_structp png, png_bytep data, png_size_t length)
{
    auto* stream = static_cast<Stream*>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || stream->Read(data, static_cast<int32_t>(length)) != static_cast<int32_t>(length))
        png_error(png, "short read");
}

// The library's messages stay quiet; an error still ends at the jump point.
void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

struct Decoded {
    uint16_t* pixels = nullptr;
    uint8_t* alpha = nullptr;
    int width = 0;
    int height = 0;
    bool translucent = false;
};

// alphaOnly: only the alpha bytes; else pixel words and alpha bytes.
bool DecodePng(Stream* stream, bool alphaOnly, image_decode::Target target, Decoded* out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    uint16_t* volatile pixels = nullptr;
    uint8_t* volatile alpha = nullptr;
    uint8_t* volatile row = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        Free(pixels);
        Free(alpha);
        Free(row);
        return false;
    }
    png_set_read_fn(png, stream, PngReadFromStream);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    // Rows are read one at a time without interlace handling.
    if (interlace != PNG_INTERLACE_NONE || !image_decode::SizeAllowed(width, height)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png);
    png_set_filler(png, 255, PNG_FILLER_AFTER);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    size_t w = width, h = height;
    bool ok = png_get_rowbytes(png, info) == 4 * w;
    if (ok) {
        if (!alphaOnly)
            pixels = static_cast<uint16_t*>(Alloc(w * h * 2));
        alpha = static_cast<uint8_t*>(Alloc(w * h));
        row = static_cast<uint8_t*>(Alloc(4 * w));
        ok = (alphaOnly || pixels) && alpha && row;
    }
    if (!ok) {
        png_destroy_read_struct(&png, &info, nullptr);
        Free(pixels);
        Free(alpha);
        Free(row);
        return false;
    }
    bool translucent = false;
    uint16_t* pixelOut = pixels;
    uint8_t* alphaOut = alpha;
    uint8_t* rowIn = row;
    for (size_t y = 0; y < h; ++y) {
        png_bytep rows[1] = {rowIn};
        png_read_rows(png, rows, nullptr, 1);
        const uint8_t* s = rowIn;
        image_decode::RowPlacement place = image_decode::PlaceRow(target.orientation, y, w, h);
        ptrdiff_t at = place.start;
        if (alphaOnly) {
            for (size_t x = 0; x < w; ++x, s += 4, at += place.step)
                alphaOut[at] = s[3];
        } else {
            for (size_t x = 0; x < w; ++x, s += 4, at += place.step) {
                alphaOut[at] = s[3];
                pixelOut[at] = image_decode::PixelWord(target.format, s[2], s[1], s[0]);
                translucent |= s[3] != 255;
            }
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    Free(row);
    out->pixels = pixels;
    out->alpha = alpha;
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    out->translucent = translucent;
    return true;
}

LoadedValue<Surface*> LoadPngInto(Application* app, const char* path, Surface* target, bool alphaOnly)
{
    std::unique_ptr<PackMemoryFile> file;
    Surface* surface = nullptr;
    LoadResult begun = image_decode::BeginLoad(app, path, target, alphaOnly, &file, &surface);
    if (begun.failed())
        return {nullptr, begun};
    Decoded d;
    bool ok = DecodePng(file.get(), alphaOnly, {surface->GetOrientation(), surface->GetFormat()}, &d);
    LoadResult damaged = ok ? LoadResult() : file->Refused("damaged: not a PNG image that can be read");
    // A plane of another size than its image's pixels is none of theirs.
    LoadResult unfit = alphaOnly ? LoadResult::Missing(file->GetShownName(), "does not fit its image")
                                 : LoadResult::Failed(file->GetShownName(), "too large");
    file.reset();
    if (!ok)
        return image_decode::Fail(surface, target, damaged);
    if (!alphaOnly) {
        if (!surface->AttachPixels(d.pixels, d.width, d.height)) {
            Free(d.pixels);
            Free(d.alpha);
            return image_decode::Fail(surface, target, unfit);
        }
        surface->FreeAlpha();
        // An opaque PNG keeps no plane.
        if (!d.translucent) {
            Free(d.alpha);
            d.alpha = nullptr;
        }
    }
    // The old plane goes only once the new one is taken.
    if (d.alpha && !surface->AttachAlpha(d.alpha, d.width, d.height)) {
        Free(d.alpha);
        return image_decode::Fail(surface, target, unfit);
    }
    if (!surface->ReturnTrue())
        return image_decode::Fail(surface, target, LoadResult::Unmade(path, "its surface cannot be made ready"));
    return {surface, LoadResult()};
}

}  // namespace

LoadedValue<Surface*> LoadPng(Application* app, const char* path, Surface* target)
{
    return LoadPngInto(app, path, target, false);
}

LoadedValue<Surface*> LoadPngAlpha(Application* app, const char* path, Surface* target)
{
    return LoadPngInto(app, path, target, true);
}

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/core/load_result.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/image_decode.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"

// libjpeg reports errors by calling error_exit, which here jumps back into DecodeJpeg. Nothing
// between the jump point and libjpeg's calls (DecodeJpeg itself and the source callbacks) holds
// a C++ object with a destructor, and the locals DecodeJpeg changes after setjmp are volatile.
namespace {

constexpr int kSourceBufferSize = 4096;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool cutShort;
};

struct JpegStreamSource {
    jpeg_source_mgr pub;
    Stream* stream;
    JOCTET* buffer;
    bool startOfFile;
};

void JpegErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
    errors->cutShort = info->err->msg_code == JERR_INPUT_EOF;
    longjmp(errors->jump, 1);
}

// Warnings stay quiet: those that files made elsewhere carry and still decode whole with (extra
// bytes before a marker) keep them readable. Running out of data is an error, not a warning.
void JpegOutputMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<JpegStreamSource*>(info->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<JpegStreamSource*>(info->src);
    int32_t n = source->stream->Read(source->buffer, kSourceBufferSize);
    // A whole picture ends at its end-of-image marker, so asking past the data means it was cut
    // short: refused, rather than padded with a made-up end and drawn part grey.
    if (n <= 0)
        ERREXIT(info, source->startOfFile ? JERR_INPUT_EMPTY : JERR_INPUT_EOF);
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(n);
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = info->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        FillInputBuffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

struct Decoded {
    void* buffer = nullptr;
    int width = 0;
    int height = 0;
    bool cutShort = false;  // refused because the data ends before the picture does
};

// alphaOnly: one byte per pixel from the first channel; else 16-bit pixel words.
bool DecodeJpeg(Stream* stream, bool alphaOnly, image_decode::Target target, int requiredWidth, int requiredHeight,
                Decoded* out)
{
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    JOCTET* volatile sourceBuffer = static_cast<JOCTET*>(Alloc(kSourceBufferSize));
    uint8_t* volatile image = nullptr;
    if (!sourceBuffer)
        return false;

    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JpegErrorExit;
    errors.pub.output_message = JpegOutputMessage;
    errors.cutShort = false;
    if (setjmp(errors.jump)) {
        out->cutShort = errors.cutShort;
        jpeg_destroy_decompress(&info);
        Free(image);
        Free(sourceBuffer);
        return false;
    }
    jpeg_CreateDecompress(&info, JPEG_LIB_VERSION, sizeof info);
    auto* source = static_cast<JpegStreamSource*>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(JpegStreamSource)));
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    source->stream = stream;
    source->buffer = sourceBuffer;
    source->startOfFile = true;
    info.src = &source->pub;

    bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && (info.num_components == 1 || info.num_components == 3) &&
              image_decode::SizeAllowed(info.image_width, info.image_height) &&
              (requiredWidth == 0 || (info.image_width == JDIMENSION(requiredWidth) &&
                                      info.image_height == JDIMENSION(requiredHeight)));
    if (ok) {
        info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
        ok = jpeg_start_decompress(&info) && (info.output_components == 1 || info.output_components == 3) &&
             info.output_width == info.image_width && info.output_height == info.image_height;
    }
    size_t w = info.output_width, h = info.output_height;
    int components = info.output_components;
    if (ok) {
        size_t bytes = w * h * (alphaOnly ? 1 : 2);
        image = static_cast<uint8_t*>(Alloc(bytes));
        ok = image != nullptr;
        if (ok)
            memset(image, 0, bytes);
    }
    if (!ok) {
        jpeg_destroy_decompress(&info);
        Free(image);
        Free(sourceBuffer);
        return false;
    }
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(w * size_t(components)), 1);
    auto* words = reinterpret_cast<uint16_t*>(image);
    while (info.output_scanline < info.output_height) {
        size_t y = info.output_scanline;
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            break;
        const JSAMPLE* s = row[0];
        image_decode::RowPlacement place = image_decode::PlaceRow(target.orientation, y, w, h);
        // One loop per kind of row, so the choice is made once a row rather than once a pixel.
        ptrdiff_t at = place.start;
        if (alphaOnly && components == 1 && place.step == 1) {
            memcpy(image + at, s, w);
        } else if (alphaOnly) {
            for (size_t x = 0; x < w; ++x, s += components, at += place.step)
                image[at] = s[0];
        } else if (components == 1) {
            for (size_t x = 0; x < w; ++x, ++s, at += place.step)
                words[at] = image_decode::PixelWord(target.format, s[0], s[0], s[0]);
        } else {
            for (size_t x = 0; x < w; ++x, s += 3, at += place.step)
                words[at] = image_decode::PixelWord(target.format, s[0], s[1], s[2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    Free(sourceBuffer);
    out->buffer = image;
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    return true;
}

LoadedValue<Surface*> LoadJpegInto(Application* app, const char* path, Surface* target, bool alphaOnly,
                                   int requiredWidth, int requiredHeight)
{
    std::unique_ptr<PackMemoryFile> file;
    Surface* surface = nullptr;
    LoadResult begun = image_decode::BeginLoad(app, path, target, alphaOnly, &file, &surface);
    if (begun.failed())
        return {nullptr, begun};
    Decoded decoded;
    bool ok = DecodeJpeg(file.get(), alphaOnly, {surface->GetOrientation(), surface->GetFormat()}, requiredWidth,
                         requiredHeight, &decoded);
    LoadResult damaged = ok                  ? LoadResult()
                         : decoded.cutShort ? file->Refused("damaged: the picture is cut short")
                                            : file->Refused("damaged: not a JPEG image that can be read");
    // A plane of another size than its image's pixels is none of theirs.
    LoadResult unfit = alphaOnly ? LoadResult::Missing(file->GetShownName(), "does not fit its image")
                                 : LoadResult::Failed(file->GetShownName(), "too large");
    file.reset();
    if (!ok)
        return image_decode::Fail(surface, target, damaged);
    bool attached = alphaOnly
                        ? surface->AttachAlpha(static_cast<uint8_t*>(decoded.buffer), decoded.width, decoded.height)
                        : surface->AttachPixels(decoded.buffer, decoded.width, decoded.height);
    if (!attached) {
        Free(decoded.buffer);
        return image_decode::Fail(surface, target, unfit);
    }
    return {surface, LoadResult()};
}

}  // namespace

LoadedValue<Surface*> LoadJpeg(Application* app, const char* path, Surface* target, int requiredWidth,
                               int requiredHeight)
{
    return LoadJpegInto(app, path, target, false, requiredWidth, requiredHeight);
}

LoadedValue<Surface*> LoadJpegAlpha(Application* app, const char* path, Surface* target)
{
    return LoadJpegInto(app, path, target, true, 0, 0);
}

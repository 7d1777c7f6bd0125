#pragma once
// Writes a JPEG through libjpeg with full-resolution chroma, which keeps each cell's colours
// inside its own 8x8 blocks: the tools that draw our art and the tests that make their fixtures
// share it.
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace jpeg_file {

// samples: width * height * components bytes (1 grey, 3 RGB, 4 CMYK), rows top to bottom.
inline bool Write(const std::string& path, int width, int height, int components,
                  const std::vector<unsigned char>& samples, int quality)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[size_t(info.next_scanline) * size_t(width) * size_t(components)]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

}  // namespace jpeg_file

// Rasterises a TrueType font into the three files the engine's bitmap fonts read:
//   <out>.jpg      grey coverage mask, 16 x 14 cells for the codes 32..255
//   <out>.fdb      per-code lead, width and trail in quarter pixels, then the vertical trim
//   <out>_eff.jpg  optional colour texture, a vertical gradient in every cell
// Codes 128..255 are Windows-1252, the 8-bit encoding of the language file.
//
// usage: fontmaker <font.ttf> <pixel size> <out.jpg> [--texture R,G,B R,G,B] [--quality N]
//                  [--metrics-of CODE SOURCE]
// --metrics-of gives CODE the lead, width and trail of SOURCE and draws CODE's glyph centred in
// SOURCE's columns, for a font whose loader copies those metrics over (the small font's 161).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/common/cp1252.h"
#include "tools/common/jpeg_file.h"

namespace {

constexpr int kFirstCode = 32;
constexpr int kCodes = 224;
constexpr int kColumns = 16;
constexpr int kRows = 14;

struct Glyph {
    int left = 0, top = 0;  // bitmap offset from the pen and the baseline, in pixels
    int width = 0, rows = 0;
    int advance = 0;
    std::vector<unsigned char> coverage;
};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

int RoundUp8(int n)
{
    return (n + 7) & ~7;
}

bool ParseRgb(const char* text, Rgb& out)
{
    return std::sscanf(text, "%d,%d,%d", &out.r, &out.g, &out.b) == 3 && out.r >= 0 && out.r <= 255 && out.g >= 0 &&
           out.g <= 255 && out.b >= 0 && out.b <= 255;
}

bool WriteJpeg(const std::string& path, const std::vector<unsigned char>& samples, int width, int height,
               int components, int quality)
{
    bool ok = jpeg_file::Write(path, width, height, components, samples, quality);
    if (!ok)
        std::fprintf(stderr, "fontmaker: cannot write %s\n", path.c_str());
    return ok;
}

void PutInt32(std::vector<unsigned char>& out, int value)
{
    unsigned v = static_cast<unsigned>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

int Usage()
{
    std::fprintf(stderr, "usage: fontmaker <font.ttf> <pixel size> <out.jpg> [--texture R,G,B R,G,B] [--quality N] "
                         "[--metrics-of CODE SOURCE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const char* fontPath = argv[1];
    int pixelSize = std::atoi(argv[2]);
    std::string outPath = argv[3];
    bool textured = false;
    Rgb textureTop, textureBottom;
    int quality = 95;
    int sharedCode = -1, sharedSource = -1;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--texture") && i + 2 < argc) {
            if (!ParseRgb(argv[i + 1], textureTop) || !ParseRgb(argv[i + 2], textureBottom))
                return Usage();
            textured = true;
            i += 2;
        } else if (!std::strcmp(argv[i], "--metrics-of") && i + 2 < argc) {
            sharedCode = std::atoi(argv[i + 1]);
            sharedSource = std::atoi(argv[i + 2]);
            if (sharedCode < kFirstCode || sharedCode > 255 || sharedSource < kFirstCode || sharedSource > 255)
                return Usage();
            i += 2;
        } else if (!std::strcmp(argv[i], "--quality") && i + 1 < argc) {
            quality = std::atoi(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (pixelSize < 4 || pixelSize > 200 || quality < 50 || quality > 100 || outPath.size() < 5)
        return Usage();
    std::string base = outPath.substr(0, outPath.size() - 4);

    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "fontmaker: FreeType failed to start\n");
        return 1;
    }
    if (FT_New_Face(library, fontPath, 0, &face) || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize))) {
        std::fprintf(stderr, "fontmaker: cannot open %s at %d pixels\n", fontPath, pixelSize);
        FT_Done_FreeType(library);
        return 1;
    }

    int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    int descender = static_cast<int>(-((-face->size->metrics.descender + 63) >> 6));
    std::vector<Glyph> glyphs(kCodes);
    int inkTop = ascender, inkBottom = descender;
    for (int i = 0; i < kCodes; ++i) {
        unsigned unicode = cp1252::ToUnicode(kFirstCode + i);
        if (unicode == 0 || FT_Get_Char_Index(face, unicode) == 0)
            continue;
        if (FT_Load_Char(face, unicode, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL))
            continue;
        FT_GlyphSlot slot = face->glyph;
        Glyph& g = glyphs[size_t(i)];
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(slot->bitmap.width);
        g.rows = static_cast<int>(slot->bitmap.rows);
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.coverage.resize(size_t(g.width) * size_t(g.rows));
        for (int y = 0; y < g.rows; ++y)
            std::memcpy(&g.coverage[size_t(y) * size_t(g.width)], slot->bitmap.buffer + y * slot->bitmap.pitch,
                        size_t(g.width));
        if (g.rows > 0) {
            inkTop = std::max(inkTop, g.top);
            inkBottom = std::min(inkBottom, g.top - g.rows);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // The natural line (ascender to descender) is what the engine's line height shows; the cell
    // is taller by an even margin split over top and bottom, which the vertical trim takes back.
    int lineHeight = ascender - descender;
    if (lineHeight & 1) {
        ++lineHeight;
        --descender;
    }
    int margin = std::max({inkTop - ascender + 1, descender - inkBottom + 1, 1});
    int cellHeight = RoundUp8(lineHeight + 2 * margin);
    int halfSpare = (cellHeight - lineHeight) / 2;
    int baseline = ascender + halfSpare;
    int verticalTrim = 2 * (cellHeight - lineHeight);

    // Records: the ink starts at the cell's left edge and the engine draws columns 0..(lead + width) / 4.
    int lead[kCodes], width[kCodes], trail[kCodes];
    int widest = 1;
    for (int i = 0; i < kCodes; ++i) {
        const Glyph& g = glyphs[size_t(i)];
        if (g.left < 0) {
            lead[i] = 4 * g.left;
            width[i] = 4 * (g.width - g.left);
            trail[i] = 4 * (g.advance - g.width);
        } else {
            lead[i] = 4 * g.left;
            width[i] = 4 * g.width;
            trail[i] = 4 * (g.advance - g.left - g.width);
        }
        widest = std::max(widest, (lead[i] + width[i]) / 4 + 1);
    }
    int shift[kCodes] = {};
    if (sharedCode >= 0) {
        int code = sharedCode - kFirstCode, source = sharedSource - kFirstCode;
        int columns = std::max(width[source] / 4, 1);
        shift[code] = std::max((columns - glyphs[size_t(code)].width) / 2, 0);
        glyphs[size_t(code)].width = std::min(glyphs[size_t(code)].width, columns);
        lead[code] = lead[source];
        width[code] = width[source];
        trail[code] = trail[source];
    }
    int cellWidth = RoundUp8(widest + 1);
    int imageWidth = kColumns * cellWidth;
    int imageHeight = kRows * cellHeight;

    std::vector<unsigned char> mask(size_t(imageWidth) * size_t(imageHeight), 0);
    for (int i = 0; i < kCodes; ++i) {
        const Glyph& g = glyphs[size_t(i)];
        int cellX = (i % kColumns) * cellWidth;
        int cellY = (i / kColumns) * cellHeight;
        int top = baseline - g.top;
        for (int y = 0; y < g.rows; ++y) {
            int row = top + y;
            if (row < 0 || row >= cellHeight)
                continue;
            for (int x = 0; x < g.width && x + shift[i] < cellWidth; ++x)
                mask[size_t(cellY + row) * size_t(imageWidth) + size_t(cellX + shift[i] + x)] =
                    g.coverage[size_t(y) * size_t(g.rows ? g.coverage.size() / size_t(g.rows) : 0) + size_t(x)];
        }
    }
    if (!WriteJpeg(outPath, mask, imageWidth, imageHeight, 1, quality))
        return 1;

    std::vector<unsigned char> fdb;
    for (int i = 0; i < kCodes; ++i) {
        PutInt32(fdb, lead[i]);
        PutInt32(fdb, width[i]);
        PutInt32(fdb, trail[i]);
    }
    PutInt32(fdb, verticalTrim);
    std::string fdbPath = base + ".fdb";
    FILE* file = std::fopen(fdbPath.c_str(), "wb");
    if (!file || std::fwrite(fdb.data(), 1, fdb.size(), file) != fdb.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "fontmaker: cannot write %s\n", fdbPath.c_str());
        return 1;
    }

    if (textured) {
        std::vector<unsigned char> texture(size_t(imageWidth) * size_t(imageHeight) * 3);
        for (int y = 0; y < imageHeight; ++y) {
            int row = y % cellHeight;
            int span = cellHeight > 1 ? cellHeight - 1 : 1;
            int c[3] = {textureTop.r + (textureBottom.r - textureTop.r) * row / span,
                        textureTop.g + (textureBottom.g - textureTop.g) * row / span,
                        textureTop.b + (textureBottom.b - textureTop.b) * row / span};
            for (int x = 0; x < imageWidth; ++x)
                for (int k = 0; k < 3; ++k)
                    texture[(size_t(y) * size_t(imageWidth) + size_t(x)) * 3 + size_t(k)] = static_cast<unsigned char>(c[k]);
        }
        if (!WriteJpeg(base + "_eff.jpg", texture, imageWidth, imageHeight, 3, quality))
            return 1;
    }
    return 0;
}

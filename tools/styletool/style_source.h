#pragma once
// The style source: the fonts (a TrueType face and a pixel size per resolution) and the text
// styles, written once for all six UI folders.
//
//   font main                      a font block; the first is the small font, the second the main
//   face DejaVuSans-Bold.ttf       a face from the font folder
//   size 640x480 22 ...            pixel size per resolution, all six given
//   texture 255,240,170 205,140,40 optional colour gradient of every glyph cell
//   metrics_of 161 33 below 480    optional: the glyph takes the other's metrics on screens below
//   add_width 0                    optional, copied to the style sheet
//   end
//   style title                    a style block: font, color and effect, copied as they stand
#include <map>
#include <string>
#include <vector>

namespace styletool {

struct FontSource {
    std::string name, face;
    int line = 0;
    std::map<std::string, int> sizes;  // resolution name -> pixels
    std::string textureTop, textureBottom;
    int sharedCode = -1, sharedSource = -1, sharedBelow = 0;
    std::vector<std::string> sheetLines;  // add_width / add_height, as they stand
};

struct StyleSource {
    std::string name;
    std::vector<std::string> lines;
};

struct StyleSheetSource {
    std::vector<FontSource> fonts;
    std::vector<StyleSource> styles;
};

bool ReadStyleSource(const std::string& path, StyleSheetSource& out);

// The styles.txt text for every UI folder: fonts named by their path below the image folder.
std::string WriteStyleSheet(const StyleSheetSource& source);

}  // namespace styletool

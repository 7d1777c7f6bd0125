#include "tools/styletool/style_source.h"

#include <cstdio>
#include <sstream>

#include "tools/common/resolutions.h"
#include "tools/common/source_error.h"
#include "tools/common/text_file.h"

namespace styletool {

namespace {

constexpr size_t kMaxBlocks = 8;  // the style sheet holds eight fonts and eight styles

bool IsColour(const std::string& text)
{
    int r, g, b;
    char tail;
    return std::sscanf(text.c_str(), "%d,%d,%d%c", &r, &g, &b, &tail) == 3 && r >= 0 && r < 256 && g >= 0 &&
           g < 256 && b >= 0 && b < 256;
}

const char* const kEffects[] = {"none", "shadow", "border", "glow", "white_border", "border2"};

bool IsEffect(const std::string& text)
{
    for (const char* effect : kEffects)
        if (text == effect)
            return true;
    return text.size() == 1 && text[0] >= '0' && text[0] <= '5';
}

bool ParseFontLine(const std::string& path, int lineNo, const std::string& key, std::istringstream& words,
                   FontSource& font)
{
    if (key == "face") {
        words >> font.face;
        return !font.face.empty() || SourceError(path, lineNo, "face needs a TrueType file name");
    }
    if (key == "size") {
        std::string resolution;
        int pixels;
        while (words >> resolution >> pixels) {
            if (!FindDataResolution(resolution))
                return SourceError(path, lineNo, "unknown resolution " + resolution);
            if (pixels < 6 || pixels > 64)
                return SourceError(path, lineNo, "a font size is 6 to 64 pixels");
            font.sizes[resolution] = pixels;
        }
        return true;
    }
    if (key == "texture") {
        words >> font.textureTop >> font.textureBottom;
        return (IsColour(font.textureTop) && IsColour(font.textureBottom)) ||
               SourceError(path, lineNo, "texture needs two colours R,G,B");
    }
    if (key == "metrics_of") {
        std::string below;
        words >> font.sharedCode >> font.sharedSource >> below >> font.sharedBelow;
        return (below == "below" && font.sharedCode >= 32 && font.sharedCode < 256 && font.sharedSource >= 32 &&
                font.sharedSource < 256 && font.sharedBelow > 0) ||
               SourceError(path, lineNo, "metrics_of is: metrics_of <code> <code> below <height>");
    }
    if (key == "add_width" || key == "add_height") {
        int value = 0;
        if (!(words >> value) || value < -128 || value > 127)
            return SourceError(path, lineNo, key + " needs a number from -128 to 127");
        font.sheetLines.push_back(key + " = " + std::to_string(value));
        return true;
    }
    return SourceError(path, lineNo, "unknown font key " + key);
}

bool ParseStyleLine(const std::string& path, int lineNo, const std::string& key, const std::string& rest,
                    const StyleSheetSource& sheet, StyleSource& style)
{
    if (key == "font") {
        for (const FontSource& font : sheet.fonts)
            if (font.name == rest) {
                style.lines.push_back("font = " + rest);
                return true;
            }
        return SourceError(path, lineNo, "no font named " + rest);
    }
    if (key == "color") {
        if (!IsColour(rest))
            return SourceError(path, lineNo, "color needs R,G,B");
        style.lines.push_back("color = " + rest);
        return true;
    }
    if (key == "effect") {
        if (!IsEffect(rest))
            return SourceError(path, lineNo, "unknown effect " + rest);
        style.lines.push_back("effect = " + rest);
        return true;
    }
    return SourceError(path, lineNo, "unknown style key " + key);
}

}  // namespace

bool ReadStyleSource(const std::string& path, StyleSheetSource& out)
{
    std::vector<std::string> lines;
    if (!text_file::ReadLines(path, lines))
        return SourceError(path, 0, "cannot read");
    enum { kTop, kFont, kStyle } state = kTop;
    for (size_t i = 0; i < lines.size(); ++i) {
        int lineNo = static_cast<int>(i) + 1;
        std::string line = text_file::Trim(lines[i]);
        if (line.empty() || line.compare(0, 2, "//") == 0)
            continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        std::string rest = text_file::Trim(line.substr(key.size()));
        if (key == "end") {
            if (state == kTop)
                return SourceError(path, lineNo, "end outside a block");
            if (state == kFont && out.fonts.back().sizes.size() != std::size(kDataResolutions))
                return SourceError(path, out.fonts.back().line, "font " + out.fonts.back().name + " needs a size for all six resolutions");
            if (state == kFont && out.fonts.back().face.empty())
                return SourceError(path, out.fonts.back().line, "font " + out.fonts.back().name + " has no face");
            state = kTop;
            continue;
        }
        if (state == kTop) {
            if ((key != "font" && key != "style") || rest.empty() || rest.find_first_of(" \"") != std::string::npos)
                return SourceError(path, lineNo, "expected font <name> or style <name>");
            if (key == "font") {
                if (out.fonts.size() == kMaxBlocks)
                    return SourceError(path, lineNo, "more than eight fonts");
                out.fonts.push_back({});
                out.fonts.back().name = rest;
                out.fonts.back().line = lineNo;
                state = kFont;
            } else {
                if (out.styles.size() == kMaxBlocks)
                    return SourceError(path, lineNo, "more than eight styles");
                out.styles.push_back({rest, {}});
                state = kStyle;
            }
            continue;
        }
        bool ok = state == kFont ? ParseFontLine(path, lineNo, key, words, out.fonts.back())
                                 : ParseStyleLine(path, lineNo, key, rest, out, out.styles.back());
        if (!ok)
            return false;
    }
    if (state != kTop)
        return SourceError(path, static_cast<int>(lines.size()), "the last block has no end");
    if (out.fonts.size() < 2)
        return SourceError(path, 1, "the style sheet needs two fonts or more: the small, then the main");
    if (out.styles.empty())
        return SourceError(path, 1, "the style sheet needs a style");
    return true;
}

std::string WriteStyleSheet(const StyleSheetSource& source)
{
    std::string text = "// Made by the style tool from one source; fonts lie in the image folder.\r\n";
    for (const FontSource& font : source.fonts) {
        text += "font = " + font.name + "\r\n    file = \"fonts\\" + font.name + ".jpg\"\r\n";
        for (const std::string& line : font.sheetLines)
            text += "    " + line + "\r\n";
        text += "end\r\n";
    }
    for (const StyleSource& style : source.styles) {
        text += "style = " + style.name + "\r\n";
        for (const std::string& line : style.lines)
            text += "    " + line + "\r\n";
        text += "end\r\n";
    }
    return text;
}

}  // namespace styletool

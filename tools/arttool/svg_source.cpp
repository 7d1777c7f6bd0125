#include "tools/arttool/svg_source.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <librsvg/rsvg.h>

namespace art {

namespace {

int LineOf(const std::string& text, size_t offset)
{
    return 1 + int(std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n'));
}

std::string At(const std::string& file, int line, const std::string& message)
{
    return file + ":" + std::to_string(line) + ": " + message;
}

// librsvg reports XML faults with the line in its message; anything else is the file's.
std::string SvgError(const std::string& file, GError* gerror)
{
    std::string message = gerror ? gerror->message : "cannot be drawn";
    if (gerror)
        g_error_free(gerror);
    int line = 1;
    size_t at = message.find("line ");
    if (at != std::string::npos)
        line = std::max(1, std::atoi(message.c_str() + at + 5));
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return At(file, line, "SVG: " + message);
}

RsvgHandle* OpenSvg(const std::string& file, const std::string& text, std::string& error)
{
    GError* gerror = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(text.data()), text.size(), &gerror);
    if (!handle) {
        error = SvgError(file, gerror);
        return nullptr;
    }
    rsvg_handle_set_dpi(handle, 96);
    return handle;
}

bool SizeOf(const std::string& file, const std::string& text, int& width, int& height, std::string& error)
{
    RsvgHandle* handle = OpenSvg(file, text, error);
    if (!handle)
        return false;
    double w = 0, h = 0;
    bool known = rsvg_handle_get_intrinsic_size_in_pixels(handle, &w, &h);
    g_object_unref(handle);
    if (!known || w < 1 || h < 1 || w != std::floor(w) || h != std::floor(h)) {
        error = At(file, 1, "the <svg> needs a whole width and height in pixels");
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

// Draws an SVG text into the rectangle, clipped to it (filters may reach beyond a frame's cell).
bool Draw(cairo_t* cr, const std::string& file, const std::string& text, double x, double y, double w, double h,
          std::string& error)
{
    RsvgHandle* handle = OpenSvg(file, text, error);
    if (!handle)
        return false;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    RsvgRectangle viewport = {x, y, w, h};
    GError* gerror = nullptr;
    bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &gerror);
    cairo_restore(cr);
    g_object_unref(handle);
    if (!drawn)
        error = SvgError(file, gerror);
    return drawn;
}

Image FromCairo(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            unsigned a = p >> 24;
            uint8_t* out = image.At(x, y);
            for (int c = 0; c < 3; ++c) {
                unsigned v = (p >> (16 - 8 * c)) & 0xFF;
                out[c] = uint8_t(a ? std::min(255u, (v * 255 + a / 2) / a) : 0);
            }
            out[3] = uint8_t(a);
        }
    }
    return image;
}

}  // namespace

bool ReadSvgSource(const std::string& file, SvgSource& out, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = At(file, 0, "cannot open the source");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out.file = file;
    out.text = text.str();
    for (const char* tag : {"<text", "<tspan", "<textPath", "<font", "<image", "<foreignObject"}) {
        size_t at = out.text.find(tag);
        if (at != std::string::npos) {
            error = At(file, LineOf(out.text, at),
                       std::string(tag + 1) + " is not drawn the same on every machine; draw shapes instead");
            return false;
        }
    }
    // References to other files would make the picture depend on files the build does not track.
    for (size_t at = out.text.find("href"); at != std::string::npos; at = out.text.find("href", at + 4)) {
        size_t value = out.text.find_first_not_of(" \t\r\n=", at + 4);
        if (value == std::string::npos || value == at + 4 || (out.text[value] != '"' && out.text[value] != '\''))
            continue;
        if (value + 1 >= out.text.size() || out.text[value + 1] != '#') {
            error = At(file, LineOf(out.text, at), "only references inside the source are allowed");
            return false;
        }
    }
    out.templated = out.text.find("${") != std::string::npos;
    return true;
}

bool FillTemplate(const SvgSource& source, const std::vector<FrameVar>& vars, int frame, std::string& out,
                  std::string& error)
{
    const std::string& text = source.text;
    out.clear();
    out.reserve(text.size());
    size_t pos = 0;
    while (true) {
        size_t open = text.find("${", pos);
        if (open == std::string::npos)
            break;
        out.append(text, pos, open - pos);
        size_t close = text.find('}', open);
        size_t newline = text.find('\n', open);
        if (close == std::string::npos || close > newline) {
            error = At(source.file, LineOf(text, open), "'${' without its '}'");
            return false;
        }
        std::string name = text.substr(open + 2, close - open - 2);
        if (name == "frame") {
            out += std::to_string(frame);
        } else {
            auto var = std::find_if(vars.begin(), vars.end(), [&](const FrameVar& v) { return v.name == name; });
            if (var == vars.end()) {
                error = At(source.file, LineOf(text, open), "no frame value '" + name + "' in the art list");
                return false;
            }
            out += var->ValueAt(frame);
        }
        pos = close + 1;
    }
    out.append(text, pos, std::string::npos);
    return true;
}

bool FrameSize(const Picture& picture, const SvgSource& source, int& width, int& height, std::string& error)
{
    std::string first;
    if (!FillTemplate(source, picture.vars, 0, first, error) || !SizeOf(source.file, first, width, height, error))
        return false;
    if (picture.screen) {
        if (width != kCanvasW || height != kCanvasH) {
            error = At(source.file, 1, "a screen picture is " + std::to_string(kCanvasW) + "x" +
                                           std::to_string(kCanvasH) + " (the design space from -80,-80)");
            return false;
        }
        return true;
    }
    if (!source.templated && picture.count > 1) {
        // The source is the whole sheet: it must divide into its grid.
        if (width % picture.columns || height % picture.Rows()) {
            error = At(picture.listFile, picture.line,
                       "sheet " + std::to_string(width) + "x" + std::to_string(height) + " of " + source.file +
                           " is no multiple of its grid of " + std::to_string(picture.columns) + "x" +
                           std::to_string(picture.Rows()));
            return false;
        }
        width /= picture.columns;
        height /= picture.Rows();
    }
    for (const Scale& scale : Scales())
        if (scale.Pixels(width) < 0 || scale.Pixels(height) < 0) {
            error = At(picture.listFile, picture.line,
                       "frame " + std::to_string(width) + "x" + std::to_string(height) + " of " + source.file +
                           " is no whole number of pixels at " + std::to_string(scale.num) + "/" +
                           std::to_string(scale.den) + "; use multiples of 8");
            return false;
        }
    return true;
}

bool RenderPicture(const Picture& picture, const SvgSource& source, const Scale& scale, Image& out,
                   std::string& error)
{
    int fw = 0, fh = 0;
    if (!FrameSize(picture, source, fw, fh, error))
        return false;
    int cw = picture.screen ? int(std::lround(fw * scale.Value())) : scale.Pixels(fw);
    int ch = picture.screen ? int(std::lround(fh * scale.Value())) : scale.Pixels(fh);
    int columns = picture.screen ? 1 : picture.columns, rows = picture.screen ? 1 : picture.Rows();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cw * columns, ch * rows);
    cairo_t* cr = cairo_create(surface);
    bool ok = true;
    if (!source.templated) {
        ok = Draw(cr, source.file, source.text, 0, 0, cw * columns, ch * rows, error);
    } else {
        std::string text;
        for (int f = 0; ok && f < picture.count; ++f)
            ok = FillTemplate(source, picture.vars, f, text, error) &&
                 Draw(cr, source.file, text, (f % columns) * cw, (f / columns) * ch, cw, ch, error);
    }
    cairo_destroy(cr);
    if (ok)
        out = FromCairo(surface);
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace art

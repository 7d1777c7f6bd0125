// The art and fonts of the screen tests: a stone panel with a gold rim, jade buttons, a groove
// and knob for the tuner, boxes with a tick, and the dotted underline of the check boxes.
#include <algorithm>
#include <cmath>

#include "screen_test_app.h"

namespace {

struct Rgba {
    int r, g, b, a;
};

using Painter = std::function<Rgba(int x, int y)>;

bool Paint(const std::string& path, int w, int h, const Painter& paint)
{
    auto samples = fixtures::Fill(w, h, 4, [&](int x, int y, unsigned char* p) {
        Rgba c = paint(x, y);
        p[0] = static_cast<unsigned char>(std::clamp(c.r, 0, 255));
        p[1] = static_cast<unsigned char>(std::clamp(c.g, 0, 255));
        p[2] = static_cast<unsigned char>(std::clamp(c.b, 0, 255));
        p[3] = static_cast<unsigned char>(std::clamp(c.a, 0, 255));
    });
    return fixtures::WritePng(path, w, h, PNG_COLOR_TYPE_RGBA, 8, samples);
}

// Frames side by side, each painted by frame number.
bool PaintFrames(const std::string& path, int w, int h, int frames, const std::function<Rgba(int, int, int)>& paint)
{
    return Paint(path, w * frames, h, [&](int x, int y) { return paint(x % w, y, x / w); });
}

// A stable grain for the stone.
int Grain(int x, int y)
{
    unsigned v = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
    v = (v ^ (v >> 13)) * 1274126177u;
    return static_cast<int>((v >> 24) & 15) - 8;
}

Rgba Stone(int x, int y)
{
    int g = Grain(x / 2, y / 2);
    return {52 + g, 66 + g, 56 + g, 238};
}

// Inside a rounded rectangle of radius r, with a soft edge.
int RoundedCover(int x, int y, int w, int h, int r)
{
    int cx = std::clamp(x, r, w - 1 - r), cy = std::clamp(y, r, h - 1 - r);
    double d = std::hypot(x - cx, y - cy);
    return d <= r - 1 ? 255 : d >= r ? 0 : static_cast<int>((r - d) * 255);
}

Rgba Button(int x, int y, int frame, int w, int h)
{
    int cover = RoundedCover(x, y, w, h, 7);
    bool rim = RoundedCover(x, y, w, h, 7) > 0 &&
               (x < 2 || y < 2 || x >= w - 2 || y >= h - 2 || RoundedCover(x - 2, y - 2, w - 4, h - 4, 5) == 0);
    if (rim)
        return {222, 178, 74, cover};
    int light = 46 - y * 40 / h;
    static const int kBase[4][3] = {{34, 110, 84}, {52, 150, 112}, {20, 74, 56}, {90, 96, 92}};
    const int* c = kBase[frame];
    return {c[0] + light, c[1] + light, c[2] + light, cover};
}

}  // namespace

bool ScreenTestApp::LoadLookAssets()
{
    const int corner = 12, cw = 40, ch = 48;
    auto rim = [](int d) -> Rgba {
        if (d < 2)
            return {122, 90, 36, 255};
        if (d < 5)
            return {214, 172, 70, 255};
        return {0, 0, 0, -1};
    };
    // d: distance from the panel's outer edge along the tile's outward side.
    auto edge = [&](int x, int y, int d) {
        Rgba r = rim(d);
        return r.a >= 0 ? r : Stone(x, y);
    };
    bool ok = Paint(Host("panel_c.png"), cw, ch, [](int x, int y) { return Stone(x, y); }) &&
              Paint(Host("panel_t.png"), cw, corner, [&](int x, int y) { return edge(x, y, y); }) &&
              Paint(Host("panel_b.png"), cw, corner, [&](int x, int y) { return edge(x, y, corner - 1 - y); }) &&
              Paint(Host("panel_l.png"), corner, ch, [&](int x, int y) { return edge(x, y, x); }) &&
              Paint(Host("panel_r.png"), corner, ch, [&](int x, int y) { return edge(x, y, corner - 1 - x); });
    const char* corners[4] = {"panel_lt.png", "panel_rt.png", "panel_lb.png", "panel_rb.png"};
    for (int i = 0; i < 4 && ok; ++i) {
        ok = Paint(Host(corners[i]), corner, corner, [&](int x, int y) -> Rgba {
            int dx = i % 2 ? corner - 1 - x : x, dy = i / 2 ? corner - 1 - y : y;
            if (RoundedCover(dx, dy, 2 * corner, 2 * corner, corner) == 0)
                return {0, 0, 0, 0};
            int d = std::min(dx, dy);
            if (std::hypot(dx - corner, dy - corner) > corner - 5)
                d = std::min(d, static_cast<int>(corner - std::hypot(dx - corner, dy - corner)));
            if (dx >= 6 && dy >= 6 && dx <= 9 && dy <= 9)
                return {60, 190, 140, 255};
            return edge(x, y, d);
        });
    }
    const int bw = 94, bh = 30;
    ok = ok && PaintFrames(Host("button.png"), bw, bh, 4, [&](int x, int y, int f) { return Button(x, y, f, bw, bh); }) &&
         PaintFrames(Host("letter.png"), 26, 26, 3, [&](int x, int y, int f) { return Button(x, y, f, 26, 26); }) &&
         PaintFrames(Host("track.png"), 180, 12, 2, [](int x, int y, int f) -> Rgba {
             int cover = RoundedCover(x, y, 180, 12, 6);
             bool rimPixel = y < 2 || y > 9 || x < 2 || x > 177;
             if (rimPixel)
                 return {f ? 236 : 196, f ? 196 : 156, 70, cover};
             return {18 + y * 2, 26 + y * 2, 22 + y * 2, cover};
         }) &&
         PaintFrames(Host("handle.png"), 16, 24, 3, [](int x, int y, int f) -> Rgba {
             int cover = RoundedCover(x, y, 16, 24, 5);
             static const int kLift[3] = {0, 30, -30};
             int shade = 200 - y * 4 + kLift[f];
             if (x < 2 || x > 13 || y < 2 || y > 21)
                 return {120, 86, 30, cover};
             return {shade + 30, shade, shade / 3, cover};
         }) &&
         PaintFrames(Host("box.png"), 20, 20, 2, [](int x, int y, int f) -> Rgba {
             int cover = RoundedCover(x, y, 20, 20, 4);
             if (x < 2 || y < 2 || x > 17 || y > 17)
                 return {f ? 240 : 206, f ? 200 : 164, 72, cover};
             return {30, 40, 34, cover};
         }) &&
         Paint(Host("box_on.png"), 20, 20, [](int x, int y) -> Rgba {
             int cover = RoundedCover(x, y, 20, 20, 4);
             if (x < 2 || y < 2 || x > 17 || y > 17)
                 return {206, 164, 72, cover};
             // A tick: down from (5, 10) to (8, 14), then up to (15, 5).
             double t1 = std::abs((y - 10) - (x - 5) * 4.0 / 3.0) / 1.67;
             double t2 = std::abs((y - 14) + (x - 8) * 9.0 / 7.0) / 1.63;
             bool tick = (x >= 4 && x <= 9 && t1 < 1.6 && y >= 8) || (x >= 7 && x <= 16 && t2 < 1.6 && y <= 15);
             return tick ? Rgba{90, 230, 160, 255} : Rgba{30, 40, 34, cover};
         }) &&
         // The underline tiles are as tall as the box, their line along its foot.
         Paint(Host("underline.png"), 6, 20, [](int x, int y) -> Rgba {
             if (y < 18)
                 return {0, 0, 0, 0};
             return x < 4 ? Rgba{200, 160, 64, 255} : Rgba{60, 48, 20, 255};
         }) &&
         Paint(Host("underline_end.png"), 4, 20, [](int, int y) -> Rgba {
             return y < 18 ? Rgba{0, 0, 0, 0} : Rgba{240, 200, 90, 255};
         });
    if (!ok)
        return false;

    // Each sheet is its own alpha, so the frames keep their transparency.
    std::string script;
    auto set = [&script](const std::string& name, const std::string& file, int frames) {
        std::string files = file + (frames > 1 ? ", " + std::to_string(frames) : "");
        script += "set = " + name + "\nfile = " + files + "\nafile = " + files + "\nend\n";
    };
    set("button", "button", 4);
    set("btn_letter", "letter", 3);
    set("tuner_track", "track", 2);
    set("tuner_handle", "handle", 3);
    set("tick_ul_1", "underline", 1);
    set("tick_ul_2", "underline_end", 1);
    for (const char* tile : {"panel_lt", "panel_t", "panel_rt", "panel_l", "panel_c", "panel_r", "panel_lb", "panel_b",
                             "panel_rb"})
        set(tile, tile, 1);
    std::string styles = "font = small\nfile = gold12.jpg\nend\nfont = main\nfile = sans16.jpg\nend\n"
                         "style = title\nfont = main\ncolor = 248, 212, 110\neffect = shadow\nend\n"
                         "style = menu\nfont = main\ncolor = 250, 244, 222\neffect = shadow\nend\n"
                         "style = small\nfont = small\ncolor = 236, 230, 206\nend\n";
    for (const char* name : {"sans16.jpg", "sans16.fdb", "gold12.jpg", "gold12.fdb", "gold12_eff.jpg"}) {
        std::string data = fixtures::ReadFile(std::string(KELO_TEST_FONTS) + "/" + name);
        if (data.empty() || !WriteHostFile(Host(name), data.data(), data.size()))
            return false;
    }
    if (!WriteHostFile(Host("sprites.txt"), script.data(), script.size()) ||
        !WriteHostFile(Host("styles.txt"), styles.data(), styles.size()))
        return false;
    if (LoadSpriteScript(this, Engine("sprites.txt").c_str()).failed())
        return false;
    styleSheet_ = new (std::nothrow) FontManager(this);
    if (!styleSheet_ || styleSheet_->Load(Engine("styles.txt").c_str()).failed() || styleSheet_->BuildFonts().failed())
        return false;
    styleSheet_->ResolveStyleFonts();
    FontEntry* small = styleSheet_->GetFontEntry(0);
    FontEntry* main = styleSheet_->GetFontEntry(1);
    smallFont_ = small ? small->font : nullptr;
    mainFont_ = main ? main->font : nullptr;
    return smallFont_ && mainFont_;
}

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/core/fixed.h"
#include "engine/graphics/font.h"
#include "engine/graphics/font_manager.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/tables/layout_table.h"
#include "shipped_app.h"

namespace {

// A mask pixel above this is the socket's rim.
constexpr int kRim = 128;

// The start menu's pictures at one resolution, loaded as the menu loads them: each into a fresh
// surface, colour by name, alpha by the "_a" name into the same surface.
struct MenuArt {
    explicit MenuArt(const ShippedResolution& r) : app(r.width, r.height)
    {
        LayoutTable::FillInts(table, DisplayModeOf(r.width, r.height));
        sky = Load("startmenu_sky", nullptr);
        bottom = Load("startmenu_bottom", nullptr);
        sun = Load("mmsun", "mmsun_a");
        glow = Load(nullptr, "mmsunglow_a");
        left = Load("mmeyeleft", "mmeyeleft_a");
        right = Load("mmeyeright", "mmeyeright_a");
        mask = Load(nullptr, "mmeyemask_a");
    }

    std::unique_ptr<Surface> Load(const char* colour, const char* alpha)
    {
        std::string folder = std::string(app.GetImageFolder().CStr()) + "ui\\startmenu\\";
        std::unique_ptr<Surface> surface(app.CreateImage());
        if (!surface)
            return nullptr;
        if (colour && !LoadImage(&app, (folder + colour).c_str(), surface.get()).value) {
            ADD_FAILURE() << "no picture " << folder << colour;
            return nullptr;
        }
        if (alpha && !LoadAlphaImage(&app, (folder + alpha).c_str(), surface.get()).value) {
            ADD_FAILURE() << "no alpha plane " << folder << alpha;
            return nullptr;
        }
        return surface;
    }

    bool Complete() const { return sky && bottom && sun && glow && left && right && mask; }
    int Int(int entry) const { return table.ints[size_t(entry)]; }

    ShippedApp app;
    LayoutTable table;
    std::unique_ptr<Surface> sky, bottom, sun, glow, left, right, mask;
};

int AlphaAt(const Surface& s, int x, int y)
{
    return s.GetAlpha()[y * s.GetRawWidth() + x];
}

// Red, green and blue of a 5:6:5 pixel, each 0..255.
void Rgb(const Surface& s, int x, int y, int out[3])
{
    uint16_t v = s.GetPixels()[y * s.GetRawWidth() + x];
    out[0] = ((v >> 11) & 31) * 255 / 31;
    out[1] = ((v >> 5) & 63) * 255 / 63;
    out[2] = (v & 31) * 255 / 31;
}

int Brightness(const Surface& s, int x, int y)
{
    int c[3];
    Rgb(s, x, y, c);
    return (c[0] * 3 + c[1] * 6 + c[2]) / 10;
}

// The menu's eye walk: from the eye centre c (mask coordinates) in whole steps along the
// normalised direction to the pointer, up to the first mask pixel above 128. Its distance, or -1
// when the walk leaves the mask first (a socket open on that side).
int RimDistance(const Surface& mask, int cx, int cy, int pointerDx, int pointerDy)
{
    FixedVec2 d(Fixed::FromInt(pointerDx), Fixed::FromInt(pointerDy));
    d.Normalize();
    for (int i = 0;; ++i) {
        Fixed qx = Fixed::FromInt(cx) + Fixed::MultiplyInt(d.x, i);
        Fixed qy = Fixed::FromInt(cy) + Fixed::MultiplyInt(d.y, i);
        if (qx.LessThanInt(0) || qy.LessThanInt(0) || qx.GreaterOrEqualInt(mask.GetWidth()) ||
            qy.GreaterOrEqualInt(mask.GetHeight()))
            return -1;
        if (AlphaAt(mask, qx.ToInt(), qy.ToInt()) > kRim)
            return i;
    }
}

struct Eye {
    const char* name;
    Surface* pupil;
    int centreX, centreY;  // mask coordinates
    int startX, startY;    // screen
};

TEST(StartMenuArt, PicturesHaveTheSizesTheScreenDraws)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.app.PacksOpen());
        ASSERT_TRUE(art.Complete());
        // The sky is drawn at y 0 in copies side by side: it must fill the screen's height, and
        // copies of a tile much narrower than the screen would show the repeat.
        EXPECT_EQ(art.sky->GetHeight(), r.height);
        EXPECT_GE(art.sky->GetWidth(), r.width / 2);
        EXPECT_EQ(art.sky->GetAlpha(), nullptr) << "the sky is colour only";
        // The bottom picture covers the screen and lets the sky through.
        EXPECT_EQ(art.bottom->GetWidth(), r.width);
        EXPECT_EQ(art.bottom->GetHeight(), r.height);
        ASSERT_NE(art.bottom->GetAlpha(), nullptr);
        for (Surface* s : {art.sun.get(), art.left.get(), art.right.get(), art.glow.get(), art.mask.get()})
            EXPECT_NE(s->GetAlpha(), nullptr);
        // The glow turns about its centre over the sun, so it must reach past the disc.
        EXPECT_GT(art.glow->GetWidth(), art.sun->GetWidth() * 2);
        EXPECT_EQ(art.left->GetWidth(), art.right->GetWidth());
        EXPECT_EQ(art.left->GetHeight(), art.right->GetHeight());
        // Both eye centres lie inside the mask, in a hole.
        for (int e : {kLayoutLeftEyeCentreX, kLayoutRightEyeCentreX}) {
            int cx = art.Int(e), cy = art.Int(e + 1);
            ASSERT_LT(cx, art.mask->GetWidth());
            ASSERT_LT(cy, art.mask->GetHeight());
            EXPECT_LT(AlphaAt(*art.mask, cx, cy), kRim) << "eye centre " << cx << "," << cy;
        }
    }
}

// Along each row the step from the tile's last column back to its first must look like any step
// between neighbouring columns: a cloud cut at the edge would jump there.
TEST(StartMenuArt, SkyTilesWithoutASeam)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.Complete());
        const Surface& sky = *art.sky;
        int w = sky.GetWidth(), h = sky.GetHeight();
        auto step = [&](int x0, int x1, int y) {
            int a[3], b[3];
            Rgb(sky, x0, y, a);
            Rgb(sky, x1, y, b);
            return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
        };
        long seam = 0, inner = 0;
        int worst = 0;
        for (int y = 0; y < h; ++y) {
            seam += step(w - 1, 0, y);
            worst = std::max(worst, step(w - 1, 0, y));
            for (int x = 1; x < w; ++x)
                inner += step(x - 1, x, y);
        }
        double seamMean = double(seam) / h, innerMean = double(inner) / (double(h) * (w - 1));
        EXPECT_LE(seamMean, innerMean * 2 + 3) << "mean step across the seam " << seamMean << ", inside " << innerMean;
        EXPECT_LE(worst, 60);
        // A dusk sky: darker at the top than towards the horizon.
        EXPECT_LT(Brightness(sky, w / 2, 0) + 40, Brightness(sky, w / 2, h * 3 / 4));
    }
}

// The pupils walk the mask from each socket centre towards the stylus, in every direction; each
// walk must meet the socket's rim before it leaves the mask, and in most directions the rim lies
// far enough out for the pupil to rest inside (rim - half its height - 1 above 0).
TEST(StartMenuArt, EyeWalksMeetTheRimAndThePupilsFit)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.Complete());
        Eye eyes[2] = {{"left", art.left.get(), art.Int(kLayoutLeftEyeCentreX), art.Int(kLayoutLeftEyeCentreY),
                        art.Int(kLayoutLeftEyeX), art.Int(kLayoutLeftEyeY)},
                       {"right", art.right.get(), art.Int(kLayoutRightEyeCentreX), art.Int(kLayoutRightEyeCentreY),
                        art.Int(kLayoutRightEyeX), art.Int(kLayoutRightEyeY)}};
        for (const Eye& eye : eyes) {
            SCOPED_TRACE(eye.name);
            int open = 0, roomy = 0, nearest = 1 << 20;
            for (int degree = 0; degree < 360; ++degree) {
                double a = degree * M_PI / 180;
                int dx = int(std::lround(std::cos(a) * 1000)), dy = int(std::lround(std::sin(a) * 1000));
                int rim = RimDistance(*art.mask, eye.centreX, eye.centreY, dx, dy);
                if (rim < 0) {
                    if (open++ < 3)
                        ADD_FAILURE() << "the walk at " << degree << " degrees leaves the mask";
                    continue;
                }
                nearest = std::min(nearest, rim);
                roomy += rim > eye.pupil->GetHeight() / 2 + 1;
            }
            EXPECT_EQ(open, 0);
            EXPECT_GE(roomy, 330) << "directions where the pupil rests inside its socket";
            EXPECT_GE(nearest, eye.pupil->GetHeight() / 2) << "a rim presses on the centre";
            // The pupil's resting place (the layout's start position) lies inside the hole.
            int sx = eye.startX - art.Int(kLayoutEyeMaskX), sy = eye.startY - art.Int(kLayoutEyeMaskY);
            ASSERT_TRUE(sx >= 0 && sy >= 0 && sx < art.mask->GetWidth() && sy < art.mask->GetHeight());
            EXPECT_LT(AlphaAt(*art.mask, sx, sy), kRim) << "start " << eye.startX << "," << eye.startY;
        }
    }
}

// The picture must show the sockets where the mask has them: dark, opaque hollows at the socket
// centres, ringed by lighter stone. The sky shows at the sun, and the buttons' column and the
// welcome band are covered and mid-dark so that gold captions read on them.
TEST(StartMenuArt, PictureMatchesTheMaskAndLeavesRoomForTheButtons)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.Complete());
        const Surface& bottom = *art.bottom;
        int ox = art.Int(kLayoutEyeMaskX), oy = art.Int(kLayoutEyeMaskY);
        for (int e : {kLayoutLeftEyeCentreX, kLayoutRightEyeCentreX}) {
            int cx = art.Int(e), cy = art.Int(e + 1);
            int sx = ox + cx, sy = oy + cy;
            EXPECT_GT(AlphaAt(bottom, sx, sy), 240);
            EXPECT_LT(Brightness(bottom, sx, sy), 40) << "socket at " << sx << "," << sy;
            // Walk out sideways to the rim: the stone just outside is brighter than the hollow.
            int rim = RimDistance(*art.mask, cx, cy, -1, 0);
            ASSERT_GT(rim, 0);
            int outside = Brightness(bottom, sx - rim - std::max(2, r.height / 120), sy);
            EXPECT_GT(outside, Brightness(bottom, sx, sy) + 20) << "no rim around the socket at " << sx << "," << sy;
        }
        EXPECT_LT(AlphaAt(bottom, art.Int(kLayoutSunX), art.Int(kLayoutSunY)), 32)
            << "the sky does not show at the sun";

        // The buttons' column and the welcome band in screen pixels: the 640x480 design boxes
        // scaled to the folder and moved with its design area.
        double scale = r.height >= 480 ? 1.0 : r.width == 240 ? 0.375 : 0.5;
        int dx = art.Int(kLayoutOriginX), dy = art.Int(kLayoutOriginY);
        struct Box {
            const char* name;
            int x0, y0, x1, y1;
        } boxes[] = {{"buttons", 390, 120, 630, 450}, {"welcome", 300, 8, 630, 90}};
        for (const Box& b : boxes) {
            int x0 = dx + int(b.x0 * scale), x1 = dx + int(b.x1 * scale);
            int y0 = dy + int(b.y0 * scale), y1 = std::min(r.height, dy + int(b.y1 * scale));
            long sum = 0, count = 0;
            int clear = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    clear += AlphaAt(bottom, x, y) < 250;
                    sum += Brightness(bottom, x, y);
                    ++count;
                }
            EXPECT_LT(clear, count / 50) << b.name << ": the sky drifts behind it";
            EXPECT_LT(sum / count, 110) << b.name << ": too light for gold captions";
            EXPECT_GT(sum / count, 15) << b.name << ": black";
        }
    }
}

// The bounds of a frame's lit face: opaque pixels brighter than `floor` that are not the green of
// the carved marks. Returns false when there are none.
struct Bounds {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    double CentreX() const { return (x0 + x1 + 1) / 2.0; }
    double CentreY() const { return (y0 + y1 + 1) / 2.0; }
};
bool LitFace(const Surface& frame, int floor, Bounds& out)
{
    if (!frame.GetAlpha())
        return false;
    for (int y = 0; y < frame.GetHeight(); ++y)
        for (int x = 0; x < frame.GetWidth(); ++x) {
            int c[3];
            Rgb(frame, x, y, c);
            if (AlphaAt(frame, x, y) < 128 || Brightness(frame, x, y) <= floor || c[1] > c[0] + 10)
                continue;
            out.x0 = std::min(out.x0, x);
            out.y0 = std::min(out.y0, y);
            out.x1 = std::max(out.x1, x);
            out.y1 = std::max(out.y1, y);
        }
    return out.x1 >= 0;
}

// The menu draws a caption off the frame's centre by the layout's offsets and moves it further while
// the button is pressed: the tablets' faces lie under the resting caption, and the pressed frame's
// face follows the caption's sideways move (and, on the big tablets, its move down as well).
TEST(StartMenuArt, ButtonFacesLieUnderTheCaptions)
{
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.app.PacksOpen());
        ASSERT_TRUE(art.app.LoadSpriteScripts());
        for (const char* set : {"sm_button_big", "sm_button_small"}) {
            SCOPED_TRACE(set);
            bool big = !strcmp(set, "sm_button_big");
            ResourceEntry* entry = art.app.sprites.FindByName(set);
            ASSERT_NE(entry, nullptr);
            ASSERT_TRUE(entry->Load().ok());
            ASSERT_EQ(entry->GetFrameCount(), 4);
            // The focused frame's gold ring, then the pressed frame's light face.
            Bounds rest, pressed;
            ASSERT_TRUE(LitFace(*entry->GetFrame(1), 140, rest));
            ASSERT_TRUE(LitFace(*entry->GetFrame(2), 110, pressed));
            Surface* frame = entry->GetFrame(1);
            double captionX = frame->GetWidth() / 2.0 - art.Int(kLayoutMenuCaptionX);
            double captionY = frame->GetHeight() / 2.0 - art.Int(kLayoutMenuCaptionY);
            EXPECT_NEAR(rest.CentreX(), captionX, 1.0);
            EXPECT_NEAR(rest.CentreY(), captionY, 1.0);
            // The face is most of the frame's width, not a thin strip round the caption's spot.
            EXPECT_GE(rest.x1 - rest.x0 + 1, frame->GetWidth() * 13 / 16);
            EXPECT_NEAR(pressed.CentreX(), captionX + art.Int(kLayoutMenuPressX), 1.0);
            EXPECT_NEAR(pressed.CentreY(), captionY + (big ? art.Int(kLayoutMenuPressY) : 0), 1.0);
            entry->Release();
        }
    }
}

// The menu's button tablets in the buttons' column, each in another of its four frames, with
// captions in the colours the menu gives them, so the tablets can be judged with text on them.
void DrawButtons(MenuArt& art, const ShippedResolution& r)
{
    ASSERT_TRUE(art.app.LoadSpriteScripts());
    ASSERT_TRUE(art.app.LoadStyles().ok());
    Surface* screen = art.app.GetScreenSurface();
    Font* font = art.app.styles->GetFontEntry(1)->font;
    ASSERT_NE(font, nullptr);
    double scale = r.height >= 480 ? 1.0 : r.width == 240 ? 0.375 : 0.5;
    struct Button {
        const char* set;
        int x, y, frame;
        const char* caption;
    } buttons[] = {{"sm_button_big", 400, 132, 1, "Adventure"}, {"sm_button_big", 400, 200, 0, "Gauntlet"},
                   {"sm_button_small", 432, 272, 2, "Help"},     {"sm_button_small", 432, 328, 0, "Options"},
                   {"sm_button_small", 432, 384, 3, "Quit"},     {"sm_change_player", 456, 440, 0, "Player"}};
    // Design sizes at 640x480: every frame comes out in whole pixels at the folder's scale.
    const std::pair<const char*, std::pair<int, int>> sizes[] = {
        {"sm_button_big", {224, 56}}, {"sm_button_small", {160, 48}}, {"sm_change_player", {112, 32}}};
    static const int kColour[4][3] = {{224, 160, 64}, {255, 255, 96}, {112, 80, 32}, {112, 80, 32}};
    for (const Button& b : buttons) {
        ResourceEntry* entry = art.app.sprites.FindByName(b.set);
        ASSERT_NE(entry, nullptr) << b.set;
        ASSERT_TRUE(entry->Load().ok()) << b.set;
        ASSERT_EQ(entry->GetFrameCount(), 4) << b.set;
        Surface* image = entry->GetFrame(b.frame);
        ASSERT_NE(image, nullptr);
        for (const auto& [set, size] : sizes)
            if (!strcmp(set, b.set)) {
                EXPECT_EQ(image->GetWidth(), int(size.first * scale)) << set;
                EXPECT_EQ(image->GetHeight(), int(size.second * scale)) << set;
            }
        int x = art.Int(kLayoutOriginX) + int(b.x * scale), y = art.Int(kLayoutOriginY) + int(b.y * scale);
        image->Draw(screen, x, y, image->GetWidth(), image->GetHeight(), 0, 0);
        int tx = x + image->GetWidth() / 2 - font->MeasureText(b.caption) / 2;
        int ty = y + image->GetHeight() / 2 - font->GetLineHeight() / 2;
        if (!strcmp(b.set, "sm_change_player")) {
            // Its own colours: dark on the light plaque of the 480-high screens, light below.
            bool tall = r.height >= 480;
            font->DrawText(screen, tx, ty, b.caption, tall ? 84 : 148, tall ? 117 : 181, tall ? 105 : 169, 0, 255,
                           nullptr);
        } else {
            if (b.frame == 2) {
                tx += art.Int(kLayoutMenuPressX);
                ty += art.Int(kLayoutHelpPressY);
            }
            const int* c = kColour[b.frame];
            font->DrawText(screen, tx - art.Int(kLayoutMenuCaptionX), ty - art.Int(kLayoutMenuCaptionY), b.caption,
                           c[0], c[1], c[2], 0, 255, nullptr);
        }
        entry->Release();
    }
}

// The menu at rest, drawn as the screen draws it (sky copies, the picture, the pupils at their
// start positions, the glow turned and tinted, the sun), to be looked at:
// look/startmenu_art_<W>x<H>.png.
TEST(StartMenuArt, RestingMenuIsWrittenToBeLookedAt)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& r : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(r));
        MenuArt art(r);
        ASSERT_TRUE(art.Complete());
        Surface* screen = art.app.GetScreenSurface();
        ASSERT_NE(screen, nullptr);
        screen->DrawRect(0, 0, r.width, r.height, 255, 0, 255);
        int skyX = -art.sky->GetWidth() / 3;
        for (int x = skyX; x < r.width; x += art.sky->GetWidth())
            art.sky->Draw(screen, x, 0, art.sky->GetWidth(), art.sky->GetHeight(), 0, 0);
        art.bottom->Draw(screen, 0, 0, r.width, r.height, 0, 0);
        for (Surface* pupil : {art.left.get(), art.right.get()}) {
            int entry = pupil == art.left.get() ? 172 : 174;
            pupil->Draw(screen, art.Int(entry) - pupil->GetWidth() / 2, art.Int(entry + 1) - pupil->GetHeight() / 2,
                        pupil->GetWidth(), pupil->GetHeight(), 0, 0);
        }
        TrigTable trig(&art.app, 5760);
        ASSERT_TRUE(trig.Build());
        trig.DrawRotatedTinted(art.glow.get(), screen, Fixed::FromInt(art.Int(kLayoutSunX)),
                               Fixed::FromInt(art.Int(kLayoutSunY)), 20 * 256, Fixed16::FromInt(1), 255, 255, 0,
                               224 - 255);
        art.sun->Draw(screen, art.Int(kLayoutSunX) - art.sun->GetWidth() / 2,
                      art.Int(kLayoutSunY) - art.sun->GetHeight() / 2, art.sun->GetWidth(), art.sun->GetHeight(), 0, 0);
        // Nothing of the magenta fill may be left: sky and picture cover the screen.
        int uncovered = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                uncovered += screen->GetPixels()[y * screen->GetRawWidth() + x] == 0xF81F;
        EXPECT_EQ(uncovered, 0);
        DrawButtons(art, r);
        std::string png = std::string(KELO_LOOK_DIR) + "/startmenu_art_" + ShippedName(r) + ".png";
        EXPECT_TRUE(WriteScreenPng(screen, png)) << png;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "board_look_app.h"
#include "engine/graphics/font.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/resource_entry.h"
#include "game/play/ball_sprite.h"
#include "game/play/coin.h"
#include "game/play/curve_path.h"
#include "game/play/frog.h"
#include "game/play/hole.h"
#include "game/tables/level_tables.h"
#include "game/tables/map_info.h"

namespace {

const std::set<int> kOverlayMaps = {1, 5, 6, 10, 11, 12, 15, 16, 20};

std::unique_ptr<Surface> Picture(GameApp& app, const std::string& below)
{
    std::string path = std::string(app.GetImageFolder().CStr()) + below;
    return std::unique_ptr<Surface>(LoadImage(&app, path.c_str(), nullptr).value);
}

std::string OverlayPath(const MapInfo& map, const OverlayImage& overlay)
{
    return std::string("levels\\") + map.name + "\\" + overlay.image + "_a";
}

// An overlay as level loading makes it: the mask's size, the background under it, the mask's
// alpha, placed at the design corner times the design scale plus the board's origin.
struct Overlay {
    std::unique_ptr<Surface> surface;
    int x = 0, y = 0;
    int Alpha(int sx, int sy) const
    {
        int lx = sx - x, ly = sy - y;
        if (!surface || lx < 0 || ly < 0 || lx >= surface->GetWidth() || ly >= surface->GetHeight())
            return 0;
        return surface->GetAlpha()[ly * surface->GetRawWidth() + lx];
    }
};

// The map's overlays at their screen places, holding only their masks; with a background, the
// background's pixels under each are copied in and the mask loaded again over them.
std::vector<Overlay> LoadOverlays(BoardLookApp& app, const MapInfo& map, Surface* background)
{
    const LayoutTable& layout = app.GetLayoutTable();
    std::vector<Overlay> out;
    for (const OverlayImage& o : map.overlays) {
        Overlay overlay;
        overlay.x = (Fixed::FromInt(o.x) * layout.fixed[kLayoutDesignScale]).ToInt() + layout.ints[kLayoutOriginX];
        overlay.y = (Fixed::FromInt(o.y) * layout.fixed[kLayoutDesignScale]).ToInt() + layout.ints[kLayoutOriginY];
        std::string path = std::string(app.GetImageFolder().CStr()) + OverlayPath(map, o);
        overlay.surface.reset(LoadAlphaImage(&app, path.c_str(), nullptr).value);
        if (overlay.surface && background) {
            int w = overlay.surface->GetWidth(), h = overlay.surface->GetHeight();
            auto cut = std::make_unique<Surface>(&app);
            cut->Create(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int bx = overlay.x + x, by = overlay.y + y;
                    if (bx < background->GetWidth() && by < background->GetHeight())
                        cut->GetPixels()[y * cut->GetRawWidth() + x] =
                            background->GetPixels()[by * background->GetRawWidth() + bx];
                }
            overlay.surface = LoadAlphaImage(&app, path.c_str(), cut.get()).value ? std::move(cut) : nullptr;
        }
        out.push_back(std::move(overlay));
    }
    return out;
}

MapTable Maps()
{
    MapTable maps;
    LevelTables::BuildMaps(maps);
    return maps;
}

}  // namespace

TEST(MapsArt, EveryPictureHasItsScreensOrTheLayoutsSize)
{
    MapTable maps = Maps();
    ASSERT_EQ(maps.Count(), MapInfo::kCount);
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        const LayoutTable& layout = app.GetLayoutTable();
        std::set<int> withOverlays;
        for (const MapInfo& map : maps) {
            SCOPED_TRACE(map.art);
            auto level = Picture(app, map.nebula ? std::string("nebula") : std::string("levels\\") + map.art + "\\" + map.art);
            ASSERT_NE(level, nullptr);
            EXPECT_EQ(level->GetWidth(), res.width);
            EXPECT_EQ(level->GetHeight(), res.height);
            auto thumb = Picture(app, std::string("thumbs\\") + map.art);
            ASSERT_NE(thumb, nullptr);
            EXPECT_EQ(thumb->GetWidth(), layout.ints[kLayoutThumbW]);
            EXPECT_EQ(thumb->GetHeight(), layout.ints[kLayoutThumbH]);
            for (const OverlayImage& o : map.overlays) {
                std::string path = std::string(app.GetImageFolder().CStr()) + OverlayPath(map, o);
                std::unique_ptr<Surface> mask(LoadAlphaImage(&app, path.c_str(), nullptr).value);
                ASSERT_NE(mask, nullptr) << o.image;
                EXPECT_NE(mask->GetAlpha(), nullptr) << o.image;
                withOverlays.insert(map.number);
            }
        }
        EXPECT_EQ(withOverlays, kOverlayMaps);
        auto random = Picture(app, "thumbs\\random");
        ASSERT_NE(random, nullptr);
        EXPECT_EQ(random->GetWidth(), layout.ints[kLayoutThumbW]);
        EXPECT_EQ(random->GetHeight(), layout.ints[kLayoutThumbH]);
    }
}

// Balls within the fade stretch of a tunnel are drawn under the overlays: on the screen, every such
// ball must lie under an opaque part of one of the map's masks, its centre and both sides. The
// coins, drawn above everything, must not sit under a roof.
TEST(MapsArt, OverlayMasksHideTheTunnelledBallsAndLeaveTheCoinsClear)
{
    MapTable maps = Maps();
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        DesignMapping mapping = DesignMappingOf(&app);
        Fixed radius = app.GetLayoutTable().fixed[kLayoutBallRadius];
        for (int number : kOverlayMaps) {
            const MapInfo& map = maps[number];
            SCOPED_TRACE(map.art);
            std::vector<Overlay> overlays = LoadOverlays(app, map, nullptr);
            for (const Overlay& o : overlays)
                ASSERT_NE(o.surface, nullptr);
            auto covered = [&](float x, float y) {
                int sx = int(std::floor(x)), sy = int(std::floor(y));
                if (sx < 0 || sy < 0 || sx >= res.width || sy >= res.height)
                    return true;  // off the screen nothing shows
                for (const Overlay& o : overlays)
                    if (o.Alpha(sx, sy) >= 200)
                        return true;
                return false;
            };
            CurvePath curves[kMaxCurves];
            for (CurvePath& c : curves)
                c.Bind(&app);
            int count = 0;
            ASSERT_TRUE(LoadCurves(&app, map.art, curves, count).ok());
            int hidden = 0;
            for (int c = 0; c < count; ++c) {
                Fixed length = curves[c].Length();
                for (Fixed d; d < length; d += Fixed::FromInt(1)) {
                    if (!curves[c].NearTunnelAt(d))
                        continue;
                    ++hidden;
                    FixedVec2 p = curves[c].PointAt(d, nullptr, nullptr);
                    FixedVec2 q = curves[c].PointAt(d + Fixed::FromInt(1), nullptr, nullptr);
                    double dx = (q.x - p.x).ToDouble(), dy = (q.y - p.y).ToDouble(), n = std::hypot(dx, dy);
                    double side = radius.ToDouble() - 1;
                    double nx = n > 0 ? -dy / n * side : 0, ny = n > 0 ? dx / n * side : 0;
                    float px = float(p.x.ToDouble()), py = float(p.y.ToDouble());
                    ASSERT_TRUE(covered(px, py) && covered(px + float(nx), py + float(ny)) &&
                                covered(px - float(nx), py - float(ny)))
                        << "curve " << c + 1 << " at distance " << d.ToInt() << " (" << px << ", " << py << ")";
                }
            }
            EXPECT_GT(hidden, 0) << "no tunnel on a map with overlays";
            for (const TreasurePoint& spot : map.treasure) {
                float x = spot.x, y = spot.y;
                MapDesignPoint(mapping, x, y);
                for (const Overlay& o : overlays)
                    EXPECT_LT(o.Alpha(int(x), int(y)), 64) << "coin at " << spot.x << ", " << spot.y;
            }
        }
    }
}

namespace {

// One board as level loading leaves it and a frame draws it: the level image (or the nebula), the
// holes painted in, the overlays cut from that background, a chain along each track with the balls
// near tunnels under the overlays, the coins at their spots and the frog.
bool ComposeMap(BoardLookApp& app, const MapInfo& map, Surface* screen)
{
    DesignMapping mapping = DesignMappingOf(&app);
    if (map.nebula) {
        auto nebula = Picture(app, "nebula");
        if (!nebula)
            return false;
        for (int y = -nebula->GetHeight() / 3; y < screen->GetHeight(); y += nebula->GetHeight())
            for (int x = 0; x < screen->GetWidth(); x += nebula->GetWidth())
                nebula->Draw(screen, x, y, nebula->GetWidth(), nebula->GetHeight(), 0, 0);
    } else {
        auto level = Picture(app, std::string("levels\\") + map.art + "\\" + map.art);
        if (!level)
            return false;
        level->Draw(screen, 0, 0, level->GetWidth(), level->GetHeight(), 0, 0);
    }
    CurvePath curves[kMaxCurves];
    for (CurvePath& c : curves)
        c.Bind(&app);
    int count = 0;
    if (LoadCurves(&app, map.art, curves, count).failed())
        return false;
    std::vector<std::unique_ptr<GameObject>> objects;
    Fixed diameter = app.GetLayoutTable().fixed[kLayoutBallDiameter];
    for (int c = 0; c < count; ++c) {
        auto hole = std::make_unique<Hole>(&app);
        if (!hole->Init())
            return false;
        Fixed length = curves[c].Length();
        FixedVec2 a = curves[c].PointAt(length, nullptr, nullptr), b = curves[c].PointAt(length - diameter, nullptr, nullptr);
        FixedRect bounds = hole->Bounds();
        bounds.x = a.x - bounds.HalfWidth();
        bounds.y = a.y - bounds.HalfHeight();
        hole->SetBounds(bounds);
        double angle = std::atan2((a.y - b.y).ToDouble(), (a.x - b.x).ToDouble()) * 180 / M_PI + 90;
        hole->SetAngle(Fixed::FromDouble(angle));
        hole->SetDrawingEnabled(true);
        hole->Draw(screen, 0, 0);
        objects.push_back(std::move(hole));
    }
    std::vector<Overlay> overlays = LoadOverlays(app, map, screen);
    struct Placed {
        BallSprite* ball;
        bool under;
    };
    std::vector<Placed> balls;
    for (int c = 0; c < count; ++c) {
        Fixed length = curves[c].Length();
        int i = 0;
        for (Fixed d; d < length * Fixed::FromDouble(0.8); d += diameter, ++i) {
            auto ball = std::make_unique<BallSprite>(&app, (i / 2 + i / 5 + c * 3) % 6);
            if (!ball->Init())
                return false;
            FixedVec2 p = curves[c].PointAt(d, nullptr, nullptr), q = curves[c].PointAt(d + Fixed::FromInt(4), nullptr, nullptr);
            FixedRect r = ball->Bounds();
            r.x = p.x - r.HalfWidth();
            r.y = p.y - r.HalfHeight();
            ball->SetBounds(r);
            ball->SetRotation(int(std::atan2((q.y - p.y).ToDouble(), (q.x - p.x).ToDouble()) * 180 / M_PI) - 90);
            balls.push_back({ball.get(), curves[c].NearTunnelAt(d)});
            objects.push_back(std::move(ball));
        }
    }
    for (const Placed& p : balls)
        if (p.under)
            p.ball->Draw(screen, 0, 0);
    for (const Overlay& o : overlays) {
        if (!o.surface)
            return false;
        o.surface->Draw(screen, o.x, o.y, o.surface->GetWidth(), o.surface->GetHeight(), 0, 0);
    }
    for (const Placed& p : balls)
        if (!p.under)
            p.ball->Draw(screen, 0, 0);
    for (const TreasurePoint& spot : map.treasure) {
        auto coin = std::make_unique<Coin>(&app);
        if (!coin->Init())
            return false;
        FixedVec2 at = Design(mapping, spot.x, spot.y);
        coin->SetPositionAndSize(FixedVec2(at.x - coin->Bounds().HalfWidth(), at.y - coin->Bounds().HalfHeight()), FixedVec2());
        coin->Draw(screen, 0, 0);
        objects.push_back(std::move(coin));
    }
    auto frog = std::make_unique<Frog>(&app);
    if (!frog->Init())
        return false;
    FixedVec2 centre = Design(mapping, map.frogX, map.frogY);
    FixedRect fb = frog->Bounds();
    fb.x = centre.x - fb.HalfWidth();
    fb.y = centre.y - fb.HalfHeight();
    frog->SetBounds(fb);
    frog->Draw(screen, 0, 0);
    return true;
}

// The board's frame over a composed map as the screen draws it: the seven pieces at their places,
// three spare lives, a caption, a score, the bar two thirds full and the menu button.
bool DrawHud(BoardLookApp& app, Surface* screen, int number)
{
    const int* ints = app.GetLayoutTable().ints.data();
    const int W = screen->GetWidth(), H = screen->GetHeight();
    const char* const names[] = {"GameUIFrameTL", "GameUIFrameTR", "GameUIFrameL", "GameUIFrameR",
                                 "GameUIFrameBL", "GameUIFrameB",  "GameUIFrameBR", "LevelProgress",
                                 "LivesFrog",     "btn_hud_menu"};
    ResourceEntry* sets[10] = {};
    bool ok = true;
    for (int i = 0; i < 10; ++i) {
        sets[i] = app.GetSpriteList()->FindByName(names[i]);
        if (!sets[i] || sets[i]->Load().failed()) {
            sets[i] = nullptr;
            ok = false;
        }
    }
    Font* font = app.SmallFont();
    if (ok && font) {
        Surface* p[7];
        for (int i = 0; i < 7; ++i)
            p[i] = sets[i]->GetFrame(0);
        const int at[7][2] = {{0, 0},
                              {W - p[1]->GetWidth(), 0},
                              {0, p[0]->GetHeight()},
                              {W - p[3]->GetWidth(), p[1]->GetHeight()},
                              {0, H - p[4]->GetHeight()},
                              {p[4]->GetWidth(), H - p[5]->GetHeight()},
                              {W - p[6]->GetWidth(), H - p[6]->GetHeight()}};
        for (int i = 0; i < 7; ++i)
            p[i]->Draw(screen, at[i][0], at[i][1], p[i]->GetWidth(), p[i]->GetHeight(), 0, 0);
        Surface* frog = sets[8]->GetFrame(0);
        for (int i = 0; i < 3; ++i)
            frog->Draw(screen, ints[kLayoutLivesX] + i * ints[kLayoutLivesSpacing], ints[kLayoutLivesY],
                       frog->GetWidth(), frog->GetHeight(), 0, 0);
        std::string caption = "Lvl " + std::to_string(number / 5 + 1) + "-" + std::to_string(number % 5 + 1);
        font->DrawText(screen, ints[kLayoutLevelCaptionX] - font->MeasureText(caption.c_str()) / 2,
                       ints[kLayoutLevelCaptionY], caption.c_str(), 255, 255, 128, 0, 255, nullptr);
        const char* score = "1,234,560";
        font->DrawText(screen, ints[kLayoutScoreRight] - font->MeasureText(score), ints[kLayoutScoreY], score, 255, 255,
                       128, 0, 255, nullptr);
        Surface* bar = sets[7]->GetFrame(0);
        bar->Draw(screen, ints[kLayoutProgressX], ints[kLayoutProgressY], bar->GetWidth() * 2 / 3, bar->GetHeight(), 0,
                  0);
        Surface* menu = sets[9]->GetFrame(0);
        menu->Draw(screen, 0, H - menu->GetHeight(), menu->GetWidth(), menu->GetHeight(), 0, 0);
    }
    for (ResourceEntry* set : sets)
        if (set)
            set->Release();
    return ok && font;
}

// The gauntlet's thumbnails in a grid, with the first map drawn again locked ("random" half over
// it) beside "random" itself.
bool DrawThumbnailSheet(BoardLookApp& app, const MapTable& maps, Surface& sheet, int w, int h)
{
    sheet.Clear(24, 20, 16);
    int at = 0;
    auto place = [&](Surface* picture, int alpha) {
        picture->Draw(&sheet, 4 + (at % 6) * (w + 4), 4 + (at / 6) * (h + 4), w, h, 0, alpha);
    };
    for (const MapInfo& map : maps) {
        auto thumb = Picture(app, std::string("thumbs\\") + map.art);
        if (!thumb)
            return false;
        place(thumb.get(), 0);
        ++at;
    }
    auto random = Picture(app, "thumbs\\random");
    auto locked = Picture(app, std::string("thumbs\\") + maps[0].art);
    if (!random || !locked)
        return false;
    place(random.get(), 0);
    ++at;
    place(locked.get(), 0);
    place(random.get(), -128);
    return true;
}

}  // namespace

// Writes look/maps/<art>_<W>x<H>.png for every map, the same with the board's frame over it in
// look/hud/, and look/maps/thumbs_<W>x<H>.png.
TEST(MapsArt, PictureCheckComposesEveryMapAtEveryResolution)
{
    std::string dir = std::string(KELO_LOOK_DIR) + "/maps";
    mkdir(KELO_LOOK_DIR, 0755);
    mkdir(dir.c_str(), 0755);
    std::string hudDir = std::string(KELO_LOOK_DIR) + "/hud";
    mkdir(hudDir.c_str(), 0755);
    MapTable maps = Maps();
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        Surface* screen = app.GetScreenSurface();
        for (const MapInfo& map : maps) {
            SCOPED_TRACE(map.art);
            screen->Clear(0, 0, 0);
            ASSERT_TRUE(ComposeMap(app, map, screen));
            ASSERT_TRUE(WriteScreenPng(screen, dir + "/" + map.art + "_" + ShippedName(res) + ".png"));
            ASSERT_TRUE(DrawHud(app, screen, int(&map - &maps[0])));
            ASSERT_TRUE(WriteScreenPng(screen, hudDir + "/" + map.art + "_" + ShippedName(res) + ".png"));
        }
        const LayoutTable& layout = app.GetLayoutTable();
        int w = layout.ints[kLayoutThumbW], h = layout.ints[kLayoutThumbH];
        Surface sheet(&app);
        ASSERT_TRUE(sheet.Create(6 * (w + 4) + 4, 4 * (h + 4) + 4));
        ASSERT_TRUE(DrawThumbnailSheet(app, maps, sheet, w, h));
        ASSERT_TRUE(WriteScreenPng(&sheet, dir + "/thumbs_" + ShippedName(res) + ".png"));
    }
}

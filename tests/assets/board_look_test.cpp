#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/font_manager.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/play/ball_chain.h"
#include "game/play/ball_shadow.h"
#include "game/play/ball_sprite.h"
#include "game/play/coin.h"
#include "game/play/curve_file.h"
#include "game/play/effect_emitter.h"
#include "game/play/explosion.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/hole.h"
#include "game/play/track_sparkle.h"
#include "board_look_app.h"
#include "tests/game/play/board_app.h"

namespace {

// The board's sets: name, frame count and design size of a frame.
struct BoardSet {
    const char* name;
    int frames, width, height;
};
const BoardSet kBoardSets[] = {
    {"Ball1", 50, 32, 32},      {"Ball2", 50, 32, 32},       {"Ball3", 50, 32, 32},
    {"Ball4", 50, 32, 32},      {"Ball5", 50, 32, 32},       {"Ball6", 50, 32, 32},
    {"BonusBall1", 4, 32, 32},  {"BonusBall2", 4, 32, 32},   {"BonusBall3", 4, 32, 32},
    {"BonusBall4", 4, 32, 32},  {"BonusBall5", 4, 32, 32},   {"BonusBall6", 4, 32, 32},
    {"BonusLightAlpha", 4, 48, 48}, {"BallShadow", 1, 40, 40}, {"Frog", 1, 112, 112},
    {"FrogAll", 1, 112, 112},   {"EyeBlink", 2, 112, 112},   {"Tongue", 2, 40, 40},
    {"FrogNose", 1, 48, 32},    {"NextToShoot", 6, 16, 16},  {"Hole", 1, 64, 64},
    {"Pitcover", 8, 64, 64},    {"BallExplosion", 12, 64, 64}, {"Explosion", 10, 80, 80},
    {"Coin", 24, 32, 32},       {"ParticleStarSmall", 18, 16, 16}, {"ParticleBlik", 1, 16, 16},
    {"ParticleTrace", 14, 16, 16}, {"Sparkle", 12, 16, 16},
};

// Whole pixels of a design length at the folder's scale: 1, 1/2 or 3/8.
int Scaled(int design, int width, int height)
{
    if (width >= 640 && height >= 480)
        return design;
    if (width == 240)
        return design * 3 / 8;
    return design / 2;
}

// Draws every board set in rows on a dark stone ground: every frame, or six spread evenly over
// the longer animations.
void DrawContactSheet(GameApp& app, Surface* screen)
{
    screen->FillRect(0, 0, screen->GetWidth(), screen->GetHeight(), 58, 46, 34);
    int x = 2, y = 2, rowHeight = 0;
    // Smallest first, so each row holds frames of like heights.
    std::vector<BoardSet> sets(std::begin(kBoardSets), std::end(kBoardSets));
    std::stable_sort(sets.begin(), sets.end(), [](const BoardSet& a, const BoardSet& b) { return a.height < b.height; });
    for (const BoardSet& set : sets) {
        ResourceEntry* entry = app.GetSpriteList()->FindByName(set.name);
        if (!entry || entry->Load().failed())
            continue;
        int count = entry->GetFrameCount(), shown = std::min(count, 6);
        for (int k = 0; k < shown; ++k) {
            Surface* frame = entry->GetFrame(k * count / shown);
            int w = frame->GetWidth(), h = frame->GetHeight();
            if (x + w > screen->GetWidth()) {
                x = 2;
                y += rowHeight + 1;
                rowHeight = 0;
            }
            frame->Draw(screen, x, y, w, h, 0, 0);
            x += w + 1;
            rowHeight = std::max(rowHeight, h);
        }
        x += 3;
        entry->Release();
    }
}

// A chain through a tunnel, balls rolling four ways, the aiming frog, two holes (one glowing),
// both explosions, a coin with its trail, bursts, texts and the track sparkle, each drawn by
// its own Draw.
void DrawScene(BoardLookApp& app, Surface* screen, Font* font)
{
    screen->FillRect(0, 0, screen->GetWidth(), screen->GetHeight(), 44, 58, 36);
    DesignMapping mapping = DesignMappingOf(&app);
    CurvePath curve;
    curve.Bind(&app);
    // From the left edge round to a pit on the right, a loop under a stone bridge on the way.
    const float points[][2] = {{-20, 80},  {150, 60},  {260, 40},  {380, 70},  {500, 100}, {600, 160},
                               {590, 260}, {580, 360}, {420, 420}, {300, 400}, {180, 380}, {90, 330},
                               {110, 250}};
    for (int s = 0; s < 4; ++s)
        curve.Segment(s).SetPoints(Design(mapping, points[3 * s][0], points[3 * s][1]),
                                   Design(mapping, points[3 * s + 1][0], points[3 * s + 1][1]),
                                   Design(mapping, points[3 * s + 2][0], points[3 * s + 2][1]),
                                   Design(mapping, points[3 * s + 3][0], points[3 * s + 3][1]));
    curve.SetSegmentCount(4);
    curve.Segment(1).tunnel = 1;
    curve.BuildTable();
    Fixed length = curve.Length();
    // The groove the balls run in, paved over where the track runs under the bridge.
    for (Fixed d; d < length; d += Fixed::FromInt(1)) {
        uint8_t tunnel = 0;
        FixedVec2 p = curve.TablePoint(d, &tunnel, nullptr);
        int r = Scaled(tunnel ? 18 : 14, screen->GetWidth(), screen->GetHeight());
        if (tunnel)
            screen->FillRect(p.x.ToInt() - r, p.y.ToInt() - r, 2 * r, 2 * r, 120, 104, 84);
        else
            screen->FillRect(p.x.ToInt() - r, p.y.ToInt() - r, 2 * r, 2 * r, 30, 22, 14);
    }

    RecordingScreen board;
    board.curveCount = 1;
    board.curves[0] = &curve;
    app.SetBoardScreen(&board);

    std::vector<std::unique_ptr<GameObject>> objects;
    auto add = [&](GameObject* object) -> GameObject* {
        objects.emplace_back(object);
        return object->Init() ? object : nullptr;
    };

    Hole* hole = static_cast<Hole*>(add(new Hole(&app)));
    FixedVec2 end = curve.PointAt(length, nullptr, nullptr);
    hole->SetPositionAndSize(FixedVec2(end.x - Fixed::FromInt(hole->GetCoverFrameCount()), end.y), FixedVec2());
    FixedRect bounds;
    hole->GetBounds(bounds);
    Surface* pit = app.GetSpriteList()->FindByName("Hole")->GetFrame(0);
    bounds.w = Fixed::FromInt(pit->GetWidth());
    bounds.h = bounds.w;
    bounds.x = end.x - bounds.HalfWidth();
    bounds.y = end.y - bounds.HalfHeight();
    hole->SetBounds(bounds);
    hole->SetAngle(Fixed::FromInt(270));
    hole->SetCoverTarget(4);
    for (int i = 0; i < 25; ++i)
        hole->Update();
    hole->SetDrawingEnabled(true);
    hole->Draw(screen, 0, 0);

    Hole* second = static_cast<Hole*>(add(new Hole(&app)));
    bounds.x = Design(mapping, 560, 40).x - bounds.HalfWidth();
    bounds.y = Design(mapping, 560, 40).y - bounds.HalfHeight();
    second->SetBounds(bounds);
    second->SetCoverTargetLast();
    second->StartGlow();
    for (int i = 0; i < 40; ++i)
        second->Update();
    second->StartGlow();
    for (int i = 0; i < 12; ++i)
        second->Update();
    second->SetDrawingEnabled(true);
    second->Draw(screen, 0, 0);

    TrackSparkle sparkle(&app, &board);
    sparkle.Init();
    sparkle.SetEnds();
    sparkle.Start(0, Fixed(), TrackSparkle::kPreview);
    for (int i = 0; i < 12; ++i)
        sparkle.Update();
    sparkle.Draw(screen);

    auto chain = std::make_unique<BallChain>(&app);
    chain->SetPath(&curve, 0);
    chain->LayOut(44, length - chain->ballDiameter * Fixed::FromInt(3));
    for (int i = 0; i < chain->count; ++i) {
        auto* sprite = static_cast<BallSprite*>(add(new BallSprite(&app, (i / 2 + i / 5) % 6)));
        chain->balls[i].sprite = sprite;
        if (i == 7)
            sprite->SetPowerUp(i % 4);
        if (i == 11)
            sprite->SetPowerUp(1);
    }
    for (int frame = 0; frame < 70; ++frame) {
        chain->Update(&board);
        for (int i = 0; i < chain->count; ++i)
            chain->balls[i].sprite->Update();
    }
    for (int i = chain->count - 1; i >= 0; --i) {
        BallSprite* sprite = chain->balls[i].sprite;
        if (!sprite->IsHidden() && sprite->GetVisibility() > 0)
            sprite->Draw(screen, 0, 0);
    }

    // Four balls each way, a few pixels apart: their bands move the way they roll.
    const int rotations[4] = {270, 0, 90, 180};  // right, down, left, up (rotation = travel - 90)
    const float starts[4][2] = {{250, 150}, {420, 130}, {420, 250}, {250, 300}};
    const float steps[4][2] = {{34, 0}, {0, 34}, {-34, 0}, {0, -34}};
    for (int way = 0; way < 4; ++way)
        for (int k = 0; k < 4; ++k) {
            auto* ball = static_cast<BallSprite*>(add(new BallSprite(&app, way + 1)));
            FixedVec2 at = Design(mapping, starts[way][0] + k * steps[way][0], starts[way][1] + k * steps[way][1]);
            ball->SetStartFrame(Fixed());
            ball->SetRoll(rotations[way], Fixed::FromInt(k * 6));
            FixedRect b = ball->Bounds();
            b.x = at.x - b.HalfWidth();
            b.y = at.y - b.HalfHeight();
            ball->SetBounds(b);
            ball->Draw(screen, 0, 0);
        }

    Frog* frog = static_cast<Frog*>(add(new Frog(&app)));
    FixedVec2 centre = Design(mapping, 320, 220);
    FixedRect fb = frog->Bounds();
    fb.x = centre.x - fb.HalfWidth();
    fb.y = centre.y - fb.HalfHeight();
    frog->SetBounds(fb);
    frog->SetAngle(Fixed::FromInt(235));
    frog->StartRecoil();
    frog->Update();
    frog->Update();
    frog->Draw(screen, 0, 0);
    frog->DrawBallInMouth(screen, 2);
    auto* mouthBall = static_cast<BallSprite*>(add(new BallSprite(&app, 2)));
    Fixed mx, my;
    RotateAround(*app.GetRenderer(), centre.x, centre.y, Fixed(),
                 app.GetLayoutTable().fixed[kLayoutTongueOffset] + frog->GetRecoilOffset(), frog->GetAngle(), mx, my,
                 nullptr);
    FixedRect mb = mouthBall->Bounds();
    mb.x = mx - mb.HalfWidth();
    mb.y = my - mb.HalfHeight();
    mouthBall->SetBounds(mb);
    mouthBall->SetRotation(235);
    mouthBall->Draw(screen, 0, 0);
    frog->DrawTongue(screen);
    frog->DrawNextBall(screen, 3);

    auto* burst = static_cast<Explosion*>(add(new Explosion(&app)));
    burst->SetColour(4);
    burst->CentreOn(Design(mapping, 140, 200).x, Design(mapping, 140, 200).y);
    for (int i = 0; i < 4; ++i)
        burst->Update();
    burst->Draw(screen, 0, 0);
    auto* bomb = static_cast<Explosion*>(add(new Explosion(&app)));
    bomb->CentreOn(Design(mapping, 470, 330).x, Design(mapping, 470, 330).y);
    for (int i = 0; i < 4; ++i)
        bomb->Update();
    bomb->Draw(screen, 0, 0);

    auto* coin = static_cast<Coin*>(add(new Coin(&app)));
    auto* trail = static_cast<TraceEmitter*>(add(new TraceEmitter(&app)));
    FixedVec2 spot = Design(mapping, 200, 130);
    coin->SetPositionAndSize(FixedVec2(spot.x - coin->Bounds().HalfWidth(), spot.y - coin->Bounds().HalfHeight()),
                             FixedVec2());
    coin->SetTrail(trail);
    for (int i = 0; i < 15; ++i) {
        coin->Update();
        trail->Update();
    }
    trail->Draw(screen, 0, 0);
    coin->Draw(screen, 0, 0);

    auto* star = static_cast<StarEmitter*>(add(new StarEmitter(&app)));
    FixedVec2 starAt = Design(mapping, 560, 200);
    star->SetPositionAndSize(starAt, FixedVec2());
    for (int i = 0; i < 6; ++i)
        star->Update();
    star->DrawPass(screen, 0);
    star->DrawPass(screen, 1);
    auto* spark = static_cast<SparkEmitter*>(add(new SparkEmitter(&app)));
    spark->SetPositionAndSize(Design(mapping, 120, 420), FixedVec2());
    for (int i = 0; i < 4; ++i)
        spark->Update();
    spark->Draw(screen, 0, 0);

    FloatingText texts[2] = {FloatingText(&app), FloatingText(&app)};
    FixedVec2 t1 = Design(mapping, 140, 170), t2 = Design(mapping, 470, 290);
    int r, g, b;
    BallSprite::ColourTint(4, r, g, b);
    texts[0].Start(t1.x.ToInt(), t1.y.ToInt(), "+120", "COMBO x2", r, g, b, font, screen);
    texts[1].Start(t2.x.ToInt(), t2.y.ToInt(), "DOUBLE GAP BONUS", "+500", 255, 255, 96, font, screen);
    for (FloatingText& text : texts) {
        for (int i = 0; i < 3; ++i)
            text.Update();
        text.Draw();
    }
    objects.clear();
    app.SetBoardScreen(nullptr);
}

}  // namespace

TEST(BoardArt, EverySetLoadsAtEveryResolutionWithItsCountAndSize)
{
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        for (const BoardSet& set : kBoardSets) {
            ResourceEntry* entry = app.GetSpriteList()->FindByName(set.name);
            ASSERT_NE(entry, nullptr) << set.name;
            ASSERT_TRUE(entry->Load().ok()) << set.name;
            EXPECT_EQ(entry->GetFrameCount(), set.frames) << set.name;
            for (int i = 0; i < entry->GetFrameCount(); ++i) {
                Surface* frame = entry->GetFrame(i);
                ASSERT_NE(frame, nullptr) << set.name << " " << i;
                EXPECT_EQ(frame->GetWidth(), Scaled(set.width, res.width, res.height)) << set.name;
                EXPECT_EQ(frame->GetHeight(), Scaled(set.height, res.width, res.height)) << set.name;
            }
            entry->Release();
        }
        // The pieces take them: a ball of every colour, the frog, a hole, the coin.
        for (int colour = 0; colour < 6; ++colour) {
            BallSprite sprite(&app, colour);
            EXPECT_TRUE(sprite.Init()) << colour;
        }
        Frog frog(&app);
        EXPECT_TRUE(frog.Init());
        Hole hole(&app);
        EXPECT_TRUE(hole.Init());
        Coin coin(&app);
        EXPECT_TRUE(coin.Init());
    }
}

// The board takes 128 off the shadow's alpha and draws the ball over it, the shadow moved by
// layout Fixed 25 towards the lower left: past the ball's rim enough of it must stay dark to be
// seen, at every resolution.
TEST(BoardArt, BallShadowShowsPastTheBallsRim)
{
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        ResourceEntry* shadowSet = app.GetSpriteList()->FindByName("BallShadow");
        ResourceEntry* ballSet = app.GetSpriteList()->FindByName("Ball1");
        ASSERT_TRUE(shadowSet && shadowSet->Load().ok() && ballSet && ballSet->Load().ok());
        Surface* shadow = shadowSet->GetFrame(0);
        Surface* ball = ballSet->GetFrame(0);
        Surface* screen = app.GetScreenSurface();
        screen->FillRect(0, 0, screen->GetWidth(), screen->GetHeight(), 160, 150, 130);
        const int bx = 40, by = 40;
        const Fixed shift = app.GetLayoutTable().fixed[kLayoutShadowOffset];
        const Fixed x = Fixed::FromInt(bx) - shift + Fixed::FromInt(shadow->GetWidth() / 2);
        const Fixed y = Fixed::FromInt(by) + shift + Fixed::FromInt(shadow->GetHeight() / 2);
        DrawBallShadow(*app.GetRenderer(), shadow, screen, x, y, Fixed16::FromInt(1));
        ball->Draw(screen, bx, by, ball->GetWidth(), ball->GetHeight(), 0, 0);
        // Ground pixels a quarter darker or more, beside the ball's box.
        const uint16_t ground = screen->GetPixels()[0];
        int dark = 0;
        for (int y = by - ball->GetHeight(); y < by + 2 * ball->GetHeight(); ++y)
            for (int x = bx - ball->GetWidth(); x < bx + 2 * ball->GetWidth(); ++x) {
                bool onBall = x >= bx && x < bx + ball->GetWidth() && y >= by && y < by + ball->GetHeight();
                uint16_t p = screen->GetPixels()[y * screen->GetRawWidth() + x];
                dark += !onBall && ((p >> 5) & 63) * 4 <= ((ground >> 5) & 63) * 3;
            }
        EXPECT_GE(dark, ball->GetWidth()) << "of " << ball->GetWidth() << " wide balls";
        shadowSet->Release();
        ballSet->Release();
    }
}

// Writes look/board_sets_<W>x<H>.png (every frame of every set) and look/board_scene_<W>x<H>.png
// (the pieces drawing a board) at every resolution.
TEST(BoardArt, ContactSheetAndSceneAtEveryResolution)
{
    mkdir(KELO_LOOK_DIR, 0755);
    for (const ShippedResolution& res : kShippedResolutions) {
        SCOPED_TRACE(ShippedName(res));
        BoardLookApp app(res.width, res.height);
        ASSERT_TRUE(app.Ready());
        Surface* screen = app.GetScreenSurface();
        DrawContactSheet(app, screen);
        std::string name = ShippedName(res) + ".png";
        ASSERT_TRUE(WriteScreenPng(screen, std::string(KELO_LOOK_DIR) + "/board_sets_" + name));
        Font* font = app.MainFont();
        ASSERT_NE(font, nullptr);
        DrawScene(app, screen, font);
        ASSERT_TRUE(WriteScreenPng(screen, std::string(KELO_LOOK_DIR) + "/board_scene_" + name));
    }
}

// One frame of the board, back to front. The background is one block copy when it has the
// screen's size, hole covers are painted into it only when their frame changes, shadows show only
// at the top graphics setting, and the aim guide is walked by the update, not here.
#include <cstring>

#include "engine/graphics/fill_lines.h"
#include "engine/graphics/font.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/game_helpers.h"
#include "game/app/profile_store.h"
#include "game/play/aim_walk.h"
#include "game/play/ball_shadow.h"
#include "game/play/ball_sprite.h"
#include "game/play/effect_emitter.h"
#include "game/play/explosion.h"
#include "game/play/floating_text.h"
#include "game/play/frog.h"
#include "game/play/game_hud.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/play/region_copy.h"
#include "game/play/track_sparkle.h"

namespace {

constexpr int kMaxAimSteps = 4096;

Surface* FirstFrame(GameApp* app, const char* set)
{
    ResourceList* list = app->GetSpriteList();
    ResourceEntry* entry = list ? list->FindByName(set) : nullptr;
    return entry ? entry->GetFrame(0) : nullptr;
}

FixedVec2 Centre(const GameObject& object)
{
    const FixedRect& b = object.Bounds();
    return {b.CenterX(), b.CenterY()};
}

template <class F>
void ForEachLive(OwnedItemArray<GameObject>& list, F&& f)
{
    for (int i = 0; i < list.Count(); ++i) {
        GameObject* object = *list.At(i);
        if (object && !object->IsDead())
            f(object);
    }
}

}  // namespace

Surface* GameplayScreen::DrawTarget() const
{
    return application->GetScreenSurface();
}

void GameplayScreen::RefreshHoleCovers()
{
    if (!levelImage)
        return;
    ForEachLive(effects, [&](GameObject* object) {
        if (object->Type() != kObjectHole)
            return;
        auto* hole = static_cast<Hole*>(object);
        if (hole->GetCoverFrame().ToInt() == hole->GetLastDrawnCover())
            return;
        if (hole->cachedBackground)
            CopyRegionOpaque(hole->cachedBackground, levelImage, hole->cachedX, hole->cachedY, hole->cachedBackground->GetWidth(),
                             hole->cachedBackground->GetHeight(), 0, 0);
        hole->SetDrawingEnabled(true);
        hole->Draw(levelImage, 0, 0);
        hole->SetDrawingEnabled(false);
    });
}

int GameplayScreen::GetTextPlaces(TextPlace* out, int max)
{
    return hud ? hud->GetTextPlaces(out, max) : 0;
}

void GameplayScreen::Draw()
{
    Surface* screen = DrawTarget();
    if (!screen)
        return;
    RefreshHoleCovers();
    DrawBackground(screen);
    DrawHoles(screen, false);
    if (trackSparkle)
        trackSparkle->Draw(screen);
    DrawLayers();
    int shakeX = 0, shakeY = 0;
    const bool flying = IsQuakeFadeIn();
    if (flying)
        TakeShake(shakeX, shakeY);
    if (flying)
        DrawQuakePieces(screen, shakeX, shakeY);
    DrawFrogAndBalls(screen, flying, shakeX, shakeY);
    DrawEffects(screen);
    DrawFloatingTexts();
    DrawLossFade(screen);
    if (hud) {
        // The frame's inner bands are painted into the level picture once; a board without one
        // (the nebula maps) would show the frame without them.
        if (!levelImage)
            hud->DrawFrame(screen, false);
        hud->Draw(screen);
    }
    if (menuButton && menuButton->IsVisible())
        menuButton->Draw();
    DrawTitle(screen);
    DrawChildrenExcept(menuButton);
}

void GameplayScreen::DrawBackground(Surface* target)
{
    if (!target || !target->GetPixels())
        return;
    if (levelImage) {
        if (levelImage->GetWidth() == target->GetWidth() && levelImage->GetHeight() == target->GetHeight() &&
            levelImage->GetRawWidth() == target->GetRawWidth() && levelImage->GetBytesPerPixel() == 2 &&
            target->GetBytesPerPixel() == 2) {
            std::memcpy(target->GetPixels(), levelImage->GetPixels(),
                        size_t(target->GetRawWidth()) * target->GetRawHeight() * 2);
            return;
        }
        // A smaller picture would leave the last frame showing around it.
        target->Clear(0, 0, 0);
        levelImage->BlitRegion(target, levelImageOffset[0], levelImageOffset[1], 0, 0, 0, 0, 0);
        return;
    }
    if (nebula && nebula->GetWidth() > 0 && nebula->GetHeight() > 0) {
        const int w = nebula->GetWidth(), h = nebula->GetHeight();
        for (int y = nebulaScroll.ToInt(); y < target->GetHeight(); y += h)
            for (int x = 0; x < target->GetWidth(); x += w)
                CopyRegionOpaque(nebula, target, x, y, w, h, 0, 0);
        return;
    }
    target->Clear(0, 0, 0);
}

void GameplayScreen::CaptureHoleBackgrounds(Surface* image)
{
    if (!image)
        return;
    Surface* pit = FirstFrame(application, "Hole");
    if (!pit)
        return;
    const int w = pit->GetWidth() + 4, h = pit->GetHeight() + 4;
    ForEachLive(effects, [&](GameObject* object) {
        if (object->Type() != kObjectHole)
            return;
        auto* hole = static_cast<Hole*>(object);
        delete hole->cachedBackground;
        hole->cachedBackground = CreateSurfaceSized(application, w, h, false);
        if (!hole->cachedBackground)
            return;
        FixedVec2 centre = Centre(*hole);
        hole->cachedX = centre.x.ToInt() - w / 2;
        hole->cachedY = centre.y.ToInt() - h / 2;
        CopyRegionOpaque(image, hole->cachedBackground, 0, 0, w, h, hole->cachedX, hole->cachedY);
    });
}

void GameplayScreen::DrawHoles(Surface* target, bool full)
{
    ForEachLive(effects, [&](GameObject* object) {
        if (object->Type() != kObjectHole)
            return;
        auto* hole = static_cast<Hole*>(object);
        hole->SetDrawingEnabled(full);
        hole->Draw(target, 0, 0);
        hole->SetDrawingEnabled(false);
    });
}

void GameplayScreen::DrawShadow(Surface* target, BallSprite* sprite)
{
    TrigTable* trig = application->GetRenderer();
    if (!ballShadowImage || !trig)
        return;
    const Fixed shift = Fixed::Raw(static_cast<int32_t>(
        int64_t(application->GetLayoutTable().fixed[kLayoutShadowOffset].raw) * sprite->GetVisibility() / 256));
    const FixedRect& b = sprite->Bounds();
    const Fixed x = b.x - shift + Fixed::FromInt(ballShadowImage->GetWidth() / 2);
    const Fixed y = b.y + shift + Fixed::FromInt(ballShadowImage->GetHeight() / 2);
    DrawBallShadow(*trig, ballShadowImage, target, x, y, sprite->GetScale());
}

void GameplayScreen::DrawLayers()
{
    Surface* screen = DrawTarget();
    if (!screen)
        return;
    ProfileStore* profiles = application->GetProfiles();
    const bool shadows = profiles && profiles->graphicsQuality == kHighestQuality && ballShadowImage;
    auto sprites = [&](auto&& f) {
        for (int i = 0; i < ballSprites.Count(); ++i) {
            BallSprite* sprite = *ballSprites.At(i);
            if (sprite && !sprite->IsDead())
                f(sprite);
        }
    };
    if (shadows)
        sprites([&](BallSprite* s) {
            if (s->IsOffsetDrawn())
                DrawShadow(screen, s);
        });
    sprites([&](BallSprite* s) {
        if (s->IsSelfDrawn())
            s->Draw(screen, 0, 0);
    });
    for (int i = 0; i < overlayCount && i < kMaxOverlays; ++i)
        if (overlayImages[i])
            overlayImages[i]->BlitRegion(screen, overlayPositions[i].x.ToInt(), overlayPositions[i].y.ToInt(), 0, 0,
                                         0, 0, 0);
    if (shadows)
        sprites([&](BallSprite* s) {
            if (!s->IsOffsetDrawn() && s->GetVisibility() > 0)
                DrawShadow(screen, s);
        });
    sprites([&](BallSprite* s) {
        if (!s->IsSelfDrawn())
            s->Draw(screen, 0, 0);
    });
}

bool GameplayScreen::IsQuakeFadeIn() const
{
    return IsScreenFadingIn() && application->GetTransition().kind == kTransitionQuake;
}

void GameplayScreen::TakeShake(int& x, int& y)
{
    GameApp* app = application;
    x = y = 0;
    if (app->GetTransition().quakeCountdown > 0) {
        x = app->NextJitter();
        y = app->NextJitter();
    }
}

void GameplayScreen::DrawQuakePieces(Surface* target, int shakeX, int shakeY)
{
    GameApp* app = application;
    for (int i = 0; i < 4; ++i) {
        Surface* piece = app->GetQuakeImage(i);
        if (!piece)
            continue;
        const FixedVec2& at = app->QuakePosition(i);
        piece->BlitRegion(target, at.x.ToInt() + shakeX, at.y.ToInt() + shakeY, 0, 0, 0, 0, 0);
    }
}

void GameplayScreen::DrawFrogAndBalls(Surface* target, bool flying, int shakeX, int shakeY)
{
    if (!frog)
        return;
    if (flying) {
        GameApp* app = application;
        const ScreenTransition& transition = app->GetTransition();
        FixedVec2 at = transition.start;
        at.x += Fixed::FromInt(shakeX);
        at.y += Fixed::FromInt(shakeY);
        const Fixed16 scale = transition.scale;
        Surface* body = FirstFrame(app, "Frog");
        if (body && scale.raw > Fixed16::FromInt(1).raw && app->GetRenderer()) {
            // The frog's shadow falls further away the higher it flies.
            const int64_t lift = (int64_t(scale.raw) - 65536) * body->GetHeight();
            const Fixed offset = Fixed::Raw(static_cast<int32_t>(lift >> 8));
            app->GetRenderer()->DrawRotatedTinted(body, target, at.x - offset, at.y + offset,
                                                  frog->GetAngle().raw, scale, 0, 0, 0, -160);
        }
        frog->DrawAll(target, at, scale);
        return;
    }
    frog->Draw(target, 0, 0);
    frog->DrawBallInMouth(target, currentBall ? currentBall->GetColour() : -1);
    DrawAimGuide();
    if (currentBall && !shotPending)
        currentBall->Draw(target, 0, 0);
    if (nextBall)
        frog->DrawNextBall(target, nextBall->GetColour());
    frog->DrawTongue(target);
}

void GameplayScreen::DrawEffects(Surface* target)
{
    ForEachLive(effects, [&](GameObject* object) {
        if (object->Type() == kObjectExplosion)
            object->Draw(target, 0, 0);
    });
    for (int pass = 0; pass < 2; ++pass)
        ForEachLive(effects, [&](GameObject* object) {
            if (object->Type() == kObjectStarEmitter)
                static_cast<StarEmitter*>(object)->DrawPass(target, pass);
        });
    ForEachLive(effects, [&](GameObject* object) {
        const int type = object->Type();
        if (type != kObjectHole && type != kObjectExplosion && type != kObjectStarEmitter)
            object->Draw(target, 0, 0);
    });
}

void GameplayScreen::DrawFloatingTexts()
{
    for (FloatingText* text : floatingTexts)
        if (text && text->GetLife() > 0)
            text->Draw();
}

void GameplayScreen::DrawLossFade(Surface* target)
{
    if (lossFade <= 0)
        return;
    FillRectRotatedBlend(application, target, 0, 0, target->GetWidth(), target->GetHeight(), 0, 0, 0,
                         (lossFade / 2) & 255);
    Font* font = application->GetMainFont();
    if (font && !lossMessage.IsEmpty())
        font->DrawText(target, messageX, messageY, lossMessage.CStr(), 255, 255, 255, kEffectNone, lossFade & 255,
                       nullptr);
}

void GameplayScreen::DrawTitle(Surface* target)
{
    Font* font = application->GetMainFont();
    if (!titleActive || !font)
        return;
    for (int i = 0; i < 2; ++i) {
        const int alpha = titleAlphas[i].ToInt();
        if (alpha <= 0 || titleLines[i].IsEmpty())
            continue;
        font->DrawText(target, titlePositions[i].x, titlePositions[i].y, titleLines[i].CStr(), 255, 255, 128,
                       kEffectNone, alpha > 255 ? 255 : alpha, nullptr);
    }
}

void GameplayScreen::UpdateAimGuide()
{
    aimGuide[0] = aimGuide[1] = aimGuide[2] = FixedVec2();
    if (!frog || !currentBall)
        return;
    FixedVec2 p = Centre(*currentBall);
    FixedVec2 v;
    AimVector(v);
    if (v.x.raw == 0 && v.y.raw == 0)
        return;
    Surface* screen = DrawTarget();
    const Fixed width = Fixed::FromInt(screen ? screen->GetWidth() : 0);
    const Fixed height = Fixed::FromInt(screen ? screen->GetHeight() : 0);
    aimGuide[2] = WalkAimLine(p, v, width, height, kMaxAimSteps, [&](const FixedVec2& at, int) {
        return (hud && hud->HitTest(at.x.ToInt(), at.y.ToInt())) || CoinAtPoint(at) || ChainBallNear(at);
    });
    const LayoutTable& layout = application->GetLayoutTable();
    const FixedVec2 c = Centre(*frog);
    const TrigTable& trig = *application->GetRenderer();
    RotateAround(trig, c.x, c.y, layout.fixed[kLayoutAimGuideX], layout.fixed[kLayoutAimGuideY], frog->GetAngle(),
                 aimGuide[0].x, aimGuide[0].y, nullptr);
    RotateAround(trig, c.x, c.y, -layout.fixed[kLayoutAimGuideX], layout.fixed[kLayoutAimGuideY], frog->GetAngle(),
                 aimGuide[1].x, aimGuide[1].y, nullptr);
}

void GameplayScreen::DrawAimGuide()
{
    if ((aimGuide[0].x.raw == 0 && aimGuide[0].y.raw == 0) || !frog || !currentBall)
        return;
    Surface* screen = DrawTarget();
    if (!screen)
        return;
    if (accuracyTimer > 0) {
        // The fill takes its corners clockwise on the screen; the side of the end point decides.
        const FixedVec2 &a = aimGuide[2], &b = aimGuide[0], &c = aimGuide[1];
        const int64_t cross = int64_t(b.x.raw - a.x.raw) * (c.y.raw - a.y.raw) -
                              int64_t(b.y.raw - a.y.raw) * (c.x.raw - a.x.raw);
        if (cross >= 0)
            FillTriangleBlended(screen, a, b, c, 0, 255, 255, -64);
        else
            FillTriangleBlended(screen, a, c, b, 0, 255, 255, -64);
        return;
    }
    if (keyAiming && tapImage)
        tapImage->BlitRegion(screen, aimGuide[2].x.ToInt() - tapImage->GetWidth() / 2,
                             aimGuide[2].y.ToInt() - tapImage->GetHeight() / 2, 0, 0, 0, 0, 0);
}

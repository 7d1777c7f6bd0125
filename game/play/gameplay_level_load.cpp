#include <algorithm>
#include <new>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/ui/string_table.h"
#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/play/ball_sprite.h"
#include "game/play/curve_file.h"
#include "game/play/difficulty.h"
#include "game/play/frog.h"
#include "game/play/gameplay_screen.h"
#include "game/play/hole.h"
#include "game/tables/progression.h"

// Clearing the board and laying out a level: the map of the player's progress, its curve file,
// the frog, a hole at the end of each track, the background with the holes painted in, the
// tunnel overlays cut out of it, the ball shadow and the coin spots as distances along the tracks.

namespace {

Fixed RoundedFixed(float v)
{
    return Fixed::FromDouble(static_cast<double>(v));
}

// The rectangle of the given size centred on the point; halves by arithmetic shift.
FixedVec2 CentredCorner(const FixedVec2& centre, const FixedRect& size)
{
    return FixedVec2(Fixed::Raw(centre.x.raw - (size.w.raw >> 1)), Fixed::Raw(centre.y.raw - (size.h.raw >> 1)));
}

}  // namespace

bool GameplayScreen::ClearBoard()
{
    // The holes go with the effects; the tracks must not keep pointing at them.
    ballSprites.Clear();
    effects.Clear();
    ballSprites.Reserve(200);
    effects.Reserve(200);
    for (CurvePath& curve : curves)
        curve.Reset();
    for (BallChain* chain : chains)
        if (chain)
            chain->Reset();
    shot.Reset();
    shotCount = 0;
    DeleteAndNull(levelImage);
    DeleteAndNull(frog);
    DeleteAndNull(currentBall);
    DeleteAndNull(nextBall);
    for (Surface*& overlay : overlayImages)
        DeleteAndNull(overlay);
    overlayCount = 0;
    shotPending = 0;
    holeCountdown = 10;
    shootRequest = 0;
    recordResetWord = -1;
    return true;
}

ModeProgress* GameplayScreen::CurrentProgress(bool& gauntlet) const
{
    gauntlet = false;
    ProfileStore* profiles = application ? application->GetProfiles() : nullptr;
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    if (!player)
        return nullptr;
    ModeProgress* progress = player->CurrentModeProgress();
    gauntlet = player->mode == 1;
    return progress;
}

const MapInfo* GameplayScreen::CurrentMap() const
{
    return CurrentLevelMapInfo(application);
}

void GameplayScreen::MapDesignPoint(float& x, float& y)
{
    ::MapDesignPoint(DesignMappingOf(application), x, y);
}

LevelKeep& GameplayScreen::Keep() const
{
    return application->GetLevelKeep();
}

void GameplayScreen::ReadAheadOfNextStage()
{
    bool gauntlet = false;
    const ModeProgress* progress = CurrentProgress(gauntlet);
    if (gauntlet || !progress || Adventure::IsFirstStageOfDoor(progress->stage + 1))
        return;
    const MapInfo* next = application->GetLevelTables().maps.Find(AdventureStageMap(progress->stage + 1));
    if (!next)
        return;
    Keep().Choose(*next);
    Keep().ReadAhead();
}

LoadResult GameplayScreen::LoadCurves(const MapInfo& map)
{
    int count = 0;
    Keep().Choose(map);
    LoadResult why = Keep().CopyCurves(curves, count);
    curveCount = why.ok() ? count : 0;
    return why;
}

LoadResult GameplayScreen::LoadLevel()
{
    GameApp* app = application;
    levelImageOffset[0] = levelImageOffset[1] = 0;
    const MapInfo* map = CurrentMap();
    if (!map)
        return LoadResult::Unmade("level map", "the player's progress names no map of the tables");
    LoadResult why = LoadCurves(*map);
    if (why.failed())
        return why;
    const LayoutTable& layout = app->GetLayoutTable();

    float fx = map->frogX, fy = map->frogY;
    MapDesignPoint(fx, fy);
    mouthPoint = FixedVec2(RoundedFixed(fx), RoundedFixed(fy));
    frog = new (std::nothrow) Frog(app);
    if (!frog)
        return LoadResult::Unmade("frog", "no memory left");
    if (!frog->Init())
        return LoadResult::Unmade("frog", "its sprite sets cannot be had");
    frog->SetPositionAndSize(CentredCorner(mouthPoint, frog->Bounds()), FixedVec2(frog->Bounds().w, frog->Bounds().h));

    for (int c = 0; c < curveCount; ++c) {
        CurvePath& curve = curves[c];
        const Fixed length = curve.Length();
        const FixedVec2 end = curve.PointAt(length, nullptr, nullptr);
        Hole* hole = new (std::nothrow) Hole(app);
        if (!hole)
            return LoadResult::Unmade("hole", "no memory left");
        if (!hole->Init() || !effects.Append(hole)) {
            delete hole;
            return LoadResult::Unmade("hole", "its sprite sets cannot be had, or no memory left");
        }
        hole->SetPositionAndSize(CentredCorner(end, hole->Bounds()), FixedVec2(hole->Bounds().w, hole->Bounds().h));
        curve.SetHole(hole);
        const FixedVec2 before = curve.PointAt(length - layout.fixed[kLayoutBallDiameter], nullptr, nullptr);
        const int degrees = AngleDegrees((end.x - before.x).ToInt(), (end.y - before.y).ToInt()) + 90;
        hole->SetAngle(Fixed::FromInt(degrees));
    }

    why = LoadBallShadow();
    if (why.failed())
        return why;
    DeleteAndNull(nebula);
    why = map->nebula ? LoadNebula() : LoadLevelImages(*map);
    if (why.failed())
        return why;
    why = LoadOverlays(*map);
    if (why.failed())
        return why;

    // The coin spots of the map and the head distance each waits for on each track.
    const Fixed first = curves[0].Length();
    const Fixed second = curveCount == 2 ? curves[1].Length() : Fixed();
    const Fixed hundred = Fixed::FromInt(100);
    coinSpots.Clear();
    coinPoints = &coinSpots;
    for (int c = 0; c < kBoardCurves; ++c) {
        coinGuardDistances[c].Clear();
        coinGuards[c] = &coinGuardDistances[c];
    }
    for (const TreasurePoint& spot : map->treasure) {
        if (!coinSpots.Append(ItemPair{spot.x, spot.y}) ||
            !coinGuardDistances[0].Append(Fixed::FromInt(spot.curve1Percent) * first / hundred) ||
            !coinGuardDistances[1].Append(Fixed::FromInt(spot.curve2Percent) * second / hundred))
            return LoadResult::Unmade("coin spots", "no memory left");
    }
    return LoadResult();
}

LoadResult GameplayScreen::LoadNebula()
{
    LoadedValue<Surface*> kept = Keep().Background();
    if (kept.why.failed())
        return kept.why;
    // The board's own copy: only its pixels are drawn.
    const int w = kept.value->GetWidth(), h = kept.value->GetHeight();
    nebula = CreateSurfaceSized(application, w, h, false);
    if (!nebula)
        return LoadResult::Unmade(NebulaPath(application).CStr(), "no memory left");
    CopySurfaceOriented(application, kept.value, nebula, 0, 0, w, h);
    return LoadResult();
}

LoadResult GameplayScreen::LoadOverlays(const MapInfo& map)
{
    if (map.overlays.size() > static_cast<size_t>(kMaxOverlays))
        return LoadResult::Unmade(map.name, "more tunnel overlays than the screen holds");
    GameApp* app = application;
    const LayoutTable& layout = app->GetLayoutTable();
    int i = 0;
    Keep().Choose(map);
    for (const OverlayImage& overlay : map.overlays) {
        LoadedValue<Surface*> alpha = Keep().OverlayAlpha(i);
        if (alpha.why.failed())
            return alpha.why;
        const String path = OverlayPath(app, map, i);
        Surface* image = app->CreateImage();
        if (!image)
            return LoadResult::Unmade(path.CStr(), "no memory left");
        overlayImages[i] = image;
        const int w = alpha.value->GetWidth(), h = alpha.value->GetHeight();
        if (!CreateSurfaceOriented(app, image, w, h))
            return LoadResult::Unmade(path.CStr(), "no memory left");
        const int x =
            (Fixed::FromInt(overlay.x) * layout.fixed[kLayoutDesignScale]).ToInt() + layout.ints[kLayoutOriginX];
        const int y =
            (Fixed::FromInt(overlay.y) * layout.fixed[kLayoutDesignScale]).ToInt() + layout.ints[kLayoutOriginY];
        // The background under the overlay; the copy is clipped to both surfaces, and a nebula
        // map has no background to cut from.
        if (levelImage) {
            const int side = std::max(levelImage->GetWidth(), levelImage->GetHeight());
            CopySurfaceOriented(app, levelImage, image, -x, -y, side, side);
        }
        // Its shape: the kept plane, attached as its load attached it.
        if (!AttachAlphaCopy(*alpha.value, image))
            return LoadResult::Unmade(path.CStr(), "no memory left");
        overlayPositions[i] = FixedVec2(Fixed::FromInt(x), Fixed::FromInt(y));
        overlayCount = ++i;
    }
    return LoadResult();
}

LoadResult GameplayScreen::LoadLevelImages(const MapInfo& map)
{
    GameApp* app = application;
    DeleteAndNull(levelImage);
    const String path = LevelPicturePath(app, map);
    Keep().Choose(map);
    LoadedValue<Surface*> kept = Keep().Background();
    if (kept.why.failed())
        return kept.why;
    Surface* image = kept.value;
    Surface* target = app->GetDrawTarget();
    if (!target)
        return LoadResult::Unmade(path.CStr(), "no screen to draw it on");
    const int w = image->GetWidth(), h = image->GetHeight();
    // A picture smaller than the screen gets a black surround instead of what was drawn before.
    const int bw = std::max(w, target->GetWidth()), bh = std::max(h, target->GetHeight());
    target->FillRect(0, 0, target->GetWidth(), target->GetHeight(), 0, 0, 0);
    image->Draw(target, 0, 0, w, h, 0, 0);
    CaptureHoleBackgrounds(target);
    DrawHoles(target, true);
    levelImage = CreateSurfaceSized(app, bw, bh, false);
    if (!levelImage)
        return LoadResult::Unmade(path.CStr(), "no memory left");
    CopySurfaceOriented(app, target, levelImage, 0, 0, bw, bh);
    HudBackground();
    return LoadResult();
}

LoadResult GameplayScreen::LoadBallShadow()
{
    GameApp* app = application;
    Surface* display = app->GetScreenSurface();
    shadowFloor = (display ? display->GetHeight() : 0) - 20;
    ResourceList* sprites = app->GetSpriteList();
    ResourceEntry* set = sprites ? sprites->FindByName("BallShadow") : nullptr;
    if (!set)
        return LoadResult::Unmade("BallShadow", "no such sprite set");
    LoadResult why = set->Load();
    if (why.failed())
        return why;
    if (set->GetFrameCount() < 1)
        return LoadResult::Unmade("BallShadow", "the sprite set holds no frame");
    ballShadowImage = set->GetFrame(0);
    if (!ballShadowImage)
        return LoadResult::Unmade("BallShadow", "the sprite set holds no frame");
    return LoadResult();
}

bool GameplayScreen::BuildLevelTitle()
{
    GameApp* app = application;
    bool gauntlet = false;
    const ModeProgress* progress = CurrentProgress(gauntlet);
    const MapInfo* map = CurrentMap();
    StringTable* texts = app ? app->GetLanguageTable() : nullptr;
    if (!progress || !map || !texts)
        return false;
    const LayoutTable& layout = app->GetLayoutTable();
    String text;
    if (gauntlet) {
        const int level = progress->stage;
        const int rank = Gauntlet::RankOfLevel(level);
        texts->LookupOffset(text, "STR_GAUNT_RANK_1", rank);
        String number = FormatText(" %d", {level - Gauntlet::RankFirstLevel(rank) + 1});
        String::Concat(titleLines[0], text, number);
    } else {
        texts->Lookup(text, "STR_LEVEL");
        String format;
        String::Concat(format, text, String(" %d-"));
        String door = FormatText(format.CStr(), {Adventure::DoorOfStage(progress->stage)});
        String place = FormatText("%d", {Adventure::StageInDoor(progress->stage)});
        String::Concat(titleLines[0], door, place);
    }
    MapDisplayName(titleLines[1], app, map->number);
    Font* font = app->GetMainFont();
    for (int i = 0; i < 2; ++i) {
        const int width = font ? font->MeasureText(titleLines[i].CStr()) : 0;
        titlePositions[i].x = layout.ints[kLayoutLevelTitleRight] - width;
        titlePositions[i].y = layout.ints[kLayoutLevelTitleY + i];
    }
    return true;
}

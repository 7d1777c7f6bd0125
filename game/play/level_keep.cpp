#include "game/play/level_keep.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/app/player_record.h"
#include "game/app/profile_store.h"
#include "game/play/difficulty.h"
#include "game/tables/map_info.h"

namespace {

// The same record of the tables, told by its fields without following its pointers.
bool SameRecord(const MapInfo& a, const MapInfo& b)
{
    return a.number == b.number && a.art == b.art && a.name == b.name && a.nebula == b.nebula &&
           a.overlays.data() == b.overlays.data() && a.overlays.size() == b.overlays.size();
}

}  // namespace

LevelKeep::LevelKeep(GameApp* application) : application_(application) {}

LevelKeep::~LevelKeep()
{
    Drop();
}

void LevelKeep::Drop()
{
    chosen_ = false;
    for (CurvePath& curve : curves_)
        curve.Reset();
    curveCount_ = 0;
    curvesKept_ = false;
    DeleteAndNull(background_);
    for (Surface*& alpha : overlayAlpha_)
        DeleteAndNull(alpha);
}

bool LevelKeep::Holds(const MapInfo& map) const
{
    const DesignMapping now = DesignMappingOf(application_);
    return chosen_ && SameRecord(map_, map) && now.displayMode == mapping_.displayMode &&
           now.width == mapping_.width && now.height == mapping_.height;
}

void LevelKeep::Choose(const MapInfo& map)
{
    if (Holds(map))
        return;
    Drop();
    chosen_ = true;
    map_ = map;
    mapping_ = DesignMappingOf(application_);
    // The tracks take the layout's sampling, as the board's own do.
    for (CurvePath& curve : curves_)
        curve.Bind(application_);
}

LoadResult LevelKeep::KeepCurves()
{
    if (!chosen_)
        return LoadResult::Unmade("level map", "no level chosen");
    if (curvesKept_)
        return LoadResult();
    LoadResult why = ::LoadCurves(application_, map_.art, curves_, curveCount_);
    if (why.failed()) {
        for (CurvePath& curve : curves_)
            curve.Reset();
        curveCount_ = 0;
        return why;
    }
    curvesKept_ = true;
    return LoadResult();
}

LoadResult LevelKeep::CopyCurves(CurvePath* curves, int& curveCount)
{
    curveCount = 0;
    LoadResult why = KeepCurves();
    if (why.failed())
        return why;
    for (int c = 0; c < kMaxCurves; ++c) {
        if (c >= curveCount_)
            curves[c].Reset();
        else if (!curves[c].CopyFrom(curves_[c]))
            return LoadResult::Unmade("level tracks", "no memory left");
    }
    curveCount = curveCount_;
    return LoadResult();
}

LoadedValue<Surface*> LevelKeep::Image(Surface*& slot, const String& path, bool alphaOnly)
{
    if (slot)
        return {slot, LoadResult()};
    Surface* image = application_->CreateImage();
    if (!image)
        return {nullptr, LoadResult::Unmade(path.CStr(), "no memory left")};
    LoadResult why = (alphaOnly ? LoadAlphaImage(application_, path.CStr(), image)
                                : LoadImage(application_, path.CStr(), image)).why;
    if (why.failed()) {
        delete image;
        return {nullptr, why};
    }
    slot = image;
    return {slot, LoadResult()};
}

LoadedValue<Surface*> LevelKeep::Background()
{
    if (!chosen_)
        return {nullptr, LoadResult::Unmade("level map", "no level chosen")};
    return Image(background_, map_.nebula ? NebulaPath(application_) : LevelPicturePath(application_, map_), false);
}

LoadedValue<Surface*> LevelKeep::OverlayAlpha(int index)
{
    if (index < 0 || index >= OverlayCount())
        return {nullptr, LoadResult::Unmade("level overlay", "no such overlay")};
    return Image(overlayAlpha_[index], OverlayPath(application_, map_, index), true);
}

int LevelKeep::OverlayCount() const
{
    return chosen_ ? static_cast<int>(std::min(map_.overlays.size(), size_t(kMaxOverlays))) : 0;
}

int LevelKeep::PiecesLeft() const
{
    if (!chosen_)
        return 0;
    int left = (curvesKept_ ? 0 : 1) + (background_ ? 0 : 1);
    for (int i = 0; i < OverlayCount(); ++i)
        left += overlayAlpha_[i] ? 0 : 1;
    return left;
}

bool LevelKeep::ReadAhead()
{
    if (!chosen_)
        return false;
    if (!curvesKept_)
        return KeepCurves().ok();
    for (int i = 0; i < OverlayCount(); ++i) {
        if (!overlayAlpha_[i])
            return OverlayAlpha(i).why.ok();
    }
    if (!background_)
        return Background().why.ok();
    return false;
}

bool AttachAlphaCopy(const Surface& plane, Surface* target)
{
    const uint8_t* alpha = plane.GetAlpha();
    if (!alpha || !target || plane.GetFormat() == 4)
        return false;
    const size_t bytes = size_t(plane.GetRawWidth()) * size_t(plane.GetRawHeight());
    auto* copy = static_cast<uint8_t*>(Alloc(bytes));
    if (!copy)
        return false;
    std::memcpy(copy, alpha, bytes);
    if (!target->AttachAlpha(copy, plane.GetWidth(), plane.GetHeight())) {
        Free(copy);
        return false;
    }
    return true;
}

const MapInfo* CurrentLevelMapInfo(GameApp* application)
{
    ProfileStore* profiles = application ? application->GetProfiles() : nullptr;
    PlayerRecord* player = profiles ? profiles->CurrentPlayer() : nullptr;
    const ModeProgress* progress = player ? player->CurrentModeProgress() : nullptr;
    if (!progress)
        return nullptr;
    return application->GetLevelTables().maps.Find(CurrentLevelMap(player->mode == 1, *progress));
}

String LevelPicturePath(GameApp* application, const MapInfo& map)
{
    String path = Joined(application->GetImageFolder(), "levels\\");
    path = Joined(path, map.art);
    path = Joined(path, "\\");
    return Joined(path, map.art);
}

String NebulaPath(GameApp* application)
{
    return Joined(application->GetImageFolder(), "nebula");
}

String OverlayPath(GameApp* application, const MapInfo& map, int index)
{
    String path = Joined(application->GetImageFolder(), "levels\\");
    path = Joined(path, map.name);
    path = Joined(path, "\\");
    path = Joined(path, map.overlays[size_t(index)].image);
    return Joined(path, "_a");
}

#pragma once
// What a level read from its files, kept while the same level may be laid out again (a life paid,
// the pause's replay, the gauntlet's next level on the same map), so that the new board reads
// none of them: the tracks with their lookup tables, the level picture or the nebula, and the
// overlays' alpha planes. Each piece is kept as its load made it and handed out as a copy or lent
// for the length of a load, so a board laid out from the keep is the board a fresh load lays out.
// It holds one level at a time: choosing another drops the first, and the application drops it
// when the board leaves. A piece that fails to load is not kept; the board's own load then fails
// on it as it would have.
#include "engine/core/load_result.h"
#include "engine/core/strings.h"
#include "game/play/curve_file.h"
#include "game/play/curve_path.h"
#include "game/tables/map_info.h"

class GameApp;
class Surface;

// The overlay slots of a board; a map asking for more cannot be shown as made.
constexpr int kMaxOverlays = 10;

class LevelKeep {
public:
    explicit LevelKeep(GameApp* application);
    ~LevelKeep();
    LevelKeep(const LevelKeep&) = delete;
    LevelKeep& operator=(const LevelKeep&) = delete;

    void Drop();
    // Makes the map's level, at the display's present mapping, the one kept; another's is dropped.
    void Choose(const MapInfo& map);
    // Whether the map's level at the present mapping is the one chosen (its pieces may not all be
    // read yet).
    bool Holds(const MapInfo& map) const;

    // The chosen level's tracks copied into curves (bound to the same application).
    LoadResult CopyCurves(CurvePath* curves, int& curveCount);
    // The chosen level's background picture, its level image or the nebula; lent until the keep
    // is dropped or another level chosen.
    LoadedValue<Surface*> Background();
    // The alpha plane of the chosen level's overlay, as an alpha-only surface; lent likewise.
    LoadedValue<Surface*> OverlayAlpha(int index);

    // The pieces of the chosen level not kept yet, and the next of them read (the tracks, the
    // overlays, then the picture, the largest); false when none was left or it failed (the
    // board's own load then tells why).
    int PiecesLeft() const;
    bool ReadAhead();

private:
    LoadResult KeepCurves();
    int OverlayCount() const;
    LoadedValue<Surface*> Image(Surface*& slot, const String& path, bool alphaOnly);

    GameApp* application_ = nullptr;
    // The chosen map's record, copied: a map made for a moment (a test's) may be gone by the
    // next choice, which compares its fields without following them.
    bool chosen_ = false;
    MapInfo map_;
    DesignMapping mapping_;
    CurvePath curves_[kMaxCurves];
    int curveCount_ = 0;
    bool curvesKept_ = false;
    Surface* background_ = nullptr;
    Surface* overlayAlpha_[kMaxOverlays] = {};
};

// A copy of the alpha-only surface's plane attached to the target, as the image loader attaches a
// plane it decoded; false (the target as it was) when it cannot be.
bool AttachAlphaCopy(const Surface& plane, Surface* target);

// The map the current player's progress stands at, null without a player or for a map outside
// the tables.
const MapInfo* CurrentLevelMapInfo(GameApp* application);

// The files of a map's level, by the application's folders.
String LevelPicturePath(GameApp* application, const MapInfo& map);
String NebulaPath(GameApp* application);
String OverlayPath(GameApp* application, const MapInfo& map, int index);

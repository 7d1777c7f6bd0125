#pragma once
// The gauntlet's set-up: a map browsed one at a time (a random entry last), the mode (survival or
// practice) and the starting rank, one of four gems up to the rank reached on that map. It shows
// the map's thumbnail and name, the mode's description and name, the emblem of the rank reached
// and the map's high scores in the mode; play resets the gauntlet progress and starts the game.
#include <cstdint>
#include "engine/core/arrays.h"
#include "engine/core/fixed.h"
#include "game/app/game_screen.h"

class GauntletModeRadio;
class GauntletModeSwitch;
class ResourceEntry;
class Surface;

class GauntletMapScreen : public GameScreen {
public:
    explicit GauntletMapScreen(GameApp* app);
    ~GauntletMapScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    // The mode name the screen draws.
    int GetTextPlaces(TextPlace* out, int max) override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    // The record keeps no bytes of its own: the chosen map travels as the gauntlet's current map,
    // so the Continue question names it and a continued record shows it chosen again.
    bool Serialize(Stream* stream, bool saving) override;

    void BuildLevelList();
    void SetMode(int mode);
    void SelectLevel(int map);
    void UpdateDescription();
    void RenderThumbnail();
    void UpdateHighScores();
    // The open gem whose frame 0 holds the point, or -1.
    int HitRankGem(int x, int y);
    // Resets the gauntlet progress and starts the chosen game; false (nothing done) on a locked
    // map or without a rank.
    bool StartGame();

    int GetMode() const { return mode_; }
    int GetSelectedMap() const { return selectedMap_; }
    int GetBrowseIndex() const { return browseIndex_; }
    int GetRankReached() const { return rankReached_; }
    int GetHoveredGem() const { return hoveredGem_; }
    int GetChosenRank() const { return chosenRank_; }
    void SetChosenRank(int rank) { chosenRank_ = rank; }
    const ItemArrayOf<int32_t>& GetBrowseList() const { return browse_; }
    Surface* GetThumbnail() const { return thumbnail_; }
    Point GetGemAnchor(int gem) const { return gem >= 0 && gem < 4 ? gemAt_[gem] : Point{}; }
    ResourceEntry* GetGemSprite(int gem) const { return gem >= 0 && gem < 4 ? gemSets_[gem] : nullptr; }
    // The gem frame drawn now: 2 hovered, 3 chosen, 0 above the rank reached, else 1.
    int GemFrame(int gem) const;
    GauntletModeRadio* GetSurvivalRadio() const { return survival_; }
    GauntletModeRadio* GetPracticeRadio() const { return practice_; }
    GauntletModeSwitch* GetModeSwitch() const { return switch_; }
    // Stores the focus child without telling it.
    void SetFocusChildDirect(Widget* child) { focusChild_ = child; }

private:
    void DrawRankGems(Surface* target);
    void DrawModeName(Surface* target);
    // The mode's name, right-aligned at its layout place, in the small font.
    TextPlace ModeNamePlace();
    // Loads "thumbs\<name>" and draws it at (0, 0) of the target with the alpha change; false
    // when it cannot be read. w and h give its size.
    LoadResult DrawThumbPicture(Surface* target, const char* name, int alpha, int& w, int& h);
    void Browse(int step);

    int mode_ = 0;
    Fixed skyOffset_;
    Surface* sky_ = nullptr;
    Surface* background_ = nullptr;
    Point gemAt_[4];
    ResourceEntry* gemSets_[4] = {};
    int selectedMap_ = -1;
    int browseIndex_ = 0;
    int rankReached_ = -1;
    int hoveredGem_ = -1;
    int chosenRank_ = -1;
    Surface* thumbnail_ = nullptr;
    Surface* emblems_[4] = {};
    GauntletModeRadio* survival_ = nullptr;
    GauntletModeRadio* practice_ = nullptr;
    GauntletModeSwitch* switch_ = nullptr;
    ItemArrayOf<int32_t> browse_{1};
};

#pragma once
// The adventure's map between the start menu and the stages: a drifting sky, the four temples as
// far as the player has come, the twelve doors, the chosen door's number, temple and description,
// and the adventure's high scores. An open door is chosen with the stylus or the keys and its first
// stage started; the first visit to a temple unveils it once (temple 4 rises, the others fade in).
#include <cstdint>

#include "engine/core/fixed.h"
#include "game/app/game_screen.h"

class ResourceEntry;
class Surface;
class ScriptWidget;
struct ModeProgress;

constexpr int kAdventureDoors = 12;
constexpr int kRiseUpdates = 66;

class AdventureMapScreen : public GameScreen {
public:
    explicit AdventureMapScreen(GameApp* app);
    ~AdventureMapScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool OnEvent(Widget* sender, int code, const char* name, int param) override;
    // The map keeps nothing of its own: its record is the screen id alone.
    bool Serialize(Stream* stream, bool saving) override;

    void SelectDoor(int door);
    // The door a direction key (1 left, 2 right, 3 up, 4 down) reaches from a door, or -1; a result
    // of 0 or less moves nothing.
    static int NeighbourDoor(int direction, int door, int doorsOpen);
    // The lowest open door whose sealed frame holds the point, or 0.
    int DoorAt(int x, int y);
    // What the temple art shows of temple 0..3 with the doors open: 0 nothing, 1 locked, 2 unlocked.
    static int TempleArt(int doorsOpen, int temple);
    void StartTempleUnveil();
    void UpdateUnveil();

    int GetSelectedDoor() const { return selected_; }
    int GetDoorsOpen() const { return doorsOpen_; }
    int GetHoveredDoor() const { return hovered_; }
    int GetUnveilingTemple() const { return unveiling_; }
    Fixed GetUnveilFade() const { return unveilFade_; }
    Fixed GetRiseOffset() const { return riseOffset_; }
    Fixed GetSkyOffset() const { return skyOffset_; }
    int GetJitterCount() const { return jitterCount_; }
    Point GetJitterPoint(int i) const { return i >= 0 && i < jitterCount_ ? jitter_[i] : Point{}; }
    int GetJitterIndex(int temple) const { return temple >= 0 && temple < 3 ? jitterIndex_[temple] : -1; }
    Point GetDoorPosition(int door) const;
    ResourceEntry* GetDoorSprite(int door) const;
    Surface* GetSky() const { return sky_; }
    // Stores the focus child without telling it.
    void SetFocusChildDirect(Widget* child) { focusChild_ = child; }

private:
    ModeProgress* Progress();
    bool Rising() const { return unveiling_ == 3 && riseOffset_.raw > 0; }
    bool LoadTempleArt();
    void DrawDoor(Surface* display, int door, int frame, int alpha);
    void DrawLockedDoors(Surface* display, int temple);
    void DrawTemples(Surface* display);
    int DoorAlpha(int door) const;
    void Focus(const char* name);
    bool FocusIs(const ScriptWidget* widget) const { return widget && focusChild_ == widget; }
    void OnDirectionKey(int key);

    int selected_ = 0;
    int doorsOpen_ = 0;
    Fixed skyOffset_;
    Surface* sky_ = nullptr;
    Surface* back_ = nullptr;
    Surface* bottom_ = nullptr;
    Surface* locked_[4] = {};
    Surface* unlocked_[4] = {};
    Point lockedAt_[4];
    Point unlockedAt_[4];
    int doorX_[kAdventureDoors + 1] = {};
    int doorY_[kAdventureDoors + 1] = {};
    ResourceEntry* doorSets_[kAdventureDoors + 1] = {};
    int hovered_ = 0;
    int unveiling_ = -1;
    Fixed unveilFade_;
    Fixed riseOffset_;
    Fixed riseStep_;
    static constexpr int kJitterPoints = 10;
    Point jitter_[kJitterPoints];
    int jitterCount_ = 0;
    int jitterIndex_[3] = {};
    ScriptWidget* menuButton_ = nullptr;
    ScriptWidget* playButton_ = nullptr;
    ScriptWidget* stageText_ = nullptr;
};

#pragma once
// After the last stage of a door: over a still, darkening picture of the finished level the frog
// walks through four waypoints, growing and pulsing, while the door's caption and then the
// complete text are revealed letter by letter. A press goes on to the next stage with the quake,
// or to the temple's end with the slide when the next door lies in another temple.
#include <cstdint>

#include "engine/core/fixed.h"
#include "engine/core/strings.h"
#include "game/app/game_screen.h"

class GameHud;
class ResourceEntry;
class Surface;
struct MapInfo;

class StageCompleteScreen : public GameScreen {
public:
    static constexpr int kWaypoints = 4;
    static constexpr int kFinished = 4;
    static constexpr int kDimMax = 128;
    static constexpr int kRecordBytes = 48;

    explicit StageCompleteScreen(GameApp* app);
    ~StageCompleteScreen() override;

    bool Create() override;
    void Update() override;
    void Draw() override;
    bool OnKey(int key, bool down) override;
    bool OnPointer(int x, int y, int kind) override;
    bool Serialize(Stream* stream, bool saving) override;
    // The picture without the frog, for the quake pieces.
    bool DrawCapture(Surface* target) override;

    bool BuildBackground(const MapInfo& map);
    // Velocity and pulse rate for the current phase (0..3).
    void StartPhase();
    void DrawContent(Surface* surface);
    // Leaves for the next stage or the temple's end; later presses do nothing.
    void Continue();

    // One axis of the walk: moves toward the target by the velocity, true once there. An axis
    // within one step, or one that cannot move, has arrived.
    static bool StepAxis(Fixed& position, Fixed target, Fixed velocity);

    int GetPhase() const { return phase_; }
    int GetDim() const { return dim_; }
    FixedVec2 GetFrog() const { return frog_; }
    FixedVec2 GetVelocity() const { return velocity_; }
    FixedVec2 GetWaypoint(int i) const { return waypoints_[i & 3]; }
    Fixed16 GetScale() const { return scale_; }
    Fixed GetAngle() const { return angle_; }
    Fixed16 GetPulseRate() const { return pulseRate_; }
    int GetPulseCount() const { return pulseCount_; }
    const String& GetStageText() const { return stageText_; }
    const String& GetCompleteText() const { return completeText_; }
    Point GetStageTextAt() const { return stageAt_; }
    Surface* GetBackground() const { return background_; }
    GameHud* GetHud() const { return hud_; }
    bool HasContinued() const { return continued_; }
    // The characters of a text shown now: none, a typed part or the whole.
    int ShownLength(int textPhase, int length) const;

    // For tests: a walk set up by hand.
    void SetWalk(FixedVec2 frog, const FixedVec2* waypoints, int phase);

private:
    void DrawText(Surface* surface, const String& text, Point at, int count);
    static Surface* DimmedCopy(GameApp* app, Surface* background, int dim);

    Surface* background_ = nullptr;
    // The background under the full dim, made once the dim stops growing: the screen then rests for
    // seconds and the same blend of every pixel would be redone each frame.
    Surface* dimmed_ = nullptr;
    GameHud* hud_ = nullptr;
    ResourceEntry* frogSet_ = nullptr;
    FixedVec2 waypoints_[kWaypoints];
    Fixed evenSpeed_, oddSpeed_, lastSpeed_;
    FixedVec2 frog_;
    Fixed angle_;
    Fixed16 scale_ = Fixed16::FromInt(1);
    FixedVec2 velocity_;
    int32_t phase_ = 0;
    int32_t dim_ = 0;
    String stageText_, completeText_;
    Point stageAt_, completeAt_;
    Fixed16 pulseRate_;
    int32_t pulseCount_ = 0;
    Fixed nebulaOffset_;
    bool drawingOwn_ = false;
    bool continued_ = false;
};

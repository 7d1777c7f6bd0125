#pragma once
// The board object that draws one ball: a rolling frame that follows the distance travelled, the
// turn of the track, a power-up shown as a bonus ball with a pulsing glow, and a white flash.
#include "game/play/game_object.h"

class BallSprite : public GameObject {
public:
    static constexpr int kPendingFrames = 66;
    static constexpr int kPowerUpFrames = 660;

    BallSprite(GameApp* application, int colour);
    ~BallSprite() override;

    bool Init() override;
    bool Serialize(Stream* stream, bool saving) override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;

    void SetRoll(int rotation, Fixed distance);
    int GetPowerUp() const { return powerUp_ != -1 ? powerUp_ : pendingPowerUp_; }
    void SetPowerUp(int kind);
    void Flash(int frames) { flashCounter_ = frames < 1 ? 0 : frames + 1; }
    static void ColourTint(int colour, int& red, int& green, int& blue);

    // The board loader gives a factory-made sprite its colour before Init.
    void SetColour(int colour) { colour_ = colour; }
    int GetColour() const { return colour_; }
    int GetRotation() const { return rotation_; }
    void SetRotation(int degrees) { rotation_ = degrees; }
    Fixed16 GetScale() const { return scale_; }
    void SetScale(Fixed16 scale) { scale_ = scale; }
    void SetStartFrame(Fixed frame) { startFrame_ = frame.ToInt(); }
    int GetStartFrame() const { return startFrame_; }
    void SetHidden(bool on) { SetFlag(kHidden, on); }
    bool IsHidden() const { return (flags_ & kHidden) != 0; }
    void SetSelfDrawn(bool on) { SetFlag(kSelfDrawn, on); }
    bool IsSelfDrawn() const { return (flags_ & kSelfDrawn) != 0; }
    void SetOffsetDrawn(bool on) { SetFlag(kOffsetDrawn, on); }
    bool IsOffsetDrawn() const { return (flags_ & kOffsetDrawn) != 0; }
    void SetVisibility(int visibility) { visibility_ = visibility; }
    int GetVisibility() const { return visibility_; }
    void SetPathAndSegment(int path, int segment)
    {
        pathIndex_ = path;
        segmentIndex_ = segment;
    }
    int GetPathIndex() const { return pathIndex_; }
    int GetSegmentIndex() const { return segmentIndex_; }
    int GetActivePowerUp() const { return powerUp_; }
    int GetPendingPowerUp() const { return pendingPowerUp_; }
    int GetPendingDelay() const { return pendingDelay_; }
    int GetPowerUpLife() const { return powerUpLife_; }
    Fixed GetGlow() const { return glow_; }
    int GetFlashCounter() const { return flashCounter_; }

private:
    int32_t colour_;
    int32_t rotation_ = 0;
    int32_t startFrame_ = 0;
    Fixed16 scale_ = Fixed16::FromInt(1);
    int32_t frameRange_;
    int32_t pathIndex_ = -1;
    int32_t segmentIndex_ = -1;
    int32_t visibility_ = 255;
    ResourceEntry* bonusSet_ = nullptr;
    ResourceEntry* glowSet_ = nullptr;
    int32_t powerUp_ = -1;
    int32_t pendingPowerUp_ = -1;
    int32_t powerUpLife_ = 0;
    int32_t pendingDelay_ = 0;
    Fixed glow_;
    Fixed glowSpeed_;
    int32_t flashCounter_ = 0;
    Fixed distanceFactor_;
};

#pragma once
// The pit at the end of a track: the pit image under a cover whose frames open as the chain comes
// closer, and a warm additive glow when the track sparkle arrives.
#include "game/play/game_object.h"

class Hole : public GameObject {
public:
    explicit Hole(GameApp* application);
    ~Hole() override;

    bool Init() override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;

    void StartGlow();
    void SetCoverTarget(int frame);
    void ResetCoverTarget() { coverTarget_ = 0; }
    void SetCoverTargetLast() { SetCoverTarget(coverFrameCount_ - 1); }
    void SetAngle(Fixed angle) { angle_ = angle; }
    Fixed GetAngle() const { return angle_; }
    void SetDrawingEnabled(bool on) { drawingEnabled_ = on ? 1 : 0; }
    int GetCoverTarget() const { return coverTarget_; }
    Fixed GetCoverFrame() const { return coverFrame_; }
    int GetCoverFrameCount() const { return coverFrameCount_; }
    int GetLastDrawnCover() const { return lastDrawnCover_; }
    Fixed GetGlow() const { return glow_; }
    Fixed furthestHead;

    // The board under the hole, copied once by the screen and restored before a changed cover.
    int cachedX = 0, cachedY = 0;
    Surface* cachedBackground = nullptr;

private:
    int32_t coverFrameCount_ = 0;
    uint8_t drawingEnabled_ = 0;
    Fixed coverFrame_;
    Fixed coverSpeed_;
    int32_t lastDrawnCover_ = -1;
    ResourceEntry* coverSet_ = nullptr;
    Fixed angle_;
    int32_t coverTarget_ = 0;
    Fixed glow_;
    Fixed glowSpeed_;
};

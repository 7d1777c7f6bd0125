#pragma once
// The player's shooter: drawn turned to the aim about its centre, with the ball in its mouth, the
// next ball on its back, a nose over the tongue, an eye blink and a short recoil per shot.
#include "game/play/game_object.h"

class Frog : public GameObject {
public:
    explicit Frog(GameApp* application);
    ~Frog() override;

    bool Init() override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;

    void SetAngle(Fixed angle) { angle_ = angle; }
    Fixed GetAngle() const { return angle_; }
    void StartRecoil();
    void UpdateRecoil();
    void DrawBallInMouth(Surface* surface, int colour);
    void DrawNextBall(Surface* surface, int colour);
    void DrawTongue(Surface* surface);
    void DrawAll(Surface* surface, const FixedVec2& position, Fixed16 scale);

    Fixed GetRecoilOffset() const { return recoilOffset_; }
    Fixed GetBlinkFrame() const { return blinkFrame_; }
    bool IsBlinking() const { return blinkActive_ != 0; }
    int GetAlpha() const { return alpha_; }

private:
    // Draws the frame with the pivot (w/2, h/2 - recoil + shift) placed on the frog's centre.
    void DrawPart(Surface* surface, ResourceEntry* set, int frame, Fixed shift, bool needAlpha);

    ResourceEntry* nextSet_ = nullptr;
    ResourceEntry* blinkSet_ = nullptr;
    ResourceEntry* tongueSet_ = nullptr;
    ResourceEntry* noseSet_ = nullptr;
    ResourceEntry* allSet_ = nullptr;
    Fixed angle_;
    Fixed recoilOffset_;
    Fixed recoilSpeed_;
    Fixed blinkFrame_;
    Fixed blinkSpeed_;
    uint8_t blinkActive_ = 0;
    int32_t alpha_ = 0;
};

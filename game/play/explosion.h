#pragma once
// The short animation where a ball vanished (painted in the ball's tint) or a bomb went off (in its
// own colours, optionally after a delay); it kills itself when it has played.
#include "game/play/game_object.h"

class Explosion : public GameObject {
public:
    static constexpr int kBomb = 6;

    explicit Explosion(GameApp* application);
    ~Explosion() override;

    bool Init() override;
    bool Serialize(Stream* stream, bool saving) override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;

    void SetColour(int colour) { colour_ = colour; }
    int GetColour() const { return colour_; }
    void SetDelay(int frames) { delay_ = frames < 1 ? 0 : frames + 1; }
    int GetDelay() const { return delay_; }
    // Centres the explosion on a point.
    void CentreOn(Fixed x, Fixed y);

private:
    ResourceEntry* ActiveSet() const { return colour_ == kBomb ? bombSet_ : sprite_; }

    int32_t colour_ = kBomb;
    int32_t delay_ = 0;
    ResourceEntry* bombSet_ = nullptr;
};

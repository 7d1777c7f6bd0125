#pragma once
// The treasure that shows at a treasure point: it spins with a sparkling trail and waits 330
// frames for a shot to pass through it; a hit awards the coin bonus and consumes the shot.
#include "game/play/game_object.h"

class TraceEmitter;

class Coin : public GameObject {
public:
    static constexpr int kLifetime = 330;

    explicit Coin(GameApp* application);
    ~Coin() override;

    bool Init() override;
    bool Serialize(Stream* stream, bool saving) override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;
    void Kill() override;

    // The trail stays in the screen's effect list; the coin only steers it.
    void SetTrail(TraceEmitter* trail);
    // The trail's destructor cuts the link, so the coin never holds a deleted trail.
    void DetachTrail() { trail_ = nullptr; }
    TraceEmitter* GetTrail() const { return trail_; }
    int GetAge() const { return age_; }
    bool IsCollected() const { return collectSpeed_.raw > 0; }
    Fixed16 GetProgress() const { return collectProgress_; }
    static int BonusPoints(int targetScore, bool survival);

private:
    // Stops the trail's emission and lets go of it once it has died.
    void ReleaseTrail(bool stopEmitting);

    TraceEmitter* trail_ = nullptr;
    int32_t age_ = 0;
    Fixed16 collectProgress_;
    Fixed16 collectSpeed_;
};

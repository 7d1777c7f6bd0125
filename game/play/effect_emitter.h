#pragma once
// Three small particle effects that live on the board: a star burst, the rising trail a coin
// carries, and an orange spark burst. They share a ring of up to 48 particles with simple physics
// and come only from restored boards.
#include "game/play/game_object.h"

struct EffectParticle {
    FixedVec2 position, velocity, acceleration;
    Fixed alpha = Fixed::FromInt(-255);
    Fixed alphaSpeed;
    int32_t kind = 0;
    int32_t alphaInt = 0;
    Fixed frame;
    Fixed frameSpeed;
    int32_t frameCount = 0;

    bool IsLive() const { return alpha > Fixed::FromInt(-255); }
    void Step();
};

class EffectEmitter : public GameObject {
public:
    static constexpr int kMaxParticles = 48;

    explicit EffectEmitter(GameApp* application);
    bool Serialize(Stream* stream, bool saving) override;

    int GetCount() const { return count_; }
    const EffectParticle& Particle(int i) const { return particles_[i]; }
    // Steps the live particles of the ring; false when none is live.
    bool StepParticles();

protected:
    EffectParticle particles_[kMaxParticles];
    int32_t nextIndex_ = 0;
    int32_t count_ = 0;
};

class StarEmitter : public EffectEmitter {
public:
    explicit StarEmitter(GameApp* application);
    ~StarEmitter() override;
    bool Init() override;
    bool Serialize(Stream* stream, bool saving) override;
    void Update() override;
    // The screen's two passes: kind 0 as the blink image with the particle's alpha, kind 1 as the
    // star frames at full strength.
    void DrawPass(Surface* surface, int kind);

protected:
    Fixed spare_;
    const int32_t* sine_ = nullptr;
    const int32_t* cosine_ = nullptr;
    uint8_t started_ = 0;
    ResourceEntry* starSet_ = nullptr;
    ResourceEntry* blinkSet_ = nullptr;
};

class Coin;

class TraceEmitter : public EffectEmitter {
public:
    explicit TraceEmitter(GameApp* application);
    ~TraceEmitter() override;
    bool Init() override;
    bool Serialize(Stream* stream, bool saving) override;
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;
    void SetEmitting(bool on) { emitting_ = on ? 1 : 0; }
    bool IsEmitting() const { return emitting_ != 0; }
    void SetOwner(Coin* coin) { owner_ = coin; }

private:
    Coin* owner_ = nullptr;
    Fixed spawnTimer_;
    const int32_t* sine_ = nullptr;
    const int32_t* cosine_ = nullptr;
    uint8_t emitting_ = 1;
    int32_t countdown_ = 1;
    Fixed riseSpeed_;
    Fixed riseAcceleration_;
    int32_t spread_ = 14;
    Fixed unused_;
};

class SparkEmitter : public StarEmitter {
public:
    explicit SparkEmitter(GameApp* application);
    void Update() override;
    void Draw(Surface* surface, int offsetX, int offsetY) override;
};

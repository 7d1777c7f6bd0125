#pragma once
// An optional polyline emitter: particles are born at a random point of it or at points walked
// along it by a fixed step.
#include <cstdint>

#include "engine/graphics/particle_system.h"

class ParticlePath {
public:
    explicit ParticlePath(Application* application) : application_(application) {}
    ParticlePath(const ParticlePath&) = delete;
    ParticlePath& operator=(const ParticlePath&) = delete;
    virtual ~ParticlePath();

    // Copies the segments; false (and the path left empty) when they cannot be stored.
    bool SetSegments(const Fixed16Vec2* starts, const Fixed16Vec2* ends, int count);
    // Mode 0 picks random points, any other walks.
    void SetMode(int mode) { mode_ = mode; }
    bool IsWalking() const { return mode_ != 0; }
    void SetStep(int32_t step) { step_ = step; }
    int32_t GetTotalLength() const { return total_; }
    Application* GetApplication() const { return application_; }

    void NextPoint(Fixed16Vec2& out);
    void RandomPoint(Fixed16Vec2& out);

private:
    void Clear();
    // Walks the distance from segment `segment` on; returns the point there.
    void Walk(int& segment, int32_t& distance, Fixed16Vec2& out) const;

    Application* application_;
    int mode_ = 0;
    Fixed16Vec2* starts_ = nullptr;
    Fixed16Vec2* ends_ = nullptr;
    int count_ = 0;
    int32_t* lengths_ = nullptr;
    int32_t total_ = 0;
    int32_t step_ = 0;
    int current_ = 0;
    int32_t distance_ = 0;
};

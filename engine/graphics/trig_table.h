#pragma once
// Sine and cosine tables for a fixed number of steps per turn, and the turned and scaled drawing of
// one surface into another. Angles are 1/256 degree (92160 a turn), positions and pivots 24.8,
// scales 16.16 (65536 = 1).
#include <cstdint>

#include "engine/core/fixed.h"

class Application;
class SurfaceBase;

constexpr int kFullTurn = 92160;

// Maps a 24.8 point into the raw coordinates of a turned destination.
void MapFixedPoint(const SurfaceBase* destination, Fixed& x, Fixed& y);
// An angle brought into 0..92159.
int WrapAngle(int angle);

class TrigTable {
public:
    TrigTable(Application* application, int steps);
    TrigTable(const TrigTable&) = delete;
    TrigTable& operator=(const TrigTable&) = delete;
    virtual ~TrigTable();

    bool Build();
    // Table index of an angle; angles outside one turn are wrapped first.
    int AngleToIndex(int angle) const;
    void SetDrawMode(int mode) { drawMode_ = mode; }
    int GetDrawMode() const { return drawMode_; }
    void SetTightBounds(bool on) { tightBounds_ = on; }
    bool GetTightBounds() const { return tightBounds_; }

    int GetSteps() const { return steps_; }
    int GetAngleFactor() const { return angleFactor_; }
    const int32_t* GetSine() const { return sine_; }
    const int32_t* GetCosine() const { return cosine_; }
    const int32_t* GetSine16() const { return sine16_; }
    const int32_t* GetCosine16() const { return cosine16_; }

    void DrawRotated(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle, Fixed16 scale);
    void DrawRotatedAlpha(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                          Fixed16 scale, int alphaOffset);
    void DrawRotatedPivot(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                          Fixed pivotX, Fixed pivotY, Fixed16 scale, int alphaOffset);
    // Paints the colour through the turned source's alpha plane.
    void DrawRotatedTinted(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                           Fixed16 scale, int r, int g, int b, int alphaOffset);
    // Adds the turned source, saturating; the colour is accepted and not used.
    void DrawRotatedAdditive(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                             Fixed16 scale, int r, int g, int b, int alphaOffset);
    // Blend mode 0 plain, 1 additive, 3 tinted; any other draws nothing.
    void DrawTransformed(const SurfaceBase* source, SurfaceBase* destination, Fixed x, Fixed y, int angle,
                         Fixed pivotX, Fixed pivotY, Fixed16 scale, int blendMode, int alphaOffset, int r, int g,
                         int b);

private:
    // Wraps the angle and maps the point for a turned screen; false when nothing can be drawn.
    bool Prepare(const SurfaceBase* source, const SurfaceBase* destination, Fixed& x, Fixed& y, int& angle) const;
    void PivotCentre(const SurfaceBase* source, Fixed& x, Fixed& y, int angle, Fixed pivotX, Fixed pivotY,
                     Fixed16 scale) const;

    Application* application_;
    int32_t* sine_ = nullptr;
    int32_t* cosine_ = nullptr;
    int32_t* sine16_ = nullptr;
    int32_t* cosine16_ = nullptr;
    int steps_;
    int angleFactor_;
    int drawMode_ = 2;
    bool tightBounds_ = false;
};

#pragma once
// One or two short lines of text that rise from where something happened and fade out over 32
// frames; the gameplay screen keeps a pool of them.
#include <cstdint>

#include "engine/core/fixed.h"

class Font;
class GameApp;
class Surface;

class FloatingText {
public:
    static constexpr int kLife = 32;
    // Room for the longest caption the game shows ("DOUBLE GAP BONUS") and more.
    static constexpr int kLineBytes = 32;

    explicit FloatingText(GameApp* application);
    virtual ~FloatingText() = default;
    virtual void Update();
    virtual void Draw();

    void Start(int x, int y, const char* text1, const char* text2, int red, int green, int blue, Font* font,
               Surface* surface);
    int GetLife() const { return life_; }
    const char* GetLine(int i) const { return i == 0 ? line1_ : line2_; }
    int GetLineX(int i) const { return i == 0 ? x1_ : x2_; }
    Fixed GetLineY(int i) const { return i == 0 ? y1_ : y2_; }
    int GetAlpha() const { return (1 - 8 * (kLife - life_)) & 255; }

private:
    int PlaceLine(char* line, const char* text, int x, int& width);

    int32_t life_ = 0;
    GameApp* application_;
    Surface* surface_ = nullptr;
    int16_t lineHeight_ = 0;
    int16_t x1_ = 0, width1_ = 0;
    Fixed y1_, previousY1_;
    int16_t x2_ = 0, width2_ = 0;
    Fixed y2_, previousY2_;
    char line1_[kLineBytes] = {};
    char line2_[kLineBytes] = {};
    uint8_t red_ = 0, green_ = 0, blue_ = 0;
    Font* font_ = nullptr;
    Fixed rise_;
};

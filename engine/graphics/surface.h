#pragma once
// Stand-in until the drawing surfaces land: a 5:6:5 picture with an optional alpha plane.
#include <cstdint>

class Application;

class Surface {
public:
    explicit Surface(Application* application);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface();

    bool Create(int width, int height);
    void FreeAlpha();
    void Clear(uint8_t r, uint8_t g, uint8_t b);
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    uint16_t* GetPixels() const { return pixels_; }
    uint8_t* GetAlpha() const { return alpha_; }

private:
    void Release();
    Application* application_;
    uint16_t* pixels_ = nullptr;
    uint8_t* alpha_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

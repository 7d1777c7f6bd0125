#include "engine/graphics/surface.h"

#include "engine/core/memory.h"

Surface::Surface(Application* application) : application_(application) {}

Surface::~Surface()
{
    Release();
}

void Surface::Release()
{
    Free(pixels_);
    Free(alpha_);
    pixels_ = nullptr;
    alpha_ = nullptr;
    width_ = height_ = 0;
}

bool Surface::Create(int width, int height)
{
    Release();
    if (width <= 0 || height <= 0)
        return false;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    pixels_ = static_cast<uint16_t*>(Alloc(count * 2));
    alpha_ = static_cast<uint8_t*>(Alloc(count));
    if (!pixels_ || !alpha_) {
        Release();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void Surface::FreeAlpha()
{
    Free(alpha_);
    alpha_ = nullptr;
}

void Surface::Clear(uint8_t r, uint8_t g, uint8_t b)
{
    uint16_t colour = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    for (size_t i = 0; i < count; ++i)
        pixels_[i] = colour;
}

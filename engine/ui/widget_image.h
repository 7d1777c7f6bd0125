#pragma once
// One image held by a leaf widget: a private entry made from its files, or a set of the
// application's sprite list of which it holds one load.
#include <cstdint>

#include "engine/core/load_result.h"

class Application;
class ResourceEntry;
class Surface;
struct ImageSpec;

struct ImageRef {
    ImageRef() = default;
    ImageRef(const ImageRef&) = delete;
    ImageRef& operator=(const ImageRef&) = delete;
    ~ImageRef() { Release(); }

    void Release();
    // For drawing: the frame, or null when the entry lacks it.
    Surface* GetFrameImage() const;
    // For measuring: a missing frame other than 0 falls back to frame 0.
    Surface* GetMeasureImage() const;
    int GetFrameCount() const;
    int GetWidth() const;
    int GetHeight() const;

    bool owned = false;
    bool loaded = false;
    ResourceEntry* entry = nullptr;
    int16_t frame = 0;
};

// Fills the reference from the image description (releasing what it held); ok also when there
// is nothing to show: no files named, or a set the sprite list does not hold.
LoadResult LoadWidgetImage(Application* app, ImageRef& out, const ImageSpec& spec);

// Screen-drawing helpers of the leaf widgets: the surface alpha adjustment and the text alpha
// byte of an 8.8 effective alpha.
inline int ImageAlphaOffset(int32_t alpha)
{
    return (alpha >> 8) - 255;
}
inline int TextAlphaByte(int32_t alpha)
{
    return (alpha >> 8) & 255;
}

#include "engine/graphics/surface_turn.h"

#include <algorithm>
#include <cstdint>

#include "engine/core/application.h"
#include "engine/graphics/surface.h"

namespace {

void ReversePixels(uint8_t* data, size_t count, int bytes)
{
    if (count < 2)
        return;
    for (size_t i = 0, j = count - 1; i < j; ++i, --j)
        std::swap_ranges(data + i * bytes, data + (i + 1) * bytes, data + j * bytes);
}

}  // namespace

void TurnSurface180(SurfaceBase* surface, int newOrientation)
{
    if (!surface)
        return;
    int orientation = surface->GetOrientation();
    if (orientation == 0 || orientation == newOrientation)
        return;
    size_t count = size_t(std::max(surface->GetRawWidth(), 0)) * size_t(std::max(surface->GetRawHeight(), 0));
    auto* pixels = reinterpret_cast<uint8_t*>(surface->GetPixels());
    // Whole pixels of the surface's own size; on the 16-bit surfaces the program makes this is
    // the reversal of the 16-bit array.
    int bytes = surface->GetBytesPerPixel();
    if (pixels && bytes > 0)
        ReversePixels(pixels, count, bytes);
    uint8_t* alpha = surface->GetAlpha();
    // A plane inside 32-bit pixels went with them.
    if (alpha && !surface->IsAlphaShared() && alpha != pixels)
        ReversePixels(alpha, count, 1);
    surface->SetOrientation(newOrientation);
    surface->ReturnTrue();
}

void SwitchScreenRotation(Application* application, int rotation)
{
    if (!application)
        return;
    int current = application->rotation_;
    // Only a half turn between the two quarter turns can be done by reversing the pixels.
    if ((current != 1 && current != 2) || (rotation != 1 && rotation != 2) || rotation == current)
        return;
    application->rotation_ = rotation;
    Surface* screen = application->screenSurface_;
    TurnSurface180(screen, rotation);
    if (application->drawTarget_ != screen)
        TurnSurface180(application->drawTarget_, rotation);
    const PtrArray& images = application->imageList_;
    for (int i = 0; i < images.Count(); ++i)
        TurnSurface180(static_cast<Surface*>(images.At(i)), rotation);
}

#include "engine/graphics/surface_helpers.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/graphics/surface.h"
#include "platform/device.h"

namespace {

bool Turned(const Application* app)
{
    return app->GetRotation() != 0;
}

// Whole degrees of the arctangent of index / 40.
constexpr int kArcTangent[41] = {0,  1,  3,  4,  6,  7,  8,  9,  11, 12, 14, 15, 17, 18, 19, 20, 22, 23, 24, 25, 26,
                                 27, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 38, 39, 40, 41, 42, 42, 43, 44, 45};

int ArcTangent(int64_t minor, int64_t major)
{
    int64_t index = ((minor << 12) / (major << 4)) * 10240 >> 16;
    return kArcTangent[index < 0 ? 0 : index > 40 ? 40 : index];
}

}  // namespace

bool CreateSurfaceOriented(Application* app, Surface* surface, int w, int h)
{
    if (!app || !surface)
        return false;
    return Turned(app) ? surface->Create(h, w) : surface->Create(w, h);
}

Surface* CreateSurfaceSized(Application* app, int w, int h, bool keepAlpha)
{
    if (!app)
        return nullptr;
    std::unique_ptr<Surface> surface(app->CreateImage());
    if (!surface || !CreateSurfaceOriented(app, surface.get(), w, h))
        return nullptr;
    if (!keepAlpha) {
        surface->FreeAlpha();
        surface->ReturnTrue();
    }
    return surface.release();
}

namespace {

template <typename Copy>
void CopyOriented(Application* app, Surface* source, Surface* destination, int x, int y, int w, int h, Copy copy)
{
    if (!app || !source || !destination)
        return;
    if (w == 0)
        w = source->GetWidth();
    if (h == 0)
        h = source->GetHeight();
    switch (app->GetRotation()) {
    case 0:
        copy(x, y, w, h);
        break;
    case 1:
        copy(y, destination->GetRawHeight() - source->GetRawHeight() - x, h, w);
        break;
    case 2:
        copy(destination->GetRawWidth() - source->GetRawWidth() - y, x, h, w);
        break;
    default:
        break;
    }
}

}  // namespace

void CopySurfaceOriented(Application* app, Surface* source, Surface* destination, int x, int y, int w, int h)
{
    CopyOriented(app, source, destination, x, y, w, h,
                 [&](int cx, int cy, int cw, int ch) { source->CopyTo(destination, cx, cy, cw, ch); });
}

void CopyAlphaOriented(Application* app, Surface* source, Surface* destination, int x, int y, int w, int h)
{
    CopyOriented(app, source, destination, x, y, w, h,
                 [&](int cx, int cy, int cw, int ch) { source->CopyAlphaTo(destination, cx, cy, cw, ch); });
}

bool FixedPointInRect(const FixedVec2& point, const FixedRect& rect)
{
    int32_t px = point.x.raw & ~255, py = point.y.raw & ~255;
    return rect.x.raw <= px && px <= (rect.x + rect.w).raw && rect.y.raw <= py && py <= (rect.y + rect.h).raw;
}

bool PointInRect(int x, int y, const Rect& rect)
{
    return rect.x <= x && x <= rect.x + rect.w && rect.y <= y && y <= rect.y + rect.h;
}

int AngleDegrees(int dx, int dy)
{
    if (dx == 0)
        return dy > 0 ? 90 : 270;
    int64_t x = dx, y = dy;
    if (x > 0) {
        if (y > 0)
            return x >= y ? ArcTangent(y, x) : 90 - ArcTangent(x, y);
        return x >= -y ? 360 - ArcTangent(-y, x) : 270 + ArcTangent(x, -y);
    }
    if (y > 0)
        return -x >= y ? 180 - ArcTangent(y, -x) : 90 + ArcTangent(-x, y);
    return -x >= -y ? 180 + ArcTangent(-y, -x) : 270 - ArcTangent(-x, -y);
}

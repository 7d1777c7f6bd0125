#include "engine/graphics/image_loader.h"

#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/core/load_result.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"
#include "engine/graphics/image_decode.h"
#include "engine/graphics/surface.h"

namespace image_decode {

bool BeginLoad(Application* app, const char* path, Surface* target, bool alphaOnly,
               std::unique_ptr<PackMemoryFile>* file, Surface** surface, LoadResult* why)
{
    if (!app || !path)
        return false;
    std::unique_ptr<PackMemoryFile> opening(app->CreatePackMemoryFile());
    if (!opening) {
        if (why)
            *why = LoadResult::Failed(path, "no memory left");
        return false;
    }
    LoadResult opened = opening->Load(app, path);
    if (!opened) {
        if (why)
            *why = opened;
        return false;
    }
    *surface = target ? target : app->CreateImage();
    if (!*surface || (!alphaOnly && (*surface)->GetBytesPerPixel() != 2)) {
        if (why)
            *why = opening->Refused("no surface to load it into");
        Fail(*surface, target);
        return false;
    }
    *file = std::move(opening);
    return true;
}

Surface* Fail(Surface* surface, Surface* target)
{
    if (surface != target)
        delete surface;
    return nullptr;
}

}  // namespace image_decode

namespace {

// The names of one image's files: the path less a trailing ".jpg" or ".png" (exact case) when it
// is longer than that, with each ending in turn.
class ImageNames {
public:
    explicit ImageNames(const char* path)
    {
        size_t length = strlen(path);
        if (length > 4 && (!strcmp(path + length - 4, ".jpg") || !strcmp(path + length - 4, ".png")))
            length -= 4;
        base_.Append(path, length);
    }
    const char* With(const char* ending)
    {
        name_.Clear();
        name_.Append(base_.CStr(), base_.Length());
        name_.Append(ending, strlen(ending));
        return name_.CStr();
    }

private:
    TextBuilder base_, name_;
};

// The PNG tried once the JPEG of the same name failed. A JPEG that is there but damaged is the
// failure told, unless the PNG loads.
Surface* LoadPngAfter(Application* app, const char* path, Surface* target, const LoadResult& jpeg, bool alphaOnly,
                      LoadResult* why)
{
    LoadResult png;
    Surface* surface = alphaOnly ? LoadPngAlpha(app, path, target, &png) : LoadPng(app, path, target, &png);
    if (!surface && why)
        *why = jpeg.IsMissing() ? png : jpeg;
    return surface;
}

}  // namespace

Surface* LoadImage(Application* app, const char* path, Surface* target, LoadResult* why)
{
    if (!app || !path)
        return nullptr;
    ImageNames names(path);
    LoadResult jpeg;
    if (Surface* surface = LoadJpeg(app, names.With(".jpg"), target, 0, 0, &jpeg)) {
        // A missing or mismatched companion leaves the image opaque; a damaged one is a failure.
        LoadResult alpha;
        if (!LoadJpegAlpha(app, names.With("_a.jpg"), surface, &alpha) && !alpha.IsMissing()) {
            if (why)
                *why = alpha;
            return image_decode::Fail(surface, target);
        }
        if (!surface->ReturnTrue())
            return image_decode::Fail(surface, target);
        return surface;
    }
    return LoadPngAfter(app, names.With(".png"), target, jpeg, false, why);
}

Surface* LoadAlphaImage(Application* app, const char* path, Surface* target, LoadResult* why)
{
    if (!app || !path)
        return nullptr;
    ImageNames names(path);
    LoadResult jpeg;
    if (Surface* surface = LoadJpegAlpha(app, names.With(".jpg"), target, &jpeg))
        return surface;
    return LoadPngAfter(app, names.With(".png"), target, jpeg, true, why);
}

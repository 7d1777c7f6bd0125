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

LoadResult BeginLoad(Application* app, const char* path, Surface* target, bool alphaOnly,
                     std::unique_ptr<PackMemoryFile>* file, Surface** surface)
{
    if (!app || !path)
        return LoadResult::Failed(path, "no application to read it");
    std::unique_ptr<PackMemoryFile> opening(app->CreatePackMemoryFile());
    if (!opening)
        return LoadResult::Failed(path, "no memory left");
    LoadResult opened = opening->Load(app, path);
    if (opened.failed())
        return opened;
    *surface = target ? target : app->CreateImage();
    if (!*surface || (!alphaOnly && (*surface)->GetBytesPerPixel() != 2))
        return Fail(*surface, target, opening->Refused("no surface to load it into")).why;
    *file = std::move(opening);
    return LoadResult();
}

LoadedValue<Surface*> Fail(Surface* surface, Surface* target, const LoadResult& why)
{
    if (surface != target)
        delete surface;
    return {nullptr, why};
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
LoadedValue<Surface*> LoadPngAfter(Application* app, const char* path, Surface* target, const LoadResult& jpeg,
                                   bool alphaOnly)
{
    LoadedValue<Surface*> png = alphaOnly ? LoadPngAlpha(app, path, target) : LoadPng(app, path, target);
    if (!png.value && !jpeg.IsMissing())
        png.why = jpeg;
    return png;
}

}  // namespace

LoadedValue<Surface*> LoadImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return {nullptr, LoadResult::Failed(path, "no application to read it")};
    ImageNames names(path);
    LoadedValue<Surface*> jpeg = LoadJpeg(app, names.With(".jpg"), target, 0, 0);
    if (Surface* surface = jpeg.value) {
        // A missing or mismatched companion leaves the image opaque; a damaged one is a failure.
        LoadedValue<Surface*> alpha = LoadJpegAlpha(app, names.With("_a.jpg"), surface);
        if (!alpha.value && !alpha.why.IsMissing())
            return image_decode::Fail(surface, target, alpha.why);
        if (!surface->ReturnTrue())
            return image_decode::Fail(surface, target, LoadResult::Unmade(path, "its surface cannot be made ready"));
        return jpeg;
    }
    return LoadPngAfter(app, names.With(".png"), target, jpeg.why, false);
}

LoadedValue<Surface*> LoadAlphaImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return {nullptr, LoadResult::Failed(path, "no application to read it")};
    ImageNames names(path);
    LoadedValue<Surface*> jpeg = LoadJpegAlpha(app, names.With(".jpg"), target);
    if (jpeg.value)
        return jpeg;
    return LoadPngAfter(app, names.With(".png"), target, jpeg.why, true);
}

#include "engine/graphics/image_loader.h"

#include <cstring>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"
#include "engine/graphics/image_decode.h"
#include "engine/graphics/surface.h"

namespace image_decode {

bool BeginLoad(Application* app, const char* path, Surface* target, bool alphaOnly, PackMemoryFile** file,
               Surface** surface)
{
    if (!app || !path)
        return false;
    *file = app->CreatePackMemoryFile();
    if (!*file)
        return false;
    if (!(*file)->Open(app, path, kStreamRead)) {
        delete *file;
        return false;
    }
    *surface = target ? target : app->CreateImage();
    if (!*surface || (!alphaOnly && (*surface)->GetBytesPerPixel() != 2)) {
        delete *file;
        Fail(*surface, target);
        return false;
    }
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

}  // namespace

Surface* LoadImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return nullptr;
    ImageNames names(path);
    if (Surface* surface = LoadJpeg(app, names.With(".jpg"), target)) {
        // A missing or mismatched companion leaves the image opaque.
        LoadJpegAlpha(app, names.With("_a.jpg"), surface);
        if (!surface->ReturnTrue())
            return image_decode::Fail(surface, target);
        return surface;
    }
    return LoadPng(app, names.With(".png"), target);
}

Surface* LoadAlphaImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return nullptr;
    ImageNames names(path);
    if (Surface* surface = LoadJpegAlpha(app, names.With(".jpg"), target))
        return surface;
    return LoadPngAlpha(app, names.With(".png"), target);
}

#include "engine/graphics/image_loader.h"

#include <cstring>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"
#include "engine/graphics/image_decode.h"
#include "engine/graphics/surface.h"

namespace image_decode {

PackMemoryFile* OpenFile(Application* app, const char* path)
{
    if (!app || !path)
        return nullptr;
    PackMemoryFile* file = app->CreatePackMemoryFile();
    if (file && !file->Open(app, path, kStreamRead)) {
        delete file;
        file = nullptr;
    }
    return file;
}

Surface* TargetOrNew(Application* app, Surface* target)
{
    return target ? target : app->CreateImage();
}

Surface* Fail(Surface* surface, Surface* target)
{
    if (surface != target)
        delete surface;
    return nullptr;
}

}  // namespace image_decode

namespace {

// The path less a trailing ".jpg" or ".png" (exact case) when it is longer than that.
void BaseName(const char* path, TextBuilder& base)
{
    size_t length = strlen(path);
    if (length > 4 && (!strcmp(path + length - 4, ".jpg") || !strcmp(path + length - 4, ".png")))
        length -= 4;
    base.Append(path, length);
}

void WithSuffix(const TextBuilder& base, const char* suffix, TextBuilder& out)
{
    out.Clear();
    out.Append(base.CStr(), base.Length());
    out.Append(suffix, strlen(suffix));
}

}  // namespace

Surface* LoadImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return nullptr;
    TextBuilder base, name;
    BaseName(path, base);
    WithSuffix(base, ".jpg", name);
    if (Surface* surface = LoadJpeg(app, name.CStr(), target)) {
        WithSuffix(base, "_a.jpg", name);
        // A missing or mismatched companion leaves the image opaque.
        LoadJpegAlpha(app, name.CStr(), surface);
        if (!surface->ReturnTrue())
            return image_decode::Fail(surface, target);
        return surface;
    }
    WithSuffix(base, ".png", name);
    return LoadPng(app, name.CStr(), target);
}

Surface* LoadAlphaImage(Application* app, const char* path, Surface* target)
{
    if (!app || !path)
        return nullptr;
    TextBuilder base, name;
    BaseName(path, base);
    WithSuffix(base, ".jpg", name);
    if (Surface* surface = LoadJpegAlpha(app, name.CStr(), target))
        return surface;
    WithSuffix(base, ".png", name);
    return LoadPngAlpha(app, name.CStr(), target);
}

#include "engine/graphics/particle_sprites.h"

#include <cstring>
#include <new>

#include "engine/core/memory.h"
#include "engine/graphics/surface.h"

ParticleSprites::~ParticleSprites()
{
    FreeFrames();
}

void ParticleSprites::FreeFrames()
{
    for (int i = 0; i < frameCount_; ++i)
        delete frames_[i];
    Free(frames_);
    frames_ = nullptr;
    frameCount_ = 0;
}

Surface* ParticleSprites::GetFrame(int i) const
{
    return i >= 0 && i < frameCount_ ? frames_[i] : nullptr;
}

bool ParticleSprites::CutSheet(Application* application, const Surface& sheet, int count, int columns)
{
    FreeFrames();
    if (count < 1 || columns < 1 || !sheet.GetPixelBytes() || sheet.GetFormat() == 4)
        return false;
    int rows = (count + columns - 1) / columns;
    int frameWidth = sheet.GetWidth() / columns, frameHeight = sheet.GetHeight() / (rows > 0 ? rows : 1);
    if (frameWidth < 1 || frameHeight < 1)
        return false;
    frames_ = static_cast<Surface**>(Alloc(sizeof(Surface*) * size_t(count)));
    if (!frames_)
        return false;
    const int bytes = sheet.GetBytesPerPixel(), orientation = sheet.GetOrientation();
    const int sheetWidth = sheet.GetRawWidth();
    for (int i = 0; i < count; ++i) {
        auto* frame = new (std::nothrow) Surface(application);
        if (!frame) {
            FreeFrames();
            return false;
        }
        frames_[frameCount_++] = frame;
        frame->SetOrientation(orientation);
        // A logical cell of a turned sheet is a raw rectangle of it, turned the same way.
        RawRect r = MapLogicalRect(orientation, sheetWidth, sheet.GetRawHeight(), (i % columns) * frameWidth,
                                   (i / columns) * frameHeight, frameWidth, frameHeight);
        if (frame->GetFormat() != sheet.GetFormat() || !frame->Create(r.w, r.h)) {
            FreeFrames();
            return false;
        }
        for (int y = 0; y < r.h; ++y) {
            size_t from = size_t(r.y + y) * sheetWidth + r.x;
            memcpy(frame->GetPixelBytes() + size_t(y) * r.w * bytes, sheet.GetPixelBytes() + from * bytes,
                   size_t(r.w) * bytes);
            if (sheet.GetAlpha() && frame->GetAlpha())
                memcpy(frame->GetAlpha() + size_t(y) * r.w, sheet.GetAlpha() + from, size_t(r.w));
        }
        if (!sheet.GetAlpha())
            frame->FreeAlpha();
    }
    return true;
}

ParticleSpriteCache::~ParticleSpriteCache() = default;

// The sets live in the sprite list; until the cache holds one there is nowhere to find or keep
// a set, which is the answer the cache gives without a list.
ParticleSprites* ParticleSpriteCache::FindOrCreate(const char*, const char*, int, int)
{
    return nullptr;
}

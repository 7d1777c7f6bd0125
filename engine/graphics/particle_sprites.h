#pragma once
// The frames a particle system draws and the cache that shares them between systems.
//
// The sprite list (ResourceEntry, ResourceList) is where sets of frames will come from: the cache
// finds or makes a kind-1 entry for (file, alpha file, count, columns) and loads it. Until the
// list exists a set is made from a sheet surface its owner supplies, cut the way sheets are cut.
#include "engine/core/strings.h"

class Application;
class Surface;
class SurfaceBase;

class ParticleSprites {
public:
    ParticleSprites() = default;
    ParticleSprites(const ParticleSprites&) = delete;
    ParticleSprites& operator=(const ParticleSprites&) = delete;
    virtual ~ParticleSprites();

    // Cuts count frames, columns to a row, out of the sheet (width / columns by height / rows)
    // with their alpha; false, with no frames, when the sheet or the numbers do not allow it.
    bool CutSheet(Application* application, const Surface& sheet, int count, int columns);
    int GetFrameCount() const { return frameCount_; }
    // Null outside 0..count-1.
    Surface* GetFrame(int i) const;
    // Set by the cache on the sets it made; the cache owns those.
    bool IsMadeByCache() const { return madeByCache_; }
    void SetMadeByCache(bool on) { madeByCache_ = on; }

private:
    void FreeFrames();

    Surface** frames_ = nullptr;
    int frameCount_ = 0;
    bool madeByCache_ = false;
};

class ParticleSpriteCache {
public:
    explicit ParticleSpriteCache(Application* application) : application_(application) {}
    ParticleSpriteCache(const ParticleSpriteCache&) = delete;
    ParticleSpriteCache& operator=(const ParticleSpriteCache&) = delete;
    virtual ~ParticleSpriteCache();

    // The set for these files and numbers, shared; null without a sprite list to keep it in.
    virtual ParticleSprites* FindOrCreate(const char* file, const char* alphaFile, int count, int columns);
    Application* GetApplication() const { return application_; }

private:
    Application* application_;
};

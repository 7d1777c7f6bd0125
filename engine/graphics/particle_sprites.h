#pragma once
// The cache that lets particle systems share their frames: one kind-1 sprite set per sheet file,
// alpha file, frame count and column count, kept in a sprite list of its own.
class Application;
class ResourceEntry;
class ResourceList;

class ParticleSpriteCache {
public:
    explicit ParticleSpriteCache(Application* application);
    ParticleSpriteCache(const ParticleSpriteCache&) = delete;
    ParticleSpriteCache& operator=(const ParticleSpriteCache&) = delete;
    // Deletes the list and every set in it: systems using them must be gone first.
    virtual ~ParticleSpriteCache();

    // The set declared for these values, or a new one appended as "set_<n>" and flagged as the
    // cache's; not loaded here. Null without a list or an application, or when the list cannot grow.
    virtual ResourceEntry* FindOrCreate(const char* file, const char* alphaFile, int count, int columns);
    Application* GetApplication() const { return application_; }
    ResourceList* GetList() const { return list_; }

private:
    Application* application_;
    ResourceList* list_;
};

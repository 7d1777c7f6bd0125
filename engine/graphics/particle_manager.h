#pragma once
// The application's particle systems: advanced together once per update, stopped together when a
// level ends, and sharing one sprite cache.
#include "engine/core/arrays.h"

class Application;
class ParticleSpriteCache;
class ParticleSystem;
class SurfaceBase;
class TrigTable;

class ParticleManager {
public:
    ParticleManager(Application* application, TrigTable* renderer, int growStep);
    ParticleManager(const ParticleManager&) = delete;
    ParticleManager& operator=(const ParticleManager&) = delete;
    virtual ~ParticleManager();

    int GetCount() const { return systems_.Count(); }
    // Null outside 0..count-1.
    ParticleSystem* GetSystem(int i) const;
    // Takes the system over; false (and the system still the caller's) when it cannot be listed.
    bool AddSystem(ParticleSystem* system);
    // A new system of this manager's application, renderer and sprite cache, not yet listed.
    ParticleSystem* CreateSystem() const;
    // Every system advances by its own time step.
    void UpdateAll();
    // Stops every system; a nonzero flag also removes their particles at once.
    void KillAll(int flag);
    void Clear();

    TrigTable* GetRenderer() const { return renderer_; }
    ParticleSpriteCache* GetSpriteCache() const { return spriteCache_; }

private:
    Application* application_;
    TrigTable* renderer_;
    PtrArray systems_;
    ParticleSpriteCache* spriteCache_;
};

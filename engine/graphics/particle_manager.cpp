#include "engine/graphics/particle_manager.h"

#include <new>

#include "engine/graphics/particle_sprites.h"
#include "engine/graphics/particle_system.h"

ParticleManager::ParticleManager(Application* application, TrigTable* renderer, int growStep)
    : application_(application), renderer_(renderer), systems_(growStep),
      spriteCache_(new (std::nothrow) ParticleSpriteCache(application))
{
}

ParticleManager::~ParticleManager()
{
    Clear();
    delete spriteCache_;
    spriteCache_ = nullptr;
}

ParticleSystem* ParticleManager::GetSystem(int i) const
{
    return static_cast<ParticleSystem*>(systems_.Get(i));
}

bool ParticleManager::AddSystem(ParticleSystem* system)
{
    return system && systems_.Add(system);
}

ParticleSystem* ParticleManager::CreateSystem() const
{
    return new (std::nothrow) ParticleSystem(application_, renderer_, spriteCache_);
}

void ParticleManager::UpdateAll()
{
    for (int i = 0; i < systems_.Count(); ++i) {
        if (ParticleSystem* system = GetSystem(i))
            system->Update(system->GetTimeStep());
    }
}

void ParticleManager::KillAll(int flag)
{
    for (int i = 0; i < systems_.Count(); ++i) {
        ParticleSystem* system = GetSystem(i);
        if (!system)
            continue;
        system->Stop();
        if (flag)
            system->KillParticles();
    }
}

void ParticleManager::Clear()
{
    for (int i = 0; i < systems_.Count(); ++i)
        delete GetSystem(i);
    systems_.Clear();
    systems_.FreeStorage();
}

// Particle definition files: the 46 keys, the parse of a definition stream and loading by name.
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/load_result.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/particle_fixed.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/particle_system.h"
#include "engine/core/text_script.h"

namespace {

enum class Kind { Int, Flag, Fixed, Colour, Text, TripleFixed };

struct Key {
    const char* name;
    Kind kind;
    int32_t ParticleDefinition::* value;
    uint8_t ParticleDefinition::* flag;
};

using D = ParticleDefinition;

constexpr Key kKeys[] = {
    {"AdditiveBlend", Kind::Flag, nullptr, &D::additiveBlend},
    {"FastDraw", Kind::Flag, nullptr, &D::fastDraw},
    {"EmissionSpeed", Kind::Int, &D::emissionSpeed, nullptr},
    {"SystemLifetime", Kind::Fixed, &D::systemLifetime, nullptr},
    {"ParticleLifeMin", Kind::Fixed, &D::lifeMin, nullptr},
    {"ParticleLifeMax", Kind::Fixed, &D::lifeMax, nullptr},
    {"Direction", Kind::Fixed, &D::direction, nullptr},
    {"Spread", Kind::Fixed, &D::spread, nullptr},
    {"DirectionIsRelative", Kind::Flag, nullptr, &D::directionIsRelative},
    {"ParticleSpeedMin", Kind::Fixed, &D::speedMin, nullptr},
    {"ParticleSpeedMax", Kind::Fixed, &D::speedMax, nullptr},
    {"ParticleGravityMin", Kind::Fixed, &D::gravityMin, nullptr},
    {"ParticleGravityMax", Kind::Fixed, &D::gravityMax, nullptr},
    {"ParticleRadialAccMin", Kind::Fixed, &D::radialAccMin, nullptr},
    {"ParticleRadialAccMax", Kind::Fixed, &D::radialAccMax, nullptr},
    {"ParticleTangAccMin", Kind::Fixed, &D::tangAccMin, nullptr},
    {"ParticleTangAccMax", Kind::Fixed, &D::tangAccMax, nullptr},
    {"ParticleSizeStart", Kind::Fixed, &D::sizeStart, nullptr},
    {"ParticleSizeEnd", Kind::Fixed, &D::sizeEnd, nullptr},
    {"ParticleSizeVar", Kind::Fixed, &D::sizeVar, nullptr},
    {"ParticleSpinStart", Kind::Fixed, &D::spinStart, nullptr},
    {"ParticleSpinEnd", Kind::Fixed, &D::spinEnd, nullptr},
    {"ParticleSpinVar", Kind::Fixed, &D::spinVar, nullptr},
    {"ColorStart_A", Kind::Colour, &D::startAlpha, nullptr},
    {"ColorStart_R", Kind::Colour, &D::startRed, nullptr},
    {"ColorStart_G", Kind::Colour, &D::startGreen, nullptr},
    {"ColorStart_B", Kind::Colour, &D::startBlue, nullptr},
    {"ColorEnd_A", Kind::Colour, &D::endAlpha, nullptr},
    {"ColorEnd_R", Kind::Colour, &D::endRed, nullptr},
    {"ColorEnd_G", Kind::Colour, &D::endGreen, nullptr},
    {"ColorEnd_B", Kind::Colour, &D::endBlue, nullptr},
    {"ColorMiddle_A", Kind::Colour, &D::middleAlpha, nullptr},
    {"ColorMiddleAge", Kind::Fixed, &D::middleAge, nullptr},
    {"ParticleColorVar", Kind::Fixed, &D::colorVar, nullptr},
    {"ParticleAlphaVar", Kind::Fixed, &D::alphaVar, nullptr},
    {"ParticleSprites", Kind::Text, nullptr, nullptr},
    {"ParticleNumSprites", Kind::Int, &D::numSprites, nullptr},
    {"ParticleNumSpritesPerRow", Kind::Int, &D::numSpritesPerRow, nullptr},
    {"GridEffect", Kind::Flag, nullptr, &D::gridEffect},
    {"AnimateEffect", Kind::Flag, nullptr, &D::animateEffect},
    {"AnimateLooped", Kind::Flag, nullptr, &D::animateLooped},
    {"AnimateRandom", Kind::Flag, nullptr, &D::animateRandom},
    {"AnimateSpeed", Kind::TripleFixed, &D::animateSpeed, nullptr},
    {"DirectionalParticles", Kind::Flag, nullptr, &D::directionalParticles},
    {"RandomPos", Kind::Int, &D::randomPos, nullptr},
    {"MaxParticles", Kind::Int, &D::maxParticles, nullptr},
};
static_assert(sizeof(kKeys) / sizeof(kKeys[0]) == 46);

int32_t ReadFixed(const char* value)
{
    Fixed16 f;
    return ParseFixed16(f, value, 0).raw;
}

}  // namespace

bool ApplyParticleKey(ParticleDefinition& definition, const char* key, const char* value)
{
    if (!key)
        return false;
    if (!value)
        value = "";
    for (const Key& k : kKeys) {
        if (strcmp(k.name, key) != 0)
            continue;
        switch (k.kind) {
        case Kind::Int: definition.*k.value = ParseInt(value); break;
        case Kind::Flag: definition.*k.flag = ParseInt(value) >= 1 ? 1 : 0; break;
        case Kind::Fixed: definition.*k.value = ReadFixed(value); break;
        case Kind::Colour: definition.*k.value = particle_fixed::FromInt(ParseInt(value)); break;
        case Kind::Text: definition.sprites = String(value); break;
        case Kind::TripleFixed: definition.*k.value = particle_fixed::Wrap(int64_t(ReadFixed(value)) * 3); break;
        }
        return true;
    }
    return false;
}

bool ParticleSystem::Parse(Stream* stream, ResourceEntry* sprites, Fixed16& frameRate)
{
    SetFrameRate(frameRate);
    frameRate = frameRate_;
    if (!stream) {
        // A given set is the system's even when nothing can be read.
        if (sprites && sprites != sprites_ && !sprites->IsMadeByCache())
            delete sprites;
        return false;
    }
    definition_.gridEffect = 0;
    ShortString line, key, value;
    while (ReadScriptLine(stream, line)) {
        if (SplitKeyValue(line.CStr(), key, value))
            ApplyParticleKey(definition_, key.CStr(), value.CStr());
    }
    stream->Close();
    if (sprites)
        ReplaceSprites(sprites, false);
    else if (!LoadSprites())
        return false;
    Prepare();
    return true;
}

LoadResult ParticleSystem::LoadByName()
{
    if (fileName_.Length() == 0 || !application_)
        return LoadResult::Failed(fileName_.CStr(), "a particle system with no file");
    std::unique_ptr<PackMemoryFile> stream(application_->CreatePackMemoryFile());
    if (!stream)
        return LoadResult::Failed(fileName_.CStr(), "no memory left");
    String path;
    String::Concat(path, application_->GetExeDirectory(), fileName_);
    LoadResult why = stream->Load(application_, path.CStr());
    Fixed16 rate;
    if (why.ok() && !Parse(stream.get(), nullptr, rate))
        why = stream->Refused("its sprites cannot be loaded");
    if (why.ok())
        age_ = kParticleStopped;
    return why;
}

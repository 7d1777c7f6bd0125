#include "engine/graphics/particle_system.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/invariant.h"
#include "engine/core/memory.h"
#include "engine/graphics/particle_fixed.h"
#include "engine/graphics/particle_path.h"
#include "engine/graphics/particle_sprites.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/surface_helpers.h"
#include "engine/graphics/trig_table.h"
#include "platform/crt.h"

using namespace particle_fixed;

namespace {

constexpr int32_t kOne = 65536;
constexpr int64_t kFullCircle = 360LL * 65536;
constexpr int32_t kDefaultRate = 33 * 65536;

// One random draw: a share 0..255 of 256.
int RandomShare()
{
    return crt::rand() >> 7;
}

// Degrees in 16.16 brought into 0..360.
int32_t WrapDegrees(int32_t a)
{
    int64_t r = int64_t(a) % kFullCircle;
    return int32_t(r < 0 ? r + kFullCircle : r);
}

// Degrees in 16.16 folded into -180..180.
int32_t FoldHalfTurn(int32_t a)
{
    return int32_t(WrapDegrees(Wrap(int64_t(a) + kFullCircle / 2)) - kFullCircle / 2);
}

}  // namespace

Fixed16 Fixed16Length(Fixed16 x, Fixed16 y)
{
    int64_t ax = std::llabs(int64_t(x.raw)), ay = std::llabs(int64_t(y.raw));
    bool scaled = ax + ay > 181LL * kOne;
    int64_t sx = x.raw, sy = y.raw;
    if (scaled) {
        sx /= 128;
        sy /= 128;
    }
    double squares = double(((sx * sx) >> 16) + ((sy * sy) >> 16));
    int32_t length = Fixed16::FromDouble(std::sqrt(squares / 65536.0)).raw;
    return Fixed16::Raw(scaled ? Wrap(int64_t(length) * 128) : length);
}

void Fixed16Normalize(Fixed16Vec2& v)
{
    int32_t length = Fixed16Length(Fixed16::Raw(v.x), Fixed16::Raw(v.y)).raw;
    if (length == 0)
        return;
    v.x = Div(v.x, length);
    v.y = Div(v.y, length);
}

ParticleSystem::ParticleSystem(Application* application, TrigTable* renderer, ParticleSpriteCache* spriteCache)
    : renderer_(renderer), application_(application), spriteCache_(spriteCache)
{
    SetFrameRate(Fixed16::Raw(kDefaultRate));
}

ParticleSystem::~ParticleSystem()
{
    ReplaceSprites(nullptr, false);
    Free(particles_);
}

void ParticleSystem::ReplaceSprites(ResourceEntry* sprites, bool loaded)
{
    ResourceEntry* old = sprites_;
    const bool oldLoaded = spritesLoaded_;
    sprites_ = sprites;
    spritesLoaded_ = loaded || (old == sprites && oldLoaded);
    if (!old)
        return;
    // The cache's sets stay in its list and only get their load back; any other set is the system's.
    if (old->IsMadeByCache()) {
        if (oldLoaded && (old != sprites || loaded))
            old->Release();
    } else if (old != sprites) {
        delete old;
    }
}

void ParticleSystem::SetFrameRate(Fixed16 rate)
{
    if (rate.raw < 256)
        return;
    frameRate_ = rate;
    timeStep_ = Fixed16::Divide(Fixed16::Raw(kOne), rate);
}

void ParticleSystem::Start()
{
    Start(Fixed16::Raw(definition_.systemLifetime >= 0 ? 0 : -kOne));
}

void ParticleSystem::Start(Fixed16 age)
{
    age_ = age.raw;
    // A fresh start does not spread its first particles from wherever the emitter last stood.
    previousPosition_ = position_;
}

void ParticleSystem::SetPosition(Fixed16 x, Fixed16 y)
{
    position_ = {x.raw, y.raw};
}

bool ParticleSystem::LoadSprites()
{
    const ParticleDefinition& d = definition_;
    ResourceEntry* set = nullptr;
    if (d.sprites.Length() > 0 && d.numSprites > 0 && d.numSpritesPerRow > 0) {
        const char* file = d.sprites.CStr();
        if (spriteCache_) {
            set = spriteCache_->FindOrCreate(file, file, d.numSprites, d.numSpritesPerRow);
            if (set && set->Load().failed())
                set = nullptr;
        } else if (std::unique_ptr<ResourceEntry> made{new (std::nothrow) ResourceEntry()}) {
            made->SetSingle(application_, file, file, d.numSprites, d.numSpritesPerRow);
            if (made->Load().ok())
                set = made.release();
        }
    }
    // The new set is loaded before the old one is let go, so a shared set is not read twice.
    ReplaceSprites(set, set != nullptr);
    return set != nullptr;
}

void ParticleSystem::Prepare()
{
    ParticleDefinition& d = definition_;
    d.maxParticles = std::clamp(d.maxParticles, 0, kParticleMaxCapacity);
    if (d.maxParticles != capacity_) {
        if (d.maxParticles == 0) {
            Free(particles_);
            particles_ = nullptr;
            capacity_ = 0;
        } else if (auto* block = static_cast<Particle*>(Alloc(sizeof(Particle) * size_t(d.maxParticles)))) {
            int kept = std::min(count_, d.maxParticles);
            if (kept > 0)
                memcpy(block, particles_, sizeof(Particle) * size_t(kept));
            Free(particles_);
            particles_ = block;
            capacity_ = d.maxParticles;
        }
    }
    count_ = std::min(count_, capacity_);
    tinted_ = false;
    for (int32_t c : {d.startRed, d.startGreen, d.startBlue, d.endRed, d.endGreen, d.endBlue})
        tinted_ = tinted_ || c != 255 * kOne;
    d.fastDraw = d.sizeStart == kOne && d.sizeEnd == kOne && d.spinStart == 0 && d.spinEnd == 0;
    age_ = d.systemLifetime >= 0 ? kParticleStopped : -kOne;
}

void ParticleSystem::Update(Fixed16 step)
{
    if (!sprites_)
        return;
    const ParticleDefinition& d = definition_;
    const int32_t dt = step.raw;
    if (age_ >= 0) {
        age_ = Add(age_, dt);
        if (age_ >= d.systemLifetime)
            age_ = kParticleStopped;
    }
    for (int i = 0; i < count_;) {
        Particle& p = particles_[i];
        p.age = Add(p.age, dt);
        if (p.age >= p.life) {
            // The last particle takes this place and is processed in it.
            p = particles_[--count_];
            continue;
        }
        if (p.radial != 0) {
            Fixed16Vec2 n{Sub(p.x, position_.x), Sub(p.y, position_.y)};
            Fixed16Normalize(n);
            p.vx = Add(p.vx, Mul(Sub(Mul(p.radial, n.x), Mul(p.tangential, n.y)), dt));
            p.vy = Add(p.vy, Mul(Add(Mul(p.tangential, n.x), Mul(p.radial, n.y)), dt));
        }
        p.vy = Add(p.vy, Mul(p.gravity, dt));
        p.x = Add(p.x, p.vx);
        p.y = Add(p.y, p.vy);
        p.spin = Add(p.spin, Mul(p.spinSpeed, dt));
        p.size = Add(p.size, Mul(p.sizeSpeed, dt));
        p.red = Add(p.red, Mul(p.redSpeed, dt));
        p.green = Add(p.green, Mul(p.greenSpeed, dt));
        p.blue = Add(p.blue, Mul(p.blueSpeed, dt));
        p.alpha = Add(p.alpha, Mul(p.alphaSpeed, dt));
        if (p.middleAge > 0 && p.age >= p.middleAge && !p.middleReached) {
            p.alpha = d.middleAlpha;
            p.alphaSpeed = Div(Sub(d.endAlpha, d.middleAlpha), Sub(p.life, p.middleAge));
            p.middleReached = 1;
        }
        if (d.animateEffect) {
            p.frame = Add(p.frame, d.animateSpeed);
            if ((p.frame >> 16) >= d.numSprites)
                p.frame = d.animateLooped ? 0 : FromInt(int64_t(d.numSprites) - 1);
        }
        ++i;
    }
    if (age_ == kParticleStopped)
        return;

    const bool grid = d.numSprites >= 2 && d.gridEffect;
    const int32_t e = Mul(FromInt(d.emissionSpeed), dt);
    const int32_t sum = Add(accumulator_, e);
    int n = sum >> 16;
    if (!grid) {
        accumulator_ = Sub(sum, FromInt(n));
    } else if (sum > 0) {
        n = d.numSprites;
        accumulator_ = Add(FromInt(-int64_t(d.numSprites)), e);
    } else {
        accumulator_ = sum;
    }
    // A larger array that could not be had leaves the old capacity as the limit.
    const int limit = std::min(d.maxParticles, capacity_);
    for (; n > 0 && count_ < limit; --n)
        Spawn(grid);
    previousPosition_ = position_;
}

void ParticleSystem::Spawn(bool grid)
{
    const ParticleDefinition& d = definition_;
    KELO_ASSERT(count_ < capacity_);
    Particle& p = particles_[count_++];
    p = Particle{};
    p.life = Add(d.lifeMin, Share(Sub(d.lifeMax, d.lifeMin), RandomShare()));
    p.middleAge = Mul(p.life, d.middleAge);

    // Particles of one update spread along the way the emitter moved.
    const int32_t t = RandomShare() << 8;
    p.x = Add(previousPosition_.x, Mul(Sub(position_.x, previousPosition_.x), t));
    p.y = Add(previousPosition_.y, Mul(Sub(position_.y, previousPosition_.y), t));
    Fixed16Vec2 offset;
    if (path_) {
        if (path_->IsWalking())
            path_->NextPoint(offset);
        else
            path_->RandomPoint(offset);
    } else if (pointSource_) {
        pointSource_->GetOffset(offset);
    }
    p.x = Add(p.x, offset.x);
    p.y = Add(p.y, offset.y);

    if (!grid) {
        if (d.randomPos > 0) {
            // Whole pixels, shifted into 16.16.
            const int64_t half = (int64_t(d.randomPos) + 1) / 2;
            p.x = Add(p.x, FromInt(int64_t(d.randomPos) * RandomShare() / 256 - half));
            p.y = Add(p.y, FromInt(int64_t(d.randomPos) * RandomShare() / 256 - half));
        }
        if (d.animateEffect && d.animateRandom) {
            int frame = Random(d.numSprites);
            p.frame = frame >= 0 && frame < d.numSprites ? FromInt(frame) : 0;
        }
    } else {
        gridCell_ = gridCell_ + 1 >= d.numSprites ? 0 : gridCell_ + 1;
        const int c = gridCell_;
        const int perRow = std::max(d.numSpritesPerRow, 1);
        const Surface* first = sprites_->GetFrame(0);
        const int32_t w = first ? Mul(FromInt(first->GetWidth()), d.sizeStart) : 0;
        const int32_t h = first ? Mul(FromInt(first->GetHeight()), d.sizeStart) : 0;
        const int32_t left = Sub(p.x, Wrap(int64_t(perRow) * w / 2));
        const int32_t top = Sub(p.y, Wrap(int64_t(d.numSprites / perRow) * h / 2));
        p.x = Add(left, Wrap(int64_t(c % perRow) * w + ((w / 2) & ~0xFFFF)));
        p.y = Add(top, Wrap(int64_t(c / perRow) * h + ((h / 2) & ~0xFFFF)));
        p.frame = FromInt(c);
    }

    const int32_t a = SpawnAngle(p, grid);
    int32_t cosine = 0, sine = 0;
    if (renderer_ && renderer_->GetCosine() && renderer_->GetSine()) {
        int index = renderer_->AngleToIndex(a >> 8);
        cosine = Wrap(int64_t(renderer_->GetCosine()[index]) << 8);
        sine = Wrap(int64_t(renderer_->GetSine()[index]) << 8);
    }
    const int32_t speed = Add(d.speedMin, Share(Sub(d.speedMax, d.speedMin), RandomShare()));
    p.vx = Mul(Mul(cosine, speed), timeStep_.raw);
    p.vy = Mul(Mul(sine, speed), timeStep_.raw);
    p.gravity = Wrap(3 * (int64_t(d.gravityMin) + ((int64_t(Sub(d.gravityMax, d.gravityMin)) * RandomShare()) >> 8)));
    p.radial = Add(d.radialAccMin, Share(Sub(d.radialAccMax, d.radialAccMin), RandomShare()));
    p.tangential = Add(d.tangAccMin, Share(Sub(d.tangAccMax, d.tangAccMin), RandomShare()));

    p.size = Add(d.sizeStart, Share(Mul(Sub(d.sizeEnd, d.sizeStart), d.sizeVar), RandomShare()));
    p.sizeSpeed = Div(Sub(d.sizeEnd, p.size), p.life);
    p.spin = Add(d.spinStart, Share(Mul(Sub(d.spinEnd, d.spinStart), d.spinVar), RandomShare()));
    p.spinSpeed = Div(Sub(d.spinEnd, p.spin), p.life);
    p.red = Add(d.startRed, Share(Mul(Sub(d.endRed, d.startRed), d.colorVar), RandomShare()));
    p.redSpeed = Div(Sub(d.endRed, p.red), p.life);
    p.green = Add(d.startGreen, Share(Mul(Sub(d.endGreen, d.startGreen), d.colorVar), RandomShare()));
    p.greenSpeed = Div(Sub(d.endGreen, p.green), p.life);
    p.blue = Add(d.startBlue, Share(Mul(Sub(d.endBlue, d.startBlue), d.colorVar), RandomShare()));
    p.blueSpeed = Div(Sub(d.endBlue, p.blue), p.life);
    if (p.middleAge == 0) {
        p.alpha = Add(d.startAlpha, Share(Mul(Sub(d.endAlpha, d.startAlpha), d.alphaVar), RandomShare()));
        p.alphaSpeed = Div(Sub(d.endAlpha, p.alpha), p.life);
    } else {
        p.alpha = Add(d.startAlpha, Share(Mul(Sub(d.middleAlpha, d.startAlpha), d.alphaVar), RandomShare()));
        p.alphaSpeed = Div(Sub(d.middleAlpha, p.alpha), p.middleAge);
    }
}

int32_t ParticleSystem::SpawnAngle(const Particle& p, bool grid)
{
    const ParticleDefinition& d = definition_;
    const int32_t dx = Sub(p.x, position_.x), dy = Sub(p.y, position_.y);
    int32_t a;
    if ((!grid && !d.directionalParticles) || (dx == 0 && dy == 0)) {
        a = Sub(Add(d.direction, Share(d.spread, RandomShare())), d.spread / 2);
    } else {
        // Particles fly away from the emitter, the cone narrowing the spread of their directions.
        int32_t b = FromInt(AngleDegrees(dx >> 16, dy >> 16));
        int32_t relative = FoldHalfTurn(Sub(b, d.direction));
        a = Add(d.direction, Wrap(((int64_t(relative) * d.spread) >> 16) / 360));
    }
    a = WrapDegrees(a);
    if (d.directionIsRelative) {
        int32_t moved = FromInt(AngleDegrees(Sub(previousPosition_.x, position_.x) >> 16,
                                             Sub(previousPosition_.y, position_.y) >> 16));
        a = WrapDegrees(Add(a, moved));
    }
    return a;
}

void ParticleSystem::Draw(SurfaceBase* destination)
{
    if (!destination || !sprites_ || !renderer_)
        return;
    const ParticleDefinition& d = definition_;
    for (int i = 0; i < count_; ++i) {
        const Particle& p = particles_[i];
        Surface* frame = sprites_->GetFrame(p.frame >> 16);
        if (!frame)
            continue;
        const int alphaOffset = std::clamp((p.alpha >> 16) - 255, -255, 0);
        const int r = std::clamp(p.red >> 16, 0, 255), g = std::clamp(p.green >> 16, 0, 255),
                  b = std::clamp(p.blue >> 16, 0, 255);
        const Fixed x = Fixed::Raw(p.x >> 8), y = Fixed::Raw(p.y >> 8);
        const int angle = WrapAngle(p.spin >> 8);
        const Fixed16 scale = Fixed16::Raw(p.size);
        if (d.additiveBlend) {
            renderer_->DrawRotatedAdditive(frame, destination, x, y, angle, scale, r, g, b, alphaOffset);
        } else if (tinted_) {
            renderer_->DrawRotatedTinted(frame, destination, x, y, angle, scale, r, g, b, alphaOffset);
        } else if (d.fastDraw) {
            // Unscaled and unturned: a plain blit centred on the particle.
            const int w = frame->GetWidth(), h = frame->GetHeight();
            frame->Draw(destination, (p.x >> 16) - w / 2, (p.y >> 16) - h / 2, w, h, 0, alphaOffset);
        } else if (alphaOffset < 0) {
            renderer_->DrawRotatedAlpha(frame, destination, x, y, angle, scale, alphaOffset);
        } else {
            renderer_->DrawRotated(frame, destination, x, y, angle, scale);
        }
    }
}

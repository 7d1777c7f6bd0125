#include "game/play/effect_emitter.h"

#include <algorithm>

#include "engine/core/archive.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/play/coin.h"

namespace {

constexpr int kStarCount = 8;
constexpr int kTraceCount = 25;
constexpr int kSparkCount = 16;

// The table's 24.8 cosine and sine of whole degrees.
void CosSin(GameApp* application, int degrees, Fixed& c, Fixed& s)
{
    TrigTable* trig = application->GetRenderer();
    int i = trig->AngleToIndex(Fixed::FromInt(degrees).raw);
    c = Fixed::Raw(trig->GetCosine()[i]);
    s = Fixed::Raw(trig->GetSine()[i]);
}

void DrawAdditive(GameApp* application, Surface* surface, Surface* image, const EffectParticle& p, int r, int g,
                  int b, int alpha)
{
    TrigTable* trig = application->GetRenderer();
    if (surface && image && trig)
        trig->DrawRotatedAdditive(image, surface, p.position.x, p.position.y, 0, Fixed16::FromInt(1), r, g, b, alpha);
}

}  // namespace

void EffectParticle::Step()
{
    position.AddAssign(velocity);
    velocity.AddAssign(acceleration);
    alpha += alphaSpeed;
    alphaInt = alpha.ToInt();
    frame += frameSpeed;
    if (frame.ToInt() >= frameCount)
        frame -= Fixed::FromInt(frameCount);
}

EffectEmitter::EffectEmitter(GameApp* application) : GameObject(application) {}

bool EffectEmitter::StepParticles()
{
    bool live = false;
    for (int i = 0; i < count_; ++i) {
        EffectParticle& p = particles_[i];
        if (!p.IsLive())
            continue;
        p.Step();
        live = live || p.IsLive();
    }
    return live;
}

bool EffectEmitter::Serialize(Stream* stream, bool saving)
{
    if (!GameObject::Serialize(stream, saving))
        return false;
    Archive archive(stream, saving);
    archive.SerializeValue(count_);
    archive.SerializeValue(nextIndex_);
    if (!archive.Succeeded() || count_ < 0 || count_ > kMaxParticles || nextIndex_ < 0 ||
        nextIndex_ >= kMaxParticles)
        return false;
    for (int i = 0; i < count_; ++i) {
        EffectParticle& p = particles_[i];
        for (Fixed* f : {&p.position.x, &p.position.y, &p.velocity.x, &p.velocity.y, &p.acceleration.x,
                         &p.acceleration.y, &p.alpha, &p.alphaSpeed})
            archive.SerializeValue(f->raw);
        archive.SerializeValue(p.kind);
        archive.SerializeValue(p.alphaInt);
        archive.SerializeValue(p.frame.raw);
        archive.SerializeValue(p.frameSpeed.raw);
        archive.SerializeValue(p.frameCount);
        if (!archive.Succeeded() || p.kind < 0 || p.kind > 1)
            return false;
    }
    return true;
}

StarEmitter::StarEmitter(GameApp* application) : EffectEmitter(application)
{
    type_ = kObjectStarEmitter;
    count_ = kStarCount;
    TrigTable* trig = application->GetRenderer();
    if (trig) {
        sine_ = trig->GetSine();
        cosine_ = trig->GetCosine();
    }
}

StarEmitter::~StarEmitter()
{
    application_->ReleaseSprite(starSet_);
    application_->ReleaseSprite(blinkSet_);
}

bool StarEmitter::Init()
{
    return application_->AcquireSprite(starSet_, "ParticleStarSmall") &&
           application_->AcquireSprite(blinkSet_, "ParticleBlik");
}

bool StarEmitter::Serialize(Stream* stream, bool saving)
{
    if (!EffectEmitter::Serialize(stream, saving))
        return false;
    Archive archive(stream, saving);
    bool started = started_ != 0;
    archive.SerializeBool(started);
    started_ = started ? 1 : 0;
    return archive.Succeeded();
}

void StarEmitter::Update()
{
    if (!started_) {
        started_ = 1;
        const LayoutTable& layout = application_->GetLayoutTable();
        Fixed f19 = layout.fixed[kLayoutStarSpreadX], f20 = layout.fixed[kLayoutStarSpreadY],
              f21 = layout.fixed[kLayoutOddStarSpreadX], f22 = layout.fixed[kLayoutOddStarSpreadY];
        for (int i = 0; i < count_ && i < kMaxParticles; ++i) {
            bool odd = (i & 1) != 0;
            Fixed c, s;
            CosSin(application_, i * 360 / count_ + (odd ? 7 : 5), c, s);
            int ox = Fixed::Multiply(odd ? f21 : f19, c).ToInt();
            int oy = Fixed::Multiply(odd ? f22 : f20, s).ToInt();
            if (oy > 0)
                oy = -oy;
            FixedVec2 offset(Fixed::FromInt(ox), Fixed::FromInt(oy));
            FixedVec2 direction = offset;
            direction.Normalize();
            Fixed speed = f20 + Fixed::FromInt(GameApp::Random(odd ? (f21 - f22).ToInt() : (f19 - f20).ToInt()));
            EffectParticle& p = particles_[i];
            p.position = FixedVec2(bounds_.x + offset.x, bounds_.y + offset.y);
            p.velocity = direction.Scale(speed);
            p.acceleration = FixedVec2(Fixed(), Fixed::FromDouble(0.4));
            p.alpha = Fixed();
            p.alphaInt = 0;
            p.alphaSpeed = Fixed::FromInt(-5);
            p.kind = odd ? 1 : 0;
            p.frame = Fixed::FromInt(GameApp::Random(18));
            p.frameSpeed = Fixed::FromInt(odd ? 1 : 6);
            p.frameCount = 18;
        }
        return;
    }
    if (!StepParticles())
        Kill();
}

void StarEmitter::DrawPass(Surface* surface, int kind)
{
    for (int i = 0; i < count_; ++i) {
        const EffectParticle& p = particles_[i];
        if (!p.IsLive() || p.kind != kind)
            continue;
        if (kind == 0)
            DrawAdditive(application_, surface, blinkSet_ ? blinkSet_->GetFrame(0) : nullptr, p, 255, 160, 160,
                         p.alphaInt);
        else
            DrawAdditive(application_, surface, starSet_ ? starSet_->GetFrame(p.frame.ToInt()) : nullptr, p, 255, 160,
                         160, 0);
    }
}

SparkEmitter::SparkEmitter(GameApp* application) : StarEmitter(application)
{
    type_ = kObjectSparkEmitter;
    count_ = kSparkCount;
}

void SparkEmitter::Update()
{
    if (!started_) {
        started_ = 1;
        Fixed f19 = application_->GetLayoutTable().fixed[kLayoutStarSpreadX];
        for (int i = 0; i < count_ && i < kMaxParticles; ++i) {
            Fixed c, s;
            CosSin(application_, i * 360 / kSparkCount + 5, c, s);
            FixedVec2 direction(Fixed::FromInt(Fixed::Multiply(f19, c).ToInt()),
                                Fixed::FromInt(Fixed::Multiply(f19, s).ToInt()));
            direction.Normalize();
            EffectParticle& p = particles_[i];
            p.position = FixedVec2(bounds_.x, bounds_.y);
            p.velocity = direction.Scale(f19);
            p.acceleration = FixedVec2();
            p.alpha = Fixed::FromInt(255);
            p.alphaInt = 255;
            p.alphaSpeed = Fixed::FromInt(-30);
            p.kind = 0;
            p.frame = Fixed::FromInt(GameApp::Random(18));
            p.frameSpeed = Fixed::FromInt(1);
            p.frameCount = 18;
        }
        return;
    }
    if (!StepParticles())
        Kill();
}

void SparkEmitter::Draw(Surface* surface, int, int)
{
    Surface* image = blinkSet_ ? blinkSet_->GetFrame(0) : nullptr;
    for (int i = 0; i < count_; ++i)
        if (particles_[i].IsLive())
            DrawAdditive(application_, surface, image, particles_[i], 255, 155, 0, std::min(particles_[i].alphaInt, 0));
}

TraceEmitter::TraceEmitter(GameApp* application)
    : EffectEmitter(application),
      riseSpeed_(Fixed::FromDouble(0.5)),
      riseAcceleration_(Fixed::FromDouble(0.15)),
      unused_(Fixed::FromInt(-5))
{
    type_ = kObjectTraceEmitter;
    count_ = kTraceCount;
    TrigTable* trig = application->GetRenderer();
    if (trig) {
        sine_ = trig->GetSine();
        cosine_ = trig->GetCosine();
    }
}

TraceEmitter::~TraceEmitter()
{
    if (owner_)
        owner_->DetachTrail();
    application_->ReleaseSprite(sprite_);
}

bool TraceEmitter::Init()
{
    spawnTimer_ = Fixed();
    return application_->AcquireSprite(sprite_, "ParticleTrace");
}

bool TraceEmitter::Serialize(Stream* stream, bool saving)
{
    if (!EffectEmitter::Serialize(stream, saving))
        return false;
    Archive archive(stream, saving);
    bool emitting = emitting_ != 0;
    archive.SerializeBool(emitting);
    emitting_ = emitting ? 1 : 0;
    archive.SerializeValue(countdown_);
    return archive.Succeeded();
}

void TraceEmitter::Update()
{
    // A countdown at or below 0 is due; only one above it counts down, so a loaded record's
    // lowest value cannot wrap round to the highest.
    if (emitting_ && (countdown_ <= 0 || --countdown_ < 0)) {
        countdown_ = 1;
        if (count_ > 0) {
            int half = spread_ / 2;
            EffectParticle& p = particles_[nextIndex_ % count_];
            int dx = GameApp::Random(spread_) - half;
            int dy = GameApp::Random(spread_) - half;
            p.position = FixedVec2(bounds_.x + Fixed::FromInt(dx), bounds_.y + Fixed::FromInt(dy));
            p.velocity = FixedVec2(Fixed(), -riseSpeed_);
            p.acceleration = FixedVec2(Fixed(), -riseAcceleration_);
            p.alpha = Fixed();
            p.alphaInt = 0;
            p.alphaSpeed = Fixed::FromInt(-10);
            p.kind = 0;
            p.frame = Fixed::FromInt(GameApp::Random(14));
            p.frameSpeed = Fixed::FromDouble(0.5);
            p.frameCount = 14;
            nextIndex_ = (nextIndex_ + 1) % count_;
        }
    }
    if (!StepParticles() && !emitting_)
        Kill();
}

void TraceEmitter::Draw(Surface* surface, int, int)
{
    if (!surface || !sprite_)
        return;
    for (int i = 0; i < count_; ++i) {
        const EffectParticle& p = particles_[i];
        Surface* image = p.IsLive() ? sprite_->GetFrame(p.frame.ToInt()) : nullptr;
        if (!image)
            continue;
        int w = image->GetWidth(), h = image->GetHeight();
        // Its own colours, faded by the particle's alpha offset.
        image->BlitRegion(surface, p.position.x.ToInt() - w / 2, p.position.y.ToInt() - h / 2, w, h, 0, 0,
                          p.alphaInt);
    }
}

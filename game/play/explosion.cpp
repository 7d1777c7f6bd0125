#include "game/play/explosion.h"

#include "engine/core/archive.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "game/app/game_app.h"
#include "game/play/ball_sprite.h"

Explosion::Explosion(GameApp* application) : GameObject(application)
{
    type_ = kObjectExplosion;
}

Explosion::~Explosion()
{
    application_->ReleaseSprite(sprite_);
    application_->ReleaseSprite(bombSet_);
}

bool Explosion::Init()
{
    frame_ = Fixed();
    return application_->AcquireSprite(sprite_, "BallExplosion") && sprite_->GetFrameCount() > 0 &&
           application_->AcquireSprite(bombSet_, "Explosion") && bombSet_->GetFrameCount() > 0;
}

void Explosion::CentreOn(Fixed x, Fixed y)
{
    bounds_.x = x - bounds_.HalfWidth();
    bounds_.y = y - bounds_.HalfHeight();
}

void Explosion::Update()
{
    if (delay_ >= 1) {
        --delay_;
        return;
    }
    ResourceEntry* set = ActiveSet();
    frame_ += colour_ == kBomb ? Fixed::FromDouble(0.7) : Fixed::FromInt(1);
    if (!set || frame_ >= Fixed::FromInt(set->GetFrameCount()))
        Kill();
}

void Explosion::Draw(Surface* surface, int offsetX, int offsetY)
{
    ResourceEntry* set = ActiveSet();
    if (!surface || !set || delay_ >= 1 || frame_.raw < 0 || frame_.ToInt() >= set->GetFrameCount())
        return;
    Surface* image = set->GetFrame(frame_.ToInt());
    if (!image)
        return;
    int w = image->GetWidth(), h = image->GetHeight();
    int x = bounds_.CenterX().ToInt() + offsetX - w / 2;
    int y = bounds_.CenterY().ToInt() + offsetY - h / 2;
    if (colour_ == kBomb) {
        image->BlitRegion(surface, x, y, w, h, 0, 0, 0);
    } else {
        int r, g, b;
        BallSprite::ColourTint(colour_, r, g, b);
        image->DrawMask(surface, r, g, b, x, y, w, h, 0, 0);
    }
}

bool Explosion::Serialize(Stream* stream, bool saving)
{
    if (!GameObject::Serialize(stream, saving))
        return false;
    Archive archive(stream, saving);
    archive.SerializeValue(colour_);
    archive.SerializeValue(delay_);
    return archive.Succeeded() && colour_ >= 0 && colour_ <= kBomb && delay_ >= 0;
}

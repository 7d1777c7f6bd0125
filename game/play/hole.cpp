#include "game/play/hole.h"

#include <algorithm>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"

Hole::Hole(GameApp* application) : GameObject(application), coverSpeed_(Fixed::FromDouble(0.2))
{
    type_ = kObjectHole;
}

Hole::~Hole()
{
    delete cachedBackground;
    application_->ReleaseSprite(sprite_);
    application_->ReleaseSprite(coverSet_);
}

bool Hole::Init()
{
    frame_ = Fixed();
    if (!application_->AcquireSprite(sprite_, "Hole") || !application_->AcquireSprite(coverSet_, "Pitcover"))
        return false;
    coverFrameCount_ = coverSet_->GetFrameCount();
    return coverFrameCount_ > 0;
}

void Hole::SetCoverTarget(int frame)
{
    coverTarget_ = std::clamp(frame, 0, std::max(coverFrameCount_ - 1, 0));
}

void Hole::StartGlow()
{
    glow_ = Fixed();
    glowSpeed_ = Fixed::FromInt(16);
}

void Hole::Update()
{
    Fixed target = Fixed::FromInt(coverTarget_);
    if (coverFrame_ < target)
        coverFrame_ = std::min(coverFrame_ + coverSpeed_, target);
    else if (coverFrame_ > target)
        coverFrame_ = std::max(coverFrame_ - coverSpeed_, target);
    if (glowSpeed_.raw != 0) {
        glow_ += glowSpeed_;
        if (glow_ > Fixed::FromInt(255)) {
            glow_ = Fixed::FromInt(255);
            glowSpeed_ = -glowSpeed_;
        } else if (glow_.raw < 0) {
            glow_ = glowSpeed_ = Fixed();
        }
    }
}

void Hole::Draw(Surface* surface, int offsetX, int offsetY)
{
    TrigTable* trig = application_->GetRenderer();
    if (!surface || !trig || !sprite_ || !coverSet_ || sprite_->GetFrameCount() < 1 || coverSet_->GetFrameCount() < 1)
        return;
    Fixed cx = bounds_.CenterX() + Fixed::FromInt(offsetX);
    Fixed cy = bounds_.CenterY() + Fixed::FromInt(offsetY);
    Surface* pit = sprite_->GetFrame(0);
    Surface* cover = coverSet_->GetFrame(coverFrame_.ToInt());
    Fixed16 one = Fixed16::FromInt(1);
    if (drawingEnabled_) {
        trig->DrawRotated(pit, surface, cx, cy, angle_.raw, one);
        trig->DrawRotated(cover, surface, cx, cy, angle_.raw, one);
        lastDrawnCover_ = coverFrame_.ToInt();
    }
    if (glow_.raw > 0) {
        int alpha = glow_.ToInt() - 255;
        trig->DrawRotatedAdditive(pit, surface, cx, cy, angle_.raw, one, 255, 255, 128, alpha);
        trig->DrawRotatedAdditive(cover, surface, cx, cy, angle_.raw, one, 255, 255, 128, alpha);
    }
}

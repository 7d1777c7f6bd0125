#include "game/play/ball_sprite.h"

#include <algorithm>
#include <cstdint>

#include "engine/core/archive.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"

namespace {

constexpr int kPowerUpKinds = 4;
const uint8_t kTints[6][3] = {
    {128, 255, 255}, {255, 255, 64}, {255, 170, 170}, {128, 255, 128}, {255, 128, 255}, {255, 255, 255},
};
const char* const kBonusNames[6] = {"BonusBall1", "BonusBall2", "BonusBall3",
                                    "BonusBall4", "BonusBall5", "BonusBall6"};

bool ValidColour(int colour)
{
    return colour >= 0 && colour < 6;
}

}  // namespace

BallSprite::BallSprite(GameApp* application, int colour) : GameObject(application), colour_(colour)
{
    type_ = kObjectBallSprite;
    const LayoutTable& layout = application->GetLayoutTable();
    bounds_.w = bounds_.h = layout.fixed[kLayoutBallDiameter];
    frameRange_ = layout.ints[kLayoutBallFrameRange];
    distanceFactor_ = layout.fixed[kLayoutDesignScale].raw != 0
                          ? Fixed::Divide(Fixed::FromInt(1), layout.fixed[kLayoutDesignScale])
                          : Fixed::FromInt(1);
}

BallSprite::~BallSprite()
{
    application_->ReleaseSprite(sprite_);
    application_->ReleaseSprite(bonusSet_);
    application_->ReleaseSprite(glowSet_);
}

bool BallSprite::Init()
{
    if (!ValidColour(colour_))
        return false;
    if (!sprite_ && !application_->AcquireSprite(sprite_, GameApp::GetBallName(colour_)))
        return false;
    if (!bonusSet_ && !application_->AcquireSprite(bonusSet_, kBonusNames[colour_]))
        return false;
    if (!glowSet_ && !application_->AcquireSprite(glowSet_, "BonusLightAlpha"))
        return false;
    // The rolling frame is taken modulo the count, and the bonus frames are one per power-up kind.
    if (sprite_->GetFrameCount() < 1 || bonusSet_->GetFrameCount() < kPowerUpKinds ||
        glowSet_->GetFrameCount() < kPowerUpKinds)
        return false;
    startFrame_ = frameRange_ < 3 ? 0 : GameApp::Random(frameRange_ - 1);
    return true;
}

void BallSprite::SetRoll(int rotation, Fixed distance)
{
    rotation_ = rotation;
    if (!ValidColour(colour_) || !sprite_ || sprite_->GetFrameCount() < 1) {
        if (!ValidColour(colour_))
            rotation_ = 0;
        return;
    }
    int rolled = (Fixed::FromInt(startFrame_) + Fixed::Multiply(distance, distanceFactor_)).ToInt();
    int frame = rolled % sprite_->GetFrameCount();
    frame_ = Fixed::FromInt(frame < 0 ? 0 : frame);
}

void BallSprite::SetPowerUp(int kind)
{
    if (kind == powerUp_)
        return;
    pendingPowerUp_ = kind;
    pendingDelay_ = kPendingFrames;
    powerUpLife_ = 0;
}

void BallSprite::ColourTint(int colour, int& red, int& green, int& blue)
{
    const uint8_t* tint = kTints[ValidColour(colour) ? colour : 5];
    red = tint[0];
    green = tint[1];
    blue = tint[2];
}

void BallSprite::Update()
{
    if (pendingDelay_ > 0 && --pendingDelay_ == 0) {
        powerUp_ = pendingPowerUp_;
        pendingPowerUp_ = -1;
        if (powerUp_ != -1) {
            powerUpLife_ = kPowerUpFrames;
            glow_ = Fixed();
            glowSpeed_ = Fixed::FromInt(24);
        }
    }
    if (powerUpLife_ > 0 && --powerUpLife_ < 1) {
        powerUpLife_ = 0;
        SetPowerUp(-1);
    }
    glow_ += glowSpeed_;
    if (glow_ > Fixed::FromInt(255)) {
        glow_ = Fixed::FromInt(255);
        glowSpeed_ = -glowSpeed_;
    } else if (glow_.raw < 0) {
        glow_ = Fixed();
        glowSpeed_ = (pendingDelay_ > 0 && pendingPowerUp_ == -1) ? Fixed() : -glowSpeed_;
    }
    // It may run below 0 (only positive values flash), but not past the bottom of the word.
    if (flashCounter_ > INT32_MIN)
        --flashCounter_;
}

void BallSprite::Draw(Surface* surface, int, int)
{
    TrigTable* trig = application_->GetRenderer();
    if (!surface || !trig || !sprite_)
        return;
    Fixed cx = bounds_.CenterX(), cy = bounds_.CenterY();
    Surface* main = sprite_->GetFrame(frame_.ToInt());
    Surface* bonus = powerUp_ >= 0 && bonusSet_ ? bonusSet_->GetFrame(powerUp_) : nullptr;
    auto drawn = [&](auto&& draw) {
        trig->SetDrawMode(1);
        draw();
        trig->SetDrawMode(0);
    };
    if (powerUp_ >= 0 && powerUp_ < kPowerUpKinds) {
        // Reverse's arrow follows the track; its glow turns with it.
        const int angle = Fixed::FromInt(powerUp_ == 1 ? static_cast<int>((int64_t(rotation_) + 270) % 360) : 0).raw;
        if (bonus)
            drawn([&] { trig->DrawRotated(bonus, surface, cx, cy, angle, scale_); });
        if (glow_.raw > 0 && glowSet_) {
            int a = std::min((glow_ - Fixed::FromInt(255)).ToInt(), 0);
            Surface* light = glowSet_->GetFrame(powerUp_);
            if (a > -255 && light)
                drawn([&] { trig->DrawRotatedTinted(light, surface, cx, cy, angle, scale_, 255, 255, 255, a); });
        }
    } else if (main) {
        drawn([&] { trig->DrawRotated(main, surface, cx, cy, Fixed::FromInt(rotation_).raw, scale_); });
    }
    if ((pendingDelay_ & 8) || flashCounter_ > 0) {
        Surface* image = (powerUp_ >= 0 && pendingDelay_ <= 0 && bonus) ? bonus : main;
        if (image)
            drawn([&] {
                trig->DrawRotatedAdditive(image, surface, cx, cy, Fixed::FromInt(rotation_).raw, scale_, 255, 255, 255,
                                          -64);
            });
    }
}

bool BallSprite::Serialize(Stream* stream, bool saving)
{
    if (!GameObject::Serialize(stream, saving))
        return false;
    int32_t initColour = colour_;
    Archive archive(stream, saving);
    archive.SerializeValue(colour_);
    archive.SerializeValue(rotation_);
    archive.SerializeValue(frame_.raw);
    archive.SerializeValue(startFrame_);
    archive.SerializeValue(scale_.raw);
    archive.SerializeValue(pathIndex_);
    archive.SerializeValue(segmentIndex_);
    archive.SerializeValue(visibility_);
    archive.SerializeValue(powerUp_);
    archive.SerializeValue(pendingPowerUp_);
    archive.SerializeValue(powerUpLife_);
    archive.SerializeValue(pendingDelay_);
    archive.SerializeValue(flashCounter_);
    if (!archive.Succeeded())
        return false;
    if (saving)
        return true;
    int frames = sprite_ ? sprite_->GetFrameCount() : 0;
    // The sets were acquired for the colour the sprite was made with; a record must not change it.
    return ValidColour(colour_) && colour_ == initColour && powerUp_ >= -1 && powerUp_ < kPowerUpKinds && pendingPowerUp_ >= -1 &&
           pendingPowerUp_ < kPowerUpKinds && frame_.raw >= 0 && frame_.ToInt() < frames;
}

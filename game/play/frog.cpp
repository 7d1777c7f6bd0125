#include "game/play/frog.h"

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/play/board_screen.h"

namespace {

constexpr int kLifeLostState = 6;

}  // namespace

Frog::Frog(GameApp* application) : GameObject(application)
{
    type_ = kObjectFrog;
    const LayoutTable& layout = application->GetLayoutTable();
    bounds_.w = Fixed::FromInt(layout.ints[kLayoutFrogWidth]);
    bounds_.h = Fixed::FromInt(layout.ints[kLayoutFrogHeight]);
}

Frog::~Frog()
{
    for (ResourceEntry** set : {&sprite_, &nextSet_, &blinkSet_, &tongueSet_, &noseSet_, &allSet_})
        application_->ReleaseSprite(*set);
}

bool Frog::Init()
{
    frame_ = Fixed();
    return application_->AcquireSprite(sprite_, "Frog") && application_->AcquireSprite(nextSet_, "NextToShoot") &&
           application_->AcquireSprite(blinkSet_, "EyeBlink") && application_->AcquireSprite(tongueSet_, "Tongue") &&
           application_->AcquireSprite(noseSet_, "FrogNose") && application_->AcquireSprite(allSet_, "FrogAll");
}

void Frog::StartRecoil()
{
    const LayoutTable& layout = application_->GetLayoutTable();
    recoilOffset_ = Fixed();
    recoilSpeed_ = layout.fixed[kLayoutRecoilSpeed];
    blinkFrame_ = Fixed();
    blinkSpeed_ = Fixed::Raw(128);
    blinkActive_ = 1;
}

void Frog::UpdateRecoil()
{
    const LayoutTable& layout = application_->GetLayoutTable();
    if (recoilSpeed_.raw > 0) {
        recoilOffset_ += recoilSpeed_;
        if (recoilOffset_.raw >= 0)
            recoilOffset_ = recoilSpeed_ = Fixed();
    } else if (recoilSpeed_.raw < 0) {
        recoilOffset_ += recoilSpeed_;
        if (recoilOffset_ <= layout.fixed[kLayoutRecoilLimit]) {
            recoilOffset_ = layout.fixed[kLayoutRecoilLimit];
            recoilSpeed_ = layout.fixed[kLayoutRecoilReturn];
        }
    }
    if (blinkSpeed_.raw != 0) {
        blinkFrame_ += blinkSpeed_;
        if (blinkFrame_ >= Fixed::FromInt(2)) {
            blinkFrame_ = Fixed::FromInt(2) - blinkSpeed_;
            blinkSpeed_ = -blinkSpeed_;
        } else if (blinkFrame_.raw <= 0) {
            blinkFrame_ = blinkSpeed_ = Fixed();
            blinkActive_ = 0;
        }
    }
}

void Frog::Update()
{
    UpdateRecoil();
    alpha_ = 0;
    BoardScreen* screen = application_->GetBoardScreen();
    if (screen && screen->GetPlayState() == kLifeLostState)
        alpha_ = screen->LossFadeValue();
}

void Frog::DrawPart(Surface* surface, ResourceEntry* set, int frame, Fixed shift, bool needAlpha)
{
    TrigTable* trig = application_->GetRenderer();
    Surface* image = set ? set->GetFrame(frame) : nullptr;
    if (!surface || !trig || !image || (needAlpha && !image->GetAlpha()))
        return;
    Fixed pivotX = Fixed::FromInt(image->GetWidth() / 2);
    Fixed pivotY = Fixed::FromInt(image->GetHeight() / 2) - recoilOffset_ + shift;
    trig->DrawRotatedPivot(image, surface, bounds_.CenterX(), bounds_.CenterY(), angle_.raw, pivotX, pivotY,
                           Fixed16::FromInt(1), alpha_);
}

void Frog::Draw(Surface* surface, int, int)
{
    TrigTable* trig = application_->GetRenderer();
    if (!trig)
        return;
    trig->SetDrawMode(1);
    DrawPart(surface, sprite_, 0, Fixed(), false);
    trig->SetDrawMode(0);
    if (blinkActive_)
        DrawPart(surface, blinkSet_, blinkFrame_.ToInt(), -application_->GetLayoutTable().fixed[kLayoutBlinkOffset],
                 true);
}

void Frog::DrawBallInMouth(Surface* surface, int colour)
{
    DrawPart(surface, tongueSet_, colour >= 0 && colour < 6 ? 1 : 0,
             -application_->GetLayoutTable().fixed[kLayoutTongueOffset], false);
}

void Frog::DrawNextBall(Surface* surface, int colour)
{
    if (colour >= 0 && colour < 6)
        DrawPart(surface, nextSet_, colour, application_->GetLayoutTable().fixed[kLayoutNextBallOffset], false);
}

void Frog::DrawTongue(Surface* surface)
{
    DrawPart(surface, noseSet_, 0, -application_->GetLayoutTable().fixed[kLayoutNoseOffset], false);
}

void Frog::DrawAll(Surface* surface, const FixedVec2& position, Fixed16 scale)
{
    TrigTable* trig = application_->GetRenderer();
    Surface* image = allSet_ ? allSet_->GetFrame(0) : nullptr;
    if (surface && trig && image)
        trig->DrawRotated(image, surface, position.x, position.y, angle_.raw, scale);
}

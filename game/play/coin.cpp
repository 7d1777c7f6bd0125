#include "game/play/coin.h"

#include <memory>
#include <new>

#include "engine/core/archive.h"
#include "engine/core/stream.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/sound_bank.h"
#include "game/play/ball_chain.h"
#include "game/play/ball_sprite.h"
#include "game/play/board_screen.h"
#include "game/play/effect_emitter.h"

namespace {

}  // namespace

Coin::Coin(GameApp* application) : GameObject(application)
{
    type_ = kObjectCoin;
}

Coin::~Coin()
{
    ReleaseTrail(true);
    application_->ReleaseSprite(sprite_);
}

bool Coin::Init()
{
    if (!application_->AcquireSprite(sprite_, "Coin") || sprite_->GetFrameCount() < 1 || !sprite_->GetFrame(0))
        return false;
    bounds_.w = Fixed::FromInt(sprite_->GetFrame(0)->GetWidth());
    bounds_.h = Fixed::FromInt(sprite_->GetFrame(0)->GetHeight());
    return true;
}

void Coin::SetTrail(TraceEmitter* trail)
{
    ReleaseTrail(false);
    trail_ = trail;
    if (trail_)
        trail_->SetOwner(this);
}

void Coin::ReleaseTrail(bool stopEmitting)
{
    if (!trail_)
        return;
    if (stopEmitting)
        trail_->SetEmitting(false);
    trail_->SetOwner(nullptr);
    trail_ = nullptr;
}

void Coin::Kill()
{
    GameObject::Kill();
    ReleaseTrail(true);
}

int Coin::BonusPoints(int targetScore, bool survival)
{
    int points = targetScore / 600 * 100;
    int floor = survival ? 200 : 500;
    return points < floor ? floor : points;
}

void Coin::Update()
{
    int count = sprite_ ? sprite_->GetFrameCount() : 0;
    frame_ += Fixed::FromInt(1);
    if (count > 0 && frame_ >= Fixed::FromInt(count))
        frame_ -= Fixed::FromInt(count);
    if (trail_ && trail_->IsDead())
        ReleaseTrail(false);
    if (trail_) {
        FixedVec2 top(bounds_.CenterX(), bounds_.y);
        trail_->SetPositionAndSize(top, FixedVec2());
    }
    if (collectSpeed_.raw <= 0) {
        BoardScreen* screen = application_->GetBoardScreen();
        int hit = -1;
        if (screen) {
            for (int i = screen->GetShotCount() - 1; i >= 0 && hit < 0; --i) {
                Ball* shot = screen->GetShot(i);
                if (shot && shot->sprite && FixedRect::Intersects(shot->sprite->Bounds(), bounds_))
                    hit = i;
            }
        }
        SoundBank* bank = application_->GetSoundBank();
        if (hit < 0) {
            if (++age_ >= kLifetime) {
                if (bank)
                    bank->Play(kCoinVanishSound);
                Kill();
            }
            return;
        }
        screen->CountCoinCollected();
        screen->AddCoinBonus(bounds_.CenterX(), bounds_.CenterY(),
                             BonusPoints(screen->GetTargetScore(), screen->IsSurvival()));
        // A fifth rounded up, so five steps make the whole swell (13107 would take six).
        collectSpeed_ = Fixed16::Raw(13108);
        if (bank)
            bank->Play(kCoinGrabSound);
        screen->RemoveShot(hit);
        return;
    }
    collectProgress_.raw += collectSpeed_.raw;
    if (collectProgress_.GreaterOrEqualInt(1))
        Kill();
}

void Coin::Draw(Surface* surface, int, int)
{
    if (!surface || !sprite_ || frame_.ToInt() >= sprite_->GetFrameCount())
        return;
    Surface* image = sprite_->GetFrame(frame_.ToInt());
    if (!image)
        return;
    Fixed16 scale = Fixed16::Raw(Fixed16::FromInt(1).raw + collectProgress_.raw);
    if (scale.EqualsInt(1)) {
        int w = image->GetWidth(), h = image->GetHeight();
        image->Draw(surface, bounds_.CenterX().ToInt() - w / 2, bounds_.CenterY().ToInt() - h / 2, w, h, 0, 0);
        return;
    }
    TrigTable* trig = application_->GetRenderer();
    if (trig)
        trig->DrawRotated(image, surface, bounds_.CenterX(), bounds_.CenterY(), 0, scale);
}

bool Coin::Serialize(Stream* stream, bool saving)
{
    if (!GameObject::Serialize(stream, saving))
        return false;
    Archive archive(stream, saving);
    bool hasTrail = trail_ != nullptr;
    TraceEmitter* created = nullptr;
    archive.SerializeBool(hasTrail);
    if (!archive.Succeeded())
        return false;
    if (hasTrail) {
        if (saving) {
            if (!trail_->Serialize(stream, true))
                return false;
        } else {
            uint8_t type = 0, one = 0;
            archive.SerializeInt8(type);
            archive.SerializeInt8(one);
            if (!archive.Succeeded() || type != kObjectTraceEmitter)
                return false;
            std::unique_ptr<TraceEmitter> trail(new (std::nothrow) TraceEmitter(application_));
            if (!trail || !trail->Init() || !trail->Serialize(stream, false))
                return false;
            created = trail.release();
            SetTrail(created);
        }
    }
    Archive tail(stream, saving);
    tail.SerializeValue(age_);
    // A coin past its age would have vanished; a wild age would overflow the count.
    if (tail.Succeeded() && age_ >= 0 && age_ < kLifetime)
        return true;
    // A failed load leaves nothing for the board to take over: the trail made here goes too.
    if (created) {
        ReleaseTrail(false);
        delete created;
    }
    return false;
}

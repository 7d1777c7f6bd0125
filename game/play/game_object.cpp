#include "game/play/game_object.h"

#include <new>

#include "engine/core/archive.h"
#include "game/app/game_app.h"
#include "game/play/ball_sprite.h"
#include "game/play/coin.h"
#include "game/play/effect_emitter.h"
#include "game/play/explosion.h"
#include "game/play/frog.h"
#include "game/play/hole.h"

GameObject::GameObject(GameApp* application) : application_(application) {}

GameObject::~GameObject() = default;

void GameObject::Draw(Surface*, int, int) {}

bool GameObject::Serialize(Stream* stream, bool saving)
{
    Archive archive(stream, saving);
    if (saving) {
        uint8_t type = static_cast<uint8_t>(type_), one = 1;
        archive.SerializeInt8(type);
        archive.SerializeInt8(one);
    }
    archive.SerializeValue(bounds_.x.raw);
    archive.SerializeValue(bounds_.y.raw);
    archive.SerializeInt8(reserved_);
    return archive.Succeeded();
}

void GameObject::SetBounds(const FixedRect& rect)
{
    if (rect.w.raw == 0 && rect.h.raw == 0) {
        bounds_.x = rect.x;
        bounds_.y = rect.y;
    } else {
        bounds_ = rect;
    }
}

void GameObject::SetPositionAndSize(const FixedVec2& position, const FixedVec2& size)
{
    FixedRect rect;
    rect.Set(position.x, position.y, size.x, size.y);
    SetBounds(rect);
}

GameObject* ObjectFactory::Create(int type) const
{
    switch (type) {
    case kObjectBallSprite:
        return new (std::nothrow) BallSprite(application_, -1);
    case kObjectExplosion:
        return new (std::nothrow) Explosion(application_);
    case kObjectFrog:
        return new (std::nothrow) Frog(application_);
    case kObjectHole:
        return new (std::nothrow) Hole(application_);
    case kObjectStarEmitter:
        return new (std::nothrow) StarEmitter(application_);
    case kObjectTraceEmitter:
        return new (std::nothrow) TraceEmitter(application_);
    case kObjectSparkEmitter:
        return new (std::nothrow) SparkEmitter(application_);
    case kObjectCoin:
        return new (std::nothrow) Coin(application_);
    default:
        return nullptr;
    }
}

void PurgeDeadObjects(OwnedItemArray<GameObject>& list)
{
    for (int i = 0; i < list.Count();) {
        GameObject* object = list.Get(i);
        if (object && object->IsDead())
            list.DeleteAt(i);
        else
            ++i;
    }
}

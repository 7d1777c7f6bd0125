#pragma once
// The base of everything the board animates apart from the track art: a type number, bounds, a
// flag word, a main sprite set and frame, and one routine that saves and loads the common record.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/fixed.h"

class Archive;
class GameApp;
class ResourceEntry;
class Stream;
class Surface;

enum BoardObjectType {
    kObjectBallSprite = 1,
    kObjectExplosion = 2,
    kObjectFrog = 3,
    kObjectHole = 4,
    kObjectStarEmitter = 5,
    kObjectTraceEmitter = 6,
    kObjectSparkEmitter = 7,
    kObjectCoin = 8,
};

class GameObject {
public:
    static constexpr int32_t kKilled = 1;
    static constexpr int32_t kHidden = 2;
    static constexpr int32_t kSelfDrawn = 8;
    static constexpr int32_t kOffsetDrawn = 16;

    explicit GameObject(GameApp* application);
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;
    virtual ~GameObject();

    virtual bool Init() { return true; }
    // Saving writes the type byte and the byte 1 first; loading starts after them.
    virtual bool Serialize(Stream* stream, bool saving);
    virtual void Update() {}
    virtual void Draw(Surface* surface, int offsetX, int offsetY);

    // Virtual so that a coin killed through any pointer also stops its trail.
    virtual void Kill() { flags_ |= kKilled; }
    bool IsDead() const { return (flags_ & kKilled) != 0; }
    int Type() const { return type_; }
    void GetBounds(FixedRect& out) const { out = bounds_; }
    const FixedRect& Bounds() const { return bounds_; }
    void SetBounds(const FixedRect& rect);
    void SetPositionAndSize(const FixedVec2& position, const FixedVec2& size);
    Fixed GetFrame() const { return frame_; }
    int32_t GetFlags() const { return flags_; }

protected:
    void SetFlag(int32_t bit, bool on) { flags_ = on ? (flags_ | bit) : (flags_ & ~bit); }

    FixedRect bounds_;
    int32_t flags_ = 0;
    uint8_t reserved_ = 0;
    GameApp* application_;
    int32_t type_ = -1;
    ResourceEntry* sprite_ = nullptr;
    Fixed frame_;
};

class ObjectFactory {
public:
    explicit ObjectFactory(GameApp* application) : application_(application) {}
    virtual ~ObjectFactory() = default;
    // A new object of the type (1..8), or null.
    GameObject* Create(int type) const;

private:
    GameApp* application_;
};

// Deletes the killed objects of a list, keeping the others in order.
void PurgeDeadObjects(OwnedItemArray<GameObject>& list);

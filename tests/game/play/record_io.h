#pragma once
// Saving a board object into bytes and loading it back the way the board loader does: the type
// byte and the byte 1 first, then the factory's object, its Init and its loading Serialize.
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "game/play/ball_sprite.h"
#include "game/play/game_object.h"

inline std::vector<uint8_t> SaveObject(GameObject& object)
{
    PackMemoryFile file;
    file.Allocate(1 << 16);
    if (!object.Serialize(&file, true))
        return {};
    auto* bytes = static_cast<uint8_t*>(file.GetBuffer());
    return std::vector<uint8_t>(bytes, bytes + file.Tell());
}

inline void FillStream(PackMemoryFile& file, const std::vector<uint8_t>& bytes)
{
    void* block = Alloc(bytes.size() + 1);
    if (!bytes.empty())
        std::memcpy(block, bytes.data(), bytes.size());
    file.SetBuffer(block, static_cast<int32_t>(bytes.size()));
}

// Null when the record is refused anywhere on the way.
inline std::unique_ptr<GameObject> LoadObject(GameApp* app, const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 2)
        return nullptr;
    ObjectFactory factory(app);
    std::unique_ptr<GameObject> object(factory.Create(bytes[0]));
    if (!object)
        return nullptr;
    // A ball sprite is made with its colour, the first of its own fields.
    if (object->Type() == kObjectBallSprite && bytes.size() >= 15)
        static_cast<BallSprite*>(object.get())->SetColour(int32_t(bytes[11] | bytes[12] << 8 | bytes[13] << 16 |
                                                                  uint32_t(bytes[14]) << 24));
    PackMemoryFile file;
    FillStream(file, bytes);
    file.Seek(2, 1);
    if (!object->Init() || !object->Serialize(&file, false))
        return nullptr;
    return object;
}

#pragma once
// The game's sound effects and music as the build ships them, read through the sound service.
#include <string>
#include <vector>

#include "engine/sound/sound_manager.h"

namespace shipped {

// The effect bank's files, by index.
extern const char* const kEffects[38];

// The engine-form path of an entry below Sounds\ (e.g. "pop.ogg", "Music\\kelo.s3m").
std::string SoundPath(const std::string& entry);

// A sound service on the null device with both switches on and both levels at 100.
struct Service {
    Service();
    ~Service();
    SoundManager sound{nullptr};
};

// The decoded samples of an effect, empty when it does not load.
std::vector<int16_t> Decode(Service& service, const std::string& entry, unsigned* rate = nullptr);

}  // namespace shipped

#pragma once
// The game's sound effects and music as the build ships them, read from the common pack through the sound service.
#include <string>
#include <vector>

#include "engine/sound/sound_manager.h"
#include "game/app/sound_bank.h"
#include "shipped_app.h"

namespace shipped {

// The effect bank's files, by index: the game's own table.
inline const auto& kEffects = kSoundBankFiles;

// A sound service on the null device with both switches on and both levels at 100, reading
// from the packs the build shipped.
struct Service {
    Service();
    ~Service();
    // The path of an entry below the sound folder (e.g. "pop.ogg", "Music\\kelo.s3m").
    std::string SoundPath(const std::string& entry) { return app.Path("Sounds\\" + entry); }
    ShippedApp app{640, 480};
    SoundManager sound{&app};
};

// The decoded samples of an effect, empty when it does not load.
std::vector<int16_t> Decode(Service& service, const std::string& entry, unsigned* rate = nullptr);

}  // namespace shipped

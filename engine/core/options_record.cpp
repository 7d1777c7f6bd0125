#include "engine/core/options_record.h"

OptionsRecord::OptionsRecord() = default;

OptionsRecord::~OptionsRecord() = default;

void OptionsRecord::SetDefaultKeys()
{
    static const int32_t codes[5] = {37, 39, 38, 40, 13};
    for (int i = 0; i < 5; ++i) {
        keyCodes[i + 1] = codes[i];
        keyFlags[i + 1] = 0;
    }
}

void OptionsRecord::SetDefaults()
{
    soundOn = true;
    soundVolume = 50;
    musicOn = true;
    musicVolume = 50;
    mute = false;
    rotation = 0;
    version = 1;
    SetDefaultKeys();
}

bool OptionsRecord::Load(Application*)
{
    return false;
}

bool OptionsRecord::Save(Application*)
{
    return false;
}

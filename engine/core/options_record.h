#pragma once
// The engine's persistent settings. Stand-in until global.opt lands: defaults only, nothing is
// read or written.
#include <cstdint>

class Application;

class OptionsRecord {
public:
    OptionsRecord();
    virtual ~OptionsRecord();
    virtual void SetDefaultKeys();
    virtual void SetDefaults();

    bool Load(Application* application);
    bool Save(Application* application);

    bool soundOn = true;
    int32_t soundVolume = 50;
    bool musicOn = true;
    int32_t musicVolume = 50;
    bool mute = false;
    int32_t keyCodes[32] = {};
    uint8_t keyFlags[32] = {};
    int32_t rotation = 0;
    uint32_t version = 1;
};

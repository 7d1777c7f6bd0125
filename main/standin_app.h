#pragma once
// The small application the program runs until the game's own start-up exists: it registers the
// handheld's resolutions and answers what the engine leaves to a derived class, with packs off.
#include "engine/core/application.h"

class StandInApp : public Application {
public:
    StandInApp();

    bool ApplyLayout(int width, int height) override;
    OptionsRecord* CreateOptionsRecord() override;
    bool LoadLanguage() override { return true; }
    String GetImageFolder() override;
    String GetSoundFolder() override;
    String GetSaveDirectory() override;
    String GetCommonPackName() override { return String("_game_common.pak"); }
    String GetScreenPackName() override { return String("_game_640x480.pak"); }
};

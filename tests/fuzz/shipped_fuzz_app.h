#pragma once
// The game application for fuzz targets that need the real data: the packs the build shipped
// beside the program, one display size, the language, styles and sprite scripts loaded, and its
// saves in the fuzz folder.
#include <string>

#include "engine/core/main_window.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "fuzz_support.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "game/tables/display_mode.h"

class ShippedFuzzApp : public GameApp {
public:
    ShippedFuzzApp(int width, int height)
    {
        SetApplication(this);
        g_application = this;
        options_ = new ProfileStore();
        GameArea area;
        area.gameWidth = area.drawWidth = area.screenWidth = width;
        area.gameHeight = area.drawHeight = area.screenHeight = height;
        SetGameArea(area);
        CreateScreenSurface(width, height, 0, 0);
        ApplyLayout(width, height);
        packsEnabled_ = true;
        singlePackMode_ = false;
        firstPack_ = OpenPack(CommonPakName());
        secondPack_ = OpenPack(ScreenPakName(DisplayModeOf(width, height)));
        spriteList_ = new ResourceList(this, 40);
        renderer_ = new TrigTable(this, 5760);
        ready_ = firstPack_ && secondPack_ && renderer_->Build() && LoadSpriteScripts() && LoadStyles() &&
                 LoadLanguage() && levelTables_.Build();
    }

    bool Ready() const { return ready_; }
    String GetExeDirectory() override { return String((hostpath::FromHost(KELO_DATA_DIR) + "\\").c_str()); }
    String GetSaveDirectory() override { return String((hostpath::FromHost(FuzzFolder()) + "\\").c_str()); }

protected:
    bool ready_ = false;

private:
    ZipPack* OpenPack(const char* name)
    {
        auto* pack = new ZipPack(this);
        // The pack answers for the files below the folder it was opened from, by the game's path.
        std::string path = std::string(GetExeDirectory().CStr()) + name;
        if (pack->Open(path.c_str()) != 1) {
            delete pack;
            return nullptr;
        }
        return pack;
    }
};

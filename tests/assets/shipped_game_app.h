#pragma once
// The game application as its start-up leaves it on the shipped packs at one size (and any extra
// pack a test adds): folders, sprite scripts, styles and language, the turning renderer and a
// resume store, with saves in a scratch folder of its own. Silent: it has no sound service.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/core/record_store.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "platform/files.h"
#include "shipped_app.h"

class ShippedGameApp : public GameApp {
public:
    ShippedGameApp(int width, int height, const char* extraPack = nullptr)
    {
        char pattern[] = "/tmp/kelo_game_look_XXXXXX";
        const char* made = mkdtemp(pattern);
        scratch_ = made ? made : "";
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
        int mode = DisplayModeOf(width, height);
        firstPack_ = OpenPack(CommonPakName());
        secondPack_ = OpenPack(ScreenPakName(mode));
        thirdPack_ = extraPack ? OpenPack(extraPack) : nullptr;
        spriteList_ = new ResourceList(this, 40);
        renderer_ = new TrigTable(this, 5760);
        resumeStore_ = new SaveFileHolder(this);
        resumeStore_->SetFile((hostpath::FromHost(scratch_) + "\\saveresume.dat").c_str(), nullptr);
        ready_ = !scratch_.empty() && firstPack_ && secondPack_ && (!extraPack || thirdPack_) && renderer_->Build() &&
                 LoadSpriteScripts() && LoadStyles() && LoadLanguage();
    }
    ~ShippedGameApp() override
    {
        DestroyScreens();
        DeleteAndNull(spriteList_);
        // Nothing is written into the scratch folder once it is gone.
        DeleteAndNull(options_);
        DeleteAndNull(resumeStore_);
        if (g_application == this)
            g_application = nullptr;
        if (!scratch_.empty())
            std::system(("rm -rf '" + scratch_ + "'").c_str());
    }

    bool Ready() const { return ready_; }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    String GetSaveDirectory() override { return String((hostpath::FromHost(scratch_) + "\\").c_str()); }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            Update();
    }

private:
    ZipPack* OpenPack(const char* name)
    {
        ZipPack* pack = new ZipPack(this);
        std::string path = std::string(GetExeDirectory().CStr()) + name;
        if (pack->Open(path.c_str()) != 1) {
            delete pack;
            return nullptr;
        }
        return pack;
    }

    std::string scratch_;
    bool ready_ = false;
};

#pragma once
// The game application as its start-up leaves it on the shipped packs plus the look pack, at one
// resolution, silent, with the turning renderer and a resume store in a scratch folder; its
// start-menu slot makes a plain screen from a root of a layout of the look pack.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>

#include "engine/core/record_store.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/trig_table.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "platform/files.h"
#include "shipped_app.h"

class LookScreen : public GameScreen {
public:
    LookScreen(GameApp* app, std::string file, std::string root)
        : GameScreen(app), file_(std::move(file)), root_(std::move(root))
    {
    }
    bool Create() override { return LoadLayout(file_.c_str(), root_.c_str()); }

private:
    std::string file_, root_;
};

class ShippedGameApp : public GameApp {
public:
    ShippedGameApp(int width, int height, std::string layoutFile, std::string rootName)
        : layoutFile_(std::move(layoutFile)), rootName_(std::move(rootName))
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
        thirdPack_ = OpenPack("_look_sample.pak");
        spriteList_ = new ResourceList(this, 40);
        renderer_ = new TrigTable(this, 5760);
        resumeStore_ = new SaveFileHolder(this);
        resumeStore_->SetFile((hostpath::FromHost(scratch_) + "\\saveresume.dat").c_str(), nullptr);
        ready_ = !scratch_.empty() && firstPack_ && secondPack_ && thirdPack_ && renderer_->Build() &&
                 LoadSpriteScripts().ok() && LoadStyles().ok() && LoadLanguage().ok();
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
    // What the game's start-up would put in the engine's version and build-date texts.
    void SetBuildTexts(const char* version, const char* date)
    {
        versionText_.Assign(version);
        buildDate_.Assign(date);
    }
    String GetExeDirectory() override { return String((hostpath::FromHost(ProgramFolder()) + "\\").c_str()); }
    String GetSaveDirectory() override { return String((hostpath::FromHost(scratch_) + "\\").c_str()); }
    GameScreen* NewScreen(int slot) override
    {
        return slot == kSlotStartMenu ? new (std::nothrow) LookScreen(this, layoutFile_, rootName_) : nullptr;
    }
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
        if (pack->Open(path.c_str()).value != kPackOk) {
            delete pack;
            return nullptr;
        }
        return pack;
    }

    std::string layoutFile_, rootName_;
    std::string scratch_;
    bool ready_ = false;
};

// The sum of the three colour channels over the screen, green at half weight.
inline uint64_t Brightness(Surface* screen)
{
    uint64_t sum = 0;
    for (int y = 0; y < screen->GetHeight(); ++y)
        for (int x = 0; x < screen->GetWidth(); ++x) {
            uint16_t p = screen->GetPixels()[y * screen->GetRawWidth() + x];
            sum += (p >> 11) + ((p >> 5) & 63) / 2 + (p & 31);
        }
    return sum;
}

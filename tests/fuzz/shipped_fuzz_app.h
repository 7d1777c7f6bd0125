#pragma once
// The game application for fuzz targets that need the real data: the packs the build shipped
// beside the program, one display size, the language, styles and sprite scripts loaded, every
// sprite set loaded, and its saves in the fuzz folder. It is made once per process; BeginInput
// puts back all an input may change, so every input meets the application as the first one did
// and an input that crashes in a run crashes alone as well.
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/core/main_window.h"
#include "engine/core/tell_player.h"
#include "engine/core/zip_pack.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "fuzz_support.h"
#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/app/resource_folders.h"
#include "game/tables/display_mode.h"
#include "platform/crt.h"
#include "platform/null/test_hooks.h"

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
        ready_ = firstPack_ && secondPack_ && renderer_->Build() && LoadSpriteScripts().ok() && LoadStyles().ok() &&
                 LoadLanguage().ok() && levelTables_.Build();
        // As the loader screen does before the menu: the screens an input makes only borrow them.
        // A set whose files this display lacks is left out, as the loader leaves it.
        for (int i = 0; ready_ && i < spriteList_->GetCount(); ++i) {
            LoadResult loaded = spriteList_->Get(i)->Load();
            ready_ = loaded.ok() || loaded.IsMissing();
        }
    }

    bool Ready() const { return ready_; }
    String GetExeDirectory() override { return String((hostpath::FromHost(KELO_DATA_DIR) + "\\").c_str()); }
    String GetSaveDirectory() override { return String((hostpath::FromHost(FuzzFolder()) + "\\").c_str()); }

    // Back to the state the application was made in, with a new options record.
    void BeginInput()
    {
        EndInput();
        transition_ = ScreenTransition();
        for (int i = 0; i < 4; ++i)
            quakePositions_[i] = quakeSpeeds_[i] = FixedVec2();
        volumePreviewCountdown_ = 0;
        screenUnmade_ = helpBeforePlay_ = false;
        SetFrameRate(33, true, false);
        fullRedraw_ = true;
        pointerDown_ = early_ = exitPressedState_ = quitRequested_ = false;
        lastVirtualKey_ = exitCode_ = 0;
        memset(keyDown_, 0, sizeof keyDown_);
        memset(keyRepeat_, 0, sizeof keyRepeat_);
        memset(keyLatch_, 0, sizeof keyLatch_);
        memset(screenSurface_->GetPixels(), 0,
               size_t(screenSurface_->GetRawWidth()) * size_t(screenSurface_->GetRawHeight()) *
                   size_t(screenSurface_->GetBytesPerPixel()));
        // Chance, the clock and the save folder start where the first input found them.
        crt::srand(1);
        nullbackend::SetClock(0);
        nullbackend::ClearMessageBoxes();
        // Each input a run of its own, which has said nothing yet.
        ForgetWhatWasSaid();
        for (const auto& file : std::filesystem::directory_iterator(FuzzFolder()))
            std::filesystem::remove_all(file.path());
        delete options_;
        auto* profiles = new ProfileStore();
        options_ = profiles;
        PrepareProfiles(*profiles);
    }

    // Frees what the input made, so that it ends with as many blocks as it began: the fuzzer runs an
    // input that keeps more a second time, looking for a leak.
    void EndInput()
    {
        DestroyScreens();
        boardScreen_ = nullptr;
        modalWidget_ = nullptr;
        // Made on demand by transitions.
        for (Surface*& piece : quakeImages_)
            DeleteAndNull(piece);
    }

protected:
    // The options record each input starts from; a new one has no players.
    virtual void PrepareProfiles(ProfileStore&) {}

    bool ready_ = false;

private:
    ZipPack* OpenPack(const char* name)
    {
        auto* pack = new ZipPack(this);
        // The pack answers for the files below the folder it was opened from, by the game's path.
        std::string path = std::string(GetExeDirectory().CStr()) + name;
        if (pack->Open(path.c_str()).value != kPackOk) {
            delete pack;
            return nullptr;
        }
        return pack;
    }
};

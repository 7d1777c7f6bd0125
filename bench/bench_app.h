#pragma once
// The game application of the benchmarks: the program folder is the build's, where the packs lie.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "game/app/game_app.h"
#include "game/app/profile_store.h"
#include "game/screens/loader_screen.h"

class BenchApp : public GameApp {
public:
    String GetExeDirectory() override
    {
        std::string folder = KELO_DATA_DIR;
        for (char& c : folder)
            c = c == '/' ? '\\' : c;
        return String((folder + "\\").c_str());
    }
};

// A fresh save folder for a headless run, set as KELO_SAVE_DIR; empty when none could be made.
inline std::string UseBenchSaveFolder()
{
    setenv("KELO_HEADLESS", "1", 0);
    char pattern[] = "/tmp/kelo_bench_XXXXXX";
    const char* save = mkdtemp(pattern);
    if (!save)
        return std::string();
    setenv("KELO_SAVE_DIR", save, 1);
    return save;
}

inline void RemoveBenchSaveFolder(const std::string& folder)
{
    if (!folder.empty())
        system(("rm -rf '" + folder + "'").c_str());
}

// The screen size of the benchmarks: KELO_SCREEN's, as the program takes it, else 800x480.
inline void BenchScreenSize(int& width, int& height)
{
    width = 800;
    height = 480;
    const char* screen = getenv("KELO_SCREEN");
    int w = 0, h = 0;
    if (screen && sscanf(screen, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
        width = w;
        height = h;
    }
}

// The one started application the playing benchmarks share, at KELO_SCREEN's size (800x480 when
// unset), muted, past its loader, with one player. Each benchmark that puts a board on it says so,
// so that another knows to put its own back.
class BenchGame {
public:
    static BenchGame& Get()
    {
        static BenchGame game;
        return game;
    }

    BenchApp* App() const { return started_ ? app_ : nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const void* Owner() const { return owner_; }
    void SetOwner(const void* owner) { owner_ = owner; }

private:
    BenchGame()
    {
        BenchScreenSize(width_, height_);
        saveDir_ = UseBenchSaveFolder();
        app_ = new BenchApp();
        app_->SetApplication(app_);
        app_->LoadOptions();
        if (!app_->Init(width_, height_))
            return;
        auto* loader = dynamic_cast<LoaderScreen*>(app_->GetScreen(kSlotLoader));
        for (int i = 0; loader && !loader->IsScreenFadingOut() && i < 5000; ++i)
            app_->Update();
        ProfileStore* profiles = app_->GetProfiles();
        profiles->mute = true;
        profiles->graphicsQuality = 2;
        profiles->SetCurrentIndex(profiles->AddPlayer());
        started_ = profiles->CurrentPlayer() != nullptr;
    }
    ~BenchGame()
    {
        delete app_;
        RemoveBenchSaveFolder(saveDir_);
    }

    BenchApp* app_ = nullptr;
    bool started_ = false;
    int width_ = 800, height_ = 480;
    const void* owner_ = nullptr;
    std::string saveDir_;
};

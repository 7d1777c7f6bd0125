#pragma once
// The first screen of every run: while its layout fades in and for a few items a frame after that,
// it loads every sprite set, the sound effects and the particle systems, then the music, and asks
// for the start menu. Its bar shows how far it has come.
#include <cstdint>

#include "game/app/game_screen.h"

class ProgressBarWidget;

class LoaderScreen : public GameScreen {
public:
    explicit LoaderScreen(GameApp* app);
    ~LoaderScreen() override;

    bool Create() override;
    void Update() override;
    // value / maximum of the bar's 256.
    void SetProgress(int value, int maximum);

    int GetTotalItems() const { return totalItems_; }
    int GetNextItem() const { return nextItem_; }
    int GetFramesElapsed() const { return framesElapsed_; }
    int GetExpectedFrames() const { return expectedFrames_; }
    ProgressBarWidget* GetBar() const { return bar_; }

    // The ten panel pieces a resolution may go without, except the 240x240 one.
    static bool IsOptionalSet(const char* name);

private:
    // Loads item i; false (the failed item named on stderr) ends the run.
    bool LoadItem(int i);
    bool LoadParticles();
    // Says on stderr what could not be loaded, the file that failed and why, and ends the run
    // with status 1.
    void Fail(const char* what, const char* name, const LoadResult& why);

    ProgressBarWidget* bar_ = nullptr;
    int32_t totalItems_ = 1;
    int32_t nextItem_ = 0;
    int32_t framesElapsed_ = 0;
    int32_t expectedFrames_ = 1;
    int32_t itemsPerFrame_ = 4;
};

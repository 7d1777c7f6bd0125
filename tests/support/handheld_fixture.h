#pragma once
// Runs the engine's real start-up on the null back end: a device profile, the main window,
// AppInit, and the window procedure fed message by message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/core/display.h"
#include "engine/core/main_window.h"
#include "engine/core/message_box.h"
#include "engine/core/power_watcher.h"
#include "engine/core/tell_player.h"
#include "platform/capture.h"
#include "platform/device.h"
#include "platform/display_settings.h"
#include "platform/null/test_hooks.h"
#include "platform/null/window_hooks.h"
#include "platform/window.h"
#include "tests/engine/core/test_app.h"

class HandheldApp : public TestApp {
public:
    bool OnChar(int character) override
    {
        chars.push_back(character);
        return true;
    }
    void OnRotationChanged(int rotation) override { rotations.push_back(rotation); }
    void Draw() override
    {
        TestApp::Draw();
        if (paint && GetScreenSurface())
            GetScreenSurface()->Clear(paintColour[0], paintColour[1], paintColour[2]);
    }
    bool paint = false;
    int paintColour[3] = {255, 255, 255};
    std::vector<int> chars;
    std::vector<int> rotations;
};

// The engine's process-wide values as a fresh process has them.
inline void ResetHandheldGlobals()
{
    g_mainWindow = nullptr;
    g_timerRunning = false;
    g_suspended = false;
    g_paintThrough = false;
    g_resumeCountdown = 0;
    g_displayRecheckCountdown = -1;
    g_delayedSuspendCountdown = -1;
    g_quitPosted = false;
    g_halfResShift = 0;
    g_rawFrameBuffer = false;
    DropHeldMessageBoxes();
    ForgetWhatWasSaid();
}

// One save folder for the whole test process, removed when the process ends.
struct ScratchSaveFolder {
    ScratchSaveFolder()
    {
        char pattern[] = "/tmp/kelo_handheld_XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
        owned = made != nullptr;
    }
    ~ScratchSaveFolder()
    {
        std::error_code ignored;
        if (owned)
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
    bool owned = false;
};

inline const std::string& HandheldSaveFolder()
{
    static const ScratchSaveFolder folder;
    return folder.path;
}

// Every test starts from a fresh handheld and leaves no window, timer or display behind.
class Handheld : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("KELO_SAVE_DIR", HandheldSaveFolder().c_str(), 1);
        Fresh(DeviceProfile());
    }
    void TearDown() override
    {
        StopPowerWatcher();
        app_.reset();
        ShutdownDisplay();
        g_displaySettings = nullptr;
        SetRunOptions(RunOptions());
        SetDeviceProfile(DeviceProfile());
        nullbackend::ResetHandheld();
        ResetGlobals();
    }
    static void ResetGlobals() { ResetHandheldGlobals(); }
    void Fresh(const DeviceProfile& profile)
    {
        app_.reset();
        ShutdownDisplay();
        SetDeviceProfile(profile);
        nullbackend::ResetHandheld();
        ResetGlobals();
        g_displaySettings = &ChangeDisplaySettingsEx;
    }
    // The window and the application, short of AppInit.
    HandheldApp& Open()
    {
        EXPECT_TRUE(CreateMainWindow(nullptr, SW_SHOW));
        app_ = std::make_unique<HandheldApp>();
        return *app_;
    }
    HandheldApp& Start(const DeviceProfile& profile)
    {
        Fresh(profile);
        HandheldApp& app = Open();
        EXPECT_TRUE(AppInit(g_mainWindow));
        return app;
    }
    static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return WindowProc(g_mainWindow, message, wParam, lParam);
    }
    static void Ticks(int count, DWORD step = 1)
    {
        for (int i = 0; i < count; ++i) {
            nullbackend::AdvanceClock(step);
            Send(WM_TIMER, 1);
        }
    }
    static DeviceProfile Screen(int width, int height, bool raw)
    {
        DeviceProfile profile;
        profile.screenWidth = width;
        profile.screenHeight = height;
        profile.rawFrameBuffer = raw;
        return profile;
    }
    static uint16_t Pixel(int x, int y)
    {
        PresentedFrame frame;
        if (!GetPresentedFrame(&frame) || x >= frame.width || y >= frame.height)
            return 0x1234;
        return frame.pixels[static_cast<size_t>(y) * frame.width + x];
    }

    std::unique_ptr<HandheldApp> app_;
};

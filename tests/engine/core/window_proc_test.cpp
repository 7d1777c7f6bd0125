#include <fcntl.h>

#include <thread>

#include "engine/core/frame_shot.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/shell.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/instance_lock.h"

namespace {

// The one application WinMain makes in these tests.
HandheldApp* g_made = nullptr;
bool g_failLanguage = false;

class WinMainApp : public HandheldApp {
public:
    WinMainApp()
    {
        g_made = this;
        static const int sizes[3][2] = {{640, 480}, {800, 480}, {320, 240}};
        for (const auto& size : sizes)
            AddSupportedResolution(size[0], size[1]);
        paint = true;
    }
    ~WinMainApp() override { g_made = nullptr; }
    LoadResult LoadLanguage() override
    {
        return g_failLanguage ? LoadResult::Failed("texts", "refused") : LoadResult();
    }
    void Draw() override
    {
        // A picture that changes with every frame, so the last one is known by its hash.
        ++frames;
        paintColour[0] = (frames * 37) & 255;
        paintColour[1] = (frames * 11) & 255;
        paintColour[2] = 255 - ((frames * 5) & 255);
        HandheldApp::Draw();
        if (frames == quitAfter)
            RequestQuit(3);
    }
    int frames = 0;
    int quitAfter = -1;
};

struct Recorder : Probe {
    explicit Recorder(TestApp& app) : Probe(&app), app(app) { SetRect(0, 0, 4000, 4000); }
    ~Recorder() { app.RemoveChild(this); }
    TestApp& app;
};

}  // namespace

Application* CreateApplication()
{
    return new WinMainApp;
}

TEST_F(Handheld, F3AndF4QuitOnTheirRelease)
{
    Start(Screen(240, 320, true));
    EXPECT_EQ(Send(WM_KEYDOWN, VK_F4), 1);
    EXPECT_FALSE(nullbackend::IsQuitPosted());
    EXPECT_TRUE(g_timerRunning);
    EXPECT_EQ(Send(WM_KEYUP, VK_F4), 1);
    EXPECT_TRUE(nullbackend::IsQuitPosted());
    EXPECT_FALSE(g_timerRunning);
    EXPECT_FALSE(nullbackend::AreKeysGrabbed());
    EXPECT_TRUE(nullbackend::SentKeys().empty());

    Start(Screen(240, 320, true));
    Send(WM_KEYDOWN, VK_F3);
    EXPECT_FALSE(nullbackend::IsQuitPosted());
    Send(WM_KEYUP, VK_F3);
    EXPECT_TRUE(nullbackend::IsQuitPosted());
    auto sent = nullbackend::SentKeys();
    ASSERT_EQ(sent.size(), 2u) << "the talk key is handed to the system, down and up";
    EXPECT_EQ(sent[0], (std::pair<BYTE, bool>{static_cast<BYTE>(VK_F3), true}));
    EXPECT_EQ(sent[1], (std::pair<BYTE, bool>{static_cast<BYTE>(VK_F3), false}));
}

TEST_F(Handheld, KeysAndCharactersAreFilteredBeforeTheApplication)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    for (WPARAM c : {WPARAM('a'), WPARAM('Z'), WPARAM(' '), WPARAM('\''), WPARAM(8), WPARAM('1'), WPARAM('.'),
                     WPARAM(233), WPARAM(13)})
        Send(WM_CHAR, c);
    EXPECT_EQ(app.chars, (std::vector<int>{'a', 'Z', ' ', '\'', 8, 13}));

    for (UINT vk : {VK_ESCAPE, VK_SHIFT, VK_MENU, VK_LWIN, VK_PRIOR, VK_NEXT})
        Send(WM_KEYDOWN, vk);
    EXPECT_TRUE(app.mapped.empty()) << "these keys never reach the application";

    // The input method's key replaces VK_PROCESSKEY before anything else.
    nullbackend::SetImeKey(VK_LEFT);
    Send(WM_KEYDOWN, VK_PROCESSKEY);
    nullbackend::SetImeKey(0);
    EXPECT_EQ(app.mapped, (std::vector<int>{static_cast<int>(VK_LEFT)}));

    app.SetSoundVolume(98);
    app.SetMusicVolume(3);
    Send(WM_KEYDOWN, VK_F6);
    EXPECT_EQ(app.GetSoundVolume(), 100);
    EXPECT_EQ(app.GetMusicVolume(), 8);
    Send(WM_KEYDOWN, VK_F7);
    Send(WM_KEYDOWN, VK_F7);
    EXPECT_EQ(app.GetSoundVolume(), 90);
    EXPECT_EQ(app.GetMusicVolume(), 0);
}

TEST_F(Handheld, FirstActionPressAfterActivationIsSwallowed)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    Recorder screen(app);
    app.SetFocusChild(&screen);
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(nullbackend::LastFullScreenState(), SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON);
    Send(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(nullbackend::LastFullScreenState(), SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
    EXPECT_FALSE(nullbackend::IsInputPanelShown());
    Send(WM_KEYDOWN, VK_SPACE);
    Send(WM_KEYUP, VK_SPACE);
    EXPECT_TRUE(screen.keys.empty());
    Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(screen.keys, (std::vector<KeyEvent>{{5, true}}));
}

TEST_F(Handheld, FocusStopsAndRestartsTheFrame)
{
    HandheldApp& app = Start(Screen(480, 640, false));
    Send(WM_KILLFOCUS);
    EXPECT_FALSE(g_timerRunning);
    EXPECT_TRUE(nullbackend::IsGapiSuspended());
    EXPECT_EQ(app.suspends, 1);
    app.ClearFullRedraw();
    Send(WM_SETFOCUS);
    EXPECT_TRUE(g_timerRunning);
    EXPECT_FALSE(nullbackend::IsGapiSuspended());
    EXPECT_TRUE(app.IsFullRedrawRequested());
}

TEST_F(Handheld, NothingRunsWhileSuspendedButTheWindowStillCloses)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    g_suspended = true;
    Ticks(100, 30);
    EXPECT_EQ(app.ticks, 0);
    EXPECT_EQ(Send(WM_KEYUP, VK_F4), 0) << "every message goes to the default handler";
    EXPECT_FALSE(nullbackend::IsQuitPosted());
    Send(WM_DESTROY);
    EXPECT_TRUE(nullbackend::IsQuitPosted());
}

TEST_F(Handheld, PowerNotificationsSuspendAndResumeThroughThePauseDialog)
{
    DeviceProfile profile = Screen(240, 320, true);
    profile.minorVersion = 20;
    HandheldApp& app = Start(profile);
    StartPowerWatcher();
    EXPECT_EQ(nullbackend::CallCount("SetThreadPriority"), 1);
    // The watcher asks for notifications on its own thread; a transition before that is not its.
    for (int i = 0; i < 500 && nullbackend::CallCount("RequestPowerNotifications") == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    nullbackend::SimulatePowerSuspend();
    for (int i = 0; i < 500 && !g_suspended; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(g_suspended);
    EXPECT_TRUE(g_paintThrough);
    EXPECT_EQ(g_resumeCountdown, 500);
    nullbackend::SimulatePowerOn();
    for (int i = 0; i < 500 && g_suspended; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_FALSE(g_suspended);

    app.ClearFullRedraw();
    Ticks(499, 30);
    EXPECT_EQ(app.ticks, 0) << "no frame until the countdown ends";
    EXPECT_EQ(app.suspends, 0);
    Ticks(1, 30);
    EXPECT_EQ(app.suspends, 1);
    EXPECT_TRUE(app.IsFullRedrawRequested());
    EXPECT_EQ(g_displayRecheckCountdown, 30);
    Ticks(1, 30);
    EXPECT_EQ(app.ticks, 1);
    StopPowerWatcher();
    EXPECT_EQ(nullbackend::LoadedModuleCount(), 0);
}

TEST_F(Handheld, SleepSeenByThePollingThreadSuspendsAtTheNextFrame)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    int threads = nullbackend::LiveThreadCount();
    StartPowerWatcher();
    EXPECT_EQ(nullbackend::LiveThreadCount(), threads + 1);
    ASSERT_TRUE(nullbackend::SimulateSleepGap(2000));
    ASSERT_TRUE(nullbackend::WaitForQueuedMessage(kSleepNoticeMessage, 5000));
    EXPECT_EQ(Send(kSleepNoticeMessage), 1);
    EXPECT_EQ(g_delayedSuspendCountdown, 1);
    EXPECT_EQ(g_displayRecheckCountdown, 30);
    Ticks(1, 30);
    EXPECT_EQ(app.suspends, 1);

    g_delayedSuspendCountdown = -1;
    g_displayRecheckCountdown = -1;
    app.RequestQuit(0);
    Send(kSleepNoticeMessage);
    EXPECT_EQ(g_delayedSuspendCountdown, -1) << "a pending quit leaves the notice unanswered";
    EXPECT_EQ(g_displayRecheckCountdown, -1);
    StopPowerWatcher();
    EXPECT_EQ(nullbackend::LiveThreadCount(), threads);
}

TEST_F(Handheld, OpenUrlQuitsOnlyWhenTheBrowserStarted)
{
    HandheldApp& app = Start(Screen(240, 320, true));
    nullbackend::FailProcessStarts(true);
    OpenUrl("https://example.org/");
    EXPECT_FALSE(app.IsQuitRequested());
    nullbackend::FailProcessStarts(false);
    OpenUrl("https://example.org/");
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(nullbackend::StartedProcesses().size(), 1u);
}

TEST_F(Handheld, WinMainRunsTheFrameAndEndsWithTheRightCode)
{
    RunOptions run;
    run.frameLimit = 20;
    SetRunOptions(run);
    nullbackend::SetClock(5000);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 0);
    EXPECT_EQ(g_application, nullptr);
    EXPECT_EQ(GetPresentedFrameCount(), 20);
    EXPECT_EQ(ProcessExitStatus(), 0);
    // 800x480 takes the raw frame buffer, whose refreshes by the display count for nothing: the run
    // stops on the program's 20th frame, cleared to (20 x 37, 20 x 11, 255 - 20 x 5) & 255 =
    // (228, 220, 155), in 5:6:5 28 << 11 | 55 << 5 | 19.
    PresentedFrame last;
    ASSERT_TRUE(GetPresentedFrame(&last));
    EXPECT_EQ(last.pixels[0], 0xE6F3);
    EXPECT_EQ(last.pixels.back(), 0xE6F3);
    EXPECT_EQ(nullbackend::LoadedModuleCount(), 0);

    Fresh(DeviceProfile());
    SetRunOptions(RunOptions());
    g_failLanguage = true;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 1) << "a failed start-up shows in the code";
    EXPECT_EQ(ProcessExitStatus(), 1) << "and ends the process as a failure";
    g_failLanguage = false;

    // A quit the application asks for ends the run with its code.
    Fresh(DeviceProfile());
    SetStringResource(102, "Quitting_Window");
    struct QuitSoon {
        static void Arm()
        {
            if (g_made)
                static_cast<WinMainApp*>(g_made)->quitAfter = 5;
        }
    };
    SetPresentHook(QuitSoon::Arm);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 3);
    EXPECT_EQ(ProcessExitStatus(), 0) << "a quit the player asked for is a success to the shell";
    SetPresentHook(nullptr);
    SetStringResource(102, nullptr);
}

TEST_F(Handheld, SecondInstanceEndsWithZero)
{
    std::string lock = std::string(getenv("KELO_SAVE_DIR")) + "/Held_Window.lock";
    int other = open(lock.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_TRUE(LockAsAnotherProgram(other));
    SetStringResource(102, "Held_Window");
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 0);
    EXPECT_TRUE(IsSecondInstance());
    EXPECT_EQ(nullbackend::CallCount("CreateWindowEx"), 0);
    SetStringResource(102, nullptr);
    close(other);
}

TEST_F(Handheld, LastFrameIsWrittenAsPng)
{
    HandheldApp& app = Start(Screen(240, 320, false));
    app.GetScreenSurface()->Clear(255, 0, 0);
    Present();
    std::string path = std::string(getenv("KELO_SAVE_DIR")) + "/shot.png";
    ASSERT_TRUE(WritePresentedFramePng(path.c_str()).ok());
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char head[24] = {};
    EXPECT_EQ(fread(head, 1, sizeof head, file), sizeof head);
    fclose(file);
    EXPECT_EQ(memcmp(head + 1, "PNG", 3), 0);
    EXPECT_EQ((head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19], 240);
    EXPECT_EQ((head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23], 320);
    EXPECT_TRUE(WritePresentedFramePng("/nonexistent-folder/x.png").failed());
}

#include "engine/core/application.h"
#include "engine/core/display.h"
#include "engine/core/main_window.h"
#include "engine/core/message_box.h"
#include "engine/core/power_watcher.h"
#include "engine/core/tell_player.h"
#include "engine/sound/sound_manager.h"
#include "platform/clock.h"
#include "platform/module.h"
#include "platform/window.h"

namespace {
HMODULE g_coredll = nullptr;
bool g_startFailed = false;

// What a close saves, where the session ends with no close to run (the display lost): the game's
// resume record, and global.opt with it.
bool SaveAsAClose()
{
    return g_application && g_application->SaveResumeState();
}

void ReleaseCoredll()
{
    if (g_coredll)
        FreeLibrary(g_coredll);
    g_coredll = nullptr;
    g_displaySettings = nullptr;
}
}  // namespace

bool BeginRun(HINSTANCE instance, int show)
{
    g_instance = instance;
    g_startFailed = false;
    g_coredll = LoadLibrary("coredll.dll");
    if (g_coredll) {
        g_displaySettings = reinterpret_cast<ChangeDisplaySettingsExProc>(GetProcAddress(g_coredll, "ChangeDisplaySettingsEx"));
        if (!g_displaySettings) {
            FreeLibrary(g_coredll);
            g_coredll = nullptr;
        }
    }

    // A run says each thing once, over a drawn screen where one comes.
    ForgetWhatWasSaid();
    Application* app = nullptr;
    if (CreateMainWindow(instance, show)) {
        app = CreateApplication();
        g_application = app;
        if (!app)
            TellPlayer("Kelo cannot start: no memory left.");
        HoldMessageBoxes(app != nullptr);
    }
    if (!app || !AppInit(g_mainWindow)) {
        // A start that fails without a word (memory, the window's picture) still says so.
        if (app && !SaidAnything())
            TellPlayer("Kelo cannot start: no memory left for its screen, or its window cannot show a picture.");
        HoldMessageBoxes(false);
        delete app;
        g_application = nullptr;
        ShutdownDisplay();
        ReleaseCoredll();
        g_startFailed = !IsSecondInstance();
        return false;
    }

    g_lastFrameTick = GetTickCount();
    SetSessionEndSave(SaveAsAClose);
    StartPowerWatcher();
    return true;
}

int EndRun(const MSG& quit)
{
    SetSessionEndSave(nullptr);
    StopPowerWatcher();
    Application* app = g_application;
    int code = static_cast<int>(quit.wParam);
    if (app) {
        if (SoundManagerBase* sound = app->GetSoundManager())
            sound->SetPaused(false);
        if (app->IsQuitRequested())
            code = app->GetExitCode();
    }
    // What waits is shown over the last picture; what the closing says, at once.
    HoldMessageBoxes(false);
    delete app;
    g_application = nullptr;
    ShutdownDisplay();
    ReleaseCoredll();
    return code;
}

// Answers the code of the quit: the one the application stored when it asked to quit, else the
// quit message's. A start-up that fails answers 1, so that the failure shows; a second instance,
// which only brings the first forward, answers 0.
int WinMain(HINSTANCE instance, HINSTANCE, char*, int show)
{
    if (!BeginRun(instance, show))
        return g_startFailed ? 1 : 0;
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        Sleep(0);
    }
    return EndRun(msg);
}

int ProcessExitStatus()
{
    return g_startFailed ? 1 : 0;
}

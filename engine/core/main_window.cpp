#include "engine/core/main_window.h"

#include "engine/core/frame_timing.h"

Application* g_application = nullptr;
HWND g_mainWindow = nullptr;
bool g_timerRunning = false;
std::atomic<bool> g_suspended{false};
std::atomic<bool> g_paintThrough{false};
std::atomic<int> g_resumeCountdown{0};
int g_displayRecheckCountdown = -1;
int g_delayedSuspendCountdown = -1;
uint32_t g_lastFrameTick = 0;
bool g_quitPosted = false;

namespace {
void (*g_presentHook)() = nullptr;
}

void StartTimer()
{
    g_timerRunning = true;
}

void StopTimer()
{
    g_timerRunning = false;
}

void StopTimerAndQuit()
{
    StopTimer();
    g_quitPosted = true;
}

void Present()
{
    UpdateFrameRateText();
    if (g_presentHook)
        g_presentHook();
}

void PresentBorders() {}

void RecheckDisplayOrientation() {}

void SetPresentHook(void (*hook)())
{
    g_presentHook = hook;
}

#pragma once
// Process-wide values of the main window, and the calls the frame and input make into the window,
// display and power code. Stand-in until the window procedure, the display paths and the power
// watcher land: the values start as on the handheld, the timer is a flag, the quit message is
// recorded, and presenting runs the frame-rate text and an optional hook.
#include <atomic>
#include <cstdint>

#include "platform/base.h"

class Application;

extern Application* g_application;
extern HWND g_mainWindow;
extern bool g_timerRunning;
// Written by the power watcher thread, read by the main thread.
extern std::atomic<bool> g_suspended;
extern std::atomic<bool> g_paintThrough;
extern std::atomic<int> g_resumeCountdown;
extern int g_displayRecheckCountdown;
extern int g_delayedSuspendCountdown;
// Tick of the last accepted variable-step frame.
extern uint32_t g_lastFrameTick;
// Stand-in for the posted quit message.
extern bool g_quitPosted;

void StartTimer();
void StopTimer();
void StopTimerAndQuit();
void Present();
void PresentBorders();
void RecheckDisplayOrientation();
// Stand-in: what Present does after the frame-rate text until the display paths exist.
void SetPresentHook(void (*hook)());

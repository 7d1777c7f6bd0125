#pragma once
// The process's outer shell: the entry, the one main window and its procedure, the window timer,
// full screen, and the process-wide values the frame, input, display and power code share.
#include <atomic>
#include <cstdint>

#include "platform/base.h"

class Application;
struct MSG;

extern Application* g_application;
extern HWND g_mainWindow;
extern HINSTANCE g_instance;
extern bool g_timerRunning;
// Written by the power watcher thread, read by the main thread.
extern std::atomic<bool> g_suspended;
extern std::atomic<bool> g_paintThrough;
extern std::atomic<int> g_resumeCountdown;
extern int g_displayRecheckCountdown;
extern int g_delayedSuspendCountdown;
// Tick of the last accepted variable-step frame.
extern uint32_t g_lastFrameTick;
// Set when StopTimerAndQuit has posted the quit message.
extern bool g_quitPosted;

// The private message the sleep-polling watcher posts after a stall.
constexpr unsigned kSleepNoticeMessage = 2025;

// The process entry; the engine's quit code (see WinMain in win_main.cpp for what it answers).
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int show);
// WinMain without its message loop, for a caller that runs the loop itself: BeginRun does all
// before it (false when the program did not start, with everything released); EndRun all after
// it, given the quit message, and answers WinMain's code.
bool BeginRun(HINSTANCE instance, int show);
int EndRun(const MSG& quit);
// What the process ends with after WinMain: 1 when the last run failed to start (no window, data
// that would not load), else 0. A player's quit carries its own code inside the engine (the
// corner button's 2), but to a shell every quit is a success.
int ProcessExitStatus();
bool CreateMainWindow(HINSTANCE instance, int show);
LRESULT WindowProc(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);
// True when CreateMainWindow found the program already running.
bool IsSecondInstance();

void StartTimer();
void StopTimer();
void StopTimerAndQuit();
void EnterFullScreen(HWND window);
void LeaveFullScreen();
void ResumeFullScreen();
void PassTalkKeyToSystem();
// Opens the address in the browser and, when the browser started, asks the application to quit.
void OpenUrl(const char* url);

void Present();
void PresentBorders();
void RecheckDisplayOrientation();
// Called at the end of every Present, for tests that count frames.
void SetPresentHook(void (*hook)());

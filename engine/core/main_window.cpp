#include "engine/core/main_window.h"

#include "engine/core/application.h"
#include "engine/core/display.h"
#include "engine/core/power_watcher.h"
#include "engine/sound/sound_manager.h"
#include "platform/clock.h"
#include "platform/device.h"
#include "platform/display_settings.h"
#include "platform/gapi.h"
#include "platform/gdi.h"
#include "platform/keys.h"
#include "platform/module.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/threads.h"
#include "platform/window.h"

Application* g_application = nullptr;
HWND g_mainWindow = nullptr;
HINSTANCE g_instance = nullptr;
bool g_timerRunning = false;
std::atomic<bool> g_suspended{false};
std::atomic<bool> g_paintThrough{false};
std::atomic<int> g_resumeCountdown{0};
int g_displayRecheckCountdown = -1;
int g_delayedSuspendCountdown = -1;
uint32_t g_lastFrameTick = 0;
bool g_quitPosted = false;

namespace {
bool g_secondInstance = false;

constexpr DWORD kHideAll = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
constexpr DWORD kShowAll = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;
}  // namespace

void StartTimer()
{
    if (g_mainWindow && !g_timerRunning) {
        SetTimer(g_mainWindow, 1, 1, nullptr);
        g_timerRunning = true;
    }
}

void StopTimer()
{
    if (g_timerRunning) {
        KillTimer(g_mainWindow, 1);
        g_timerRunning = false;
    }
}

void StopTimerAndQuit()
{
    StopTimer();
    PostQuitMessage(0);
    g_quitPosted = true;
}

bool IsSecondInstance()
{
    return g_secondInstance;
}

bool CreateMainWindow(HINSTANCE instance, int show)
{
    char className[100] = "Tarvane_Engine_Window";
    char title[100] = "Tarvane Engine 2.5";
    LoadString(instance, 102, className, sizeof className);
    LoadString(instance, 103, title, sizeof title);

    g_secondInstance = false;
    if (HWND found = FindWindow(className, title)) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(found) | 1));
        g_secondInstance = true;
        return false;
    }

    WNDCLASS windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIcon(instance, 101);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClass(&windowClass);

    g_mainWindow = CreateWindowEx(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!g_mainWindow)
        return false;
    ShowWindow(g_mainWindow, show);
    UpdateWindow(g_mainWindow);
    return true;
}

void EnterFullScreen(HWND window)
{
    SIPINFO sip;
    sip.cbSize = sizeof sip;
    if (SipGetInfo(&sip)) {
        sip.fdwFlags &= ~SIPF_ON;
        SipSetInfo(&sip);
    }
    SHFullScreen(window, kHideAll);
    MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), FALSE);
}

void LeaveFullScreen()
{
    if (g_gapiOpen && !g_rawFrameBuffer)
        GXSuspend();
    AllKeys(FALSE);
    SHFullScreen(g_mainWindow, kShowAll);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(g_mainWindow, work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
}

void ResumeFullScreen()
{
    EnterFullScreen(g_mainWindow);
    if (g_gapiOpen && !g_rawFrameBuffer)
        GXResume();
    AllKeys(TRUE);
}

void PassTalkKeyToSystem()
{
    if (HWND desktop = GetDesktopWindow())
        SetForegroundWindow(desktop);
    keybd_event(static_cast<BYTE>(VK_F3), 0, 0, 0);
    keybd_event(static_cast<BYTE>(VK_F3), 0, KEYEVENTF_KEYUP, 0);
}

void OpenUrl(const char* url)
{
    if (!url)
        return;
    PROCESS_INFORMATION info;
    if (!CreateProcess("iexplore.exe", url, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info))
        return;
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    if (g_application)
        g_application->RequestQuit(0);
}

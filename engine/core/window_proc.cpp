#include <algorithm>

#include "engine/core/application.h"
#include "engine/core/display.h"
#include "engine/core/engine_keys.h"
#include "engine/core/frame_timing.h"
#include "engine/core/input.h"
#include "engine/core/main_window.h"
#include "engine/core/pointer_phase.h"
#include "engine/sound/sound_manager.h"
#include "platform/gapi.h"
#include "platform/ime.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace {

// Input after the resume countdown has run out ends painting through WM_PAINT.
void InputClearsPaintFlag()
{
    if (g_resumeCountdown <= 0)
        g_paintThrough = false;
}

void SetSoundPaused(bool paused)
{
    if (Application* app = g_application) {
        if (SoundManagerBase* sound = app->GetSoundManager())
            sound->SetPaused(paused);
    }
}

UINT RealVirtualKey(UINT vk)
{
    if (vk != VK_PROCESSKEY || ImmGetVirtualKey(g_mainWindow) != VK_PROCESSKEY)
        return vk;
    HIMC context = ImmGetContext(g_mainWindow);
    if (!context)
        return vk;
    if (INPUTCONTEXT* held = ImmLockIMC(context)) {
        vk = held->virtualKey;
        ImmUnlockIMC(context);
    }
    ImmReleaseContext(g_mainWindow, context);
    return vk;
}

void ChangeVolumes(Application* app, int step)
{
    int sound = std::clamp(app->GetSoundVolume() + step, 0, 100);
    int music = std::clamp(app->GetMusicVolume() + step, 0, 100);
    app->SetSoundVolume(sound);
    app->SetMusicVolume(music);
}

LRESULT OnKeyMessage(UINT vk, bool down)
{
    vk = RealVirtualKey(vk);
    InputClearsPaintFlag();
    Application* app = g_application;
    switch (vk) {
    case VK_F3:
        if (!down) {
            AllKeys(FALSE);
            PassTalkKeyToSystem();
            StopTimerAndQuit();
        }
        return 1;
    case VK_F4:
        if (!down) {
            AllKeys(FALSE);
            StopTimerAndQuit();
        }
        return 1;
    case VK_F6:
        if (down && app)
            ChangeVolumes(app, app->GetVolumeStep());
        return 0;
    case VK_F7:
        if (down && app)
            ChangeVolumes(app, -app->GetVolumeStep());
        return 0;
    case VK_LWIN:
    case VK_RWIN:
    case VK_F23:
    case VK_F21:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_SHIFT:
    case VK_F20:
    case VK_ESCAPE:
    case VK_MENU:
        return 0;
    default:
        if (app)
            OnVirtualKey(static_cast<int>(vk), down);
        return 0;
    }
}

bool IsTypedCharacter(WPARAM c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '\'' || c == 8;
}

bool IsDigitCharacter(WPARAM c)
{
    return c >= '0' && c <= '9';
}

void OnStylus(LPARAM lParam, int kind)
{
    if (Application* app = g_application) {
        int x = LOWORD(static_cast<uintptr_t>(lParam)) >> g_halfResShift;
        int y = HIWORD(static_cast<uintptr_t>(lParam)) >> g_halfResShift;
        app->OnPointer(x, y, kind);
    }
}

}  // namespace

LRESULT WindowProc(HWND window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (g_suspended) {
        // A lost power-on notice must not keep the window from closing.
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProc(window, message, wParam, lParam);
    }
    Application* app = g_application;
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            ResumeFullScreen();
        else
            LeaveFullScreen();
        if (app)
            app->LatchKey(kKeyAction);
        return 0;
    case WM_SETFOCUS:
        if (window == g_mainWindow) {
            RecheckDisplayOrientation();
            if (g_gapiOpen)
                GXResume();
            StartTimer();
            if (app)
                app->RequestFullRedraw();
            SetSoundPaused(false);
            AllKeys(TRUE);
        }
        return 0;
    case WM_KILLFOCUS:
        SetSoundPaused(true);
        if (window == g_mainWindow) {
            if (g_gapiOpen)
                GXSuspend();
            if (app)
                app->OnSuspend();
            StopTimer();
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        if (g_paintThrough && g_dibBuffer)
            g_dibBuffer->Present();
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET)
            g_displayRecheckCountdown = 30;
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return OnKeyMessage(static_cast<UINT>(wParam), message == WM_KEYDOWN);
    case WM_CHAR:
        InputClearsPaintFlag();
        // Return as a character is a keyboard's: the name entry takes it as OK.
        if (app && (IsTypedCharacter(wParam) || wParam == '\r' || (IsDigitCharacter(wParam) && app->TakesDigits())))
            app->OnChar(static_cast<int>(wParam));
        return 0;
    case WM_TIMER:
        OnTimerTick(window);
        return 0;
    case WM_LBUTTONDOWN:
        InputClearsPaintFlag();
        OnStylus(lParam, kPointerDown);
        return 0;
    case WM_MOUSEMOVE:
        OnStylus(lParam, kPointerMove);
        return 0;
    case WM_LBUTTONUP:
        InputClearsPaintFlag();
        OnStylus(lParam, kPointerUp);
        return 0;
    case kSleepNoticeMessage:
        if (app && !app->IsQuitRequested()) {
            g_displayRecheckCountdown = 30;
            g_delayedSuspendCountdown = 1;
            app->RequestFullRedraw();
        }
        return 1;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

#include <mutex>
#include <utility>
#include <vector>

#include "platform/common/probes_internal.h"
#include "platform/gapi.h"
#include "platform/handheld_internal.h"
#include "platform/ime.h"
#include "platform/keys.h"
#include "platform/shell.h"
#include "platform/window.h"

using platform_internal::CountCall;

namespace {
std::mutex g_lock;
DWORD g_fullScreenState = 0;
DWORD g_sipFlags = SIPF_ON;
bool g_keysGrabbed = false;
std::vector<std::pair<BYTE, bool>> g_sentKeys;

struct InputMethodState {
    UINT heldKey = 0;
    INPUTCONTEXT context;
    int locks = 0;
} g_ime;
}  // namespace

struct InputMethodContext {};
static InputMethodContext g_imeContext;

BOOL SHFullScreen(HWND window, DWORD state)
{
    CountCall("SHFullScreen");
    if (!window)
        return FALSE;
    std::lock_guard<std::mutex> hold(g_lock);
    g_fullScreenState = state;
    return TRUE;
}

BOOL SipGetInfo(SIPINFO* info)
{
    CountCall("SipGetInfo");
    if (!info || info->cbSize != sizeof(SIPINFO))
        return FALSE;
    std::lock_guard<std::mutex> hold(g_lock);
    info->fdwFlags = g_sipFlags;
    info->rcVisibleDesktop = RECT{0, 0, 0, 0};
    info->rcSipRect = RECT{0, 0, 0, 0};
    info->dwImDataSize = 0;
    info->pvImData = nullptr;
    return TRUE;
}

BOOL SipSetInfo(SIPINFO* info)
{
    CountCall("SipSetInfo");
    if (!info || info->cbSize != sizeof(SIPINFO))
        return FALSE;
    std::lock_guard<std::mutex> hold(g_lock);
    g_sipFlags = info->fdwFlags;
    return TRUE;
}

BOOL AllKeys(BOOL all)
{
    CountCall("AllKeys");
    std::lock_guard<std::mutex> hold(g_lock);
    g_keysGrabbed = all != FALSE;
    return TRUE;
}

void keybd_event(BYTE virtualKey, BYTE, DWORD flags, uintptr_t)
{
    CountCall("keybd_event");
    std::lock_guard<std::mutex> hold(g_lock);
    g_sentKeys.emplace_back(virtualKey, (flags & KEYEVENTF_KEYUP) == 0);
}

UINT ImmGetVirtualKey(HWND)
{
    CountCall("ImmGetVirtualKey");
    return g_ime.heldKey ? VK_PROCESSKEY : 0;
}

HIMC ImmGetContext(HWND window)
{
    CountCall("ImmGetContext");
    g_ime.context.hWnd = window;
    return &g_imeContext;
}

INPUTCONTEXT* ImmLockIMC(HIMC context)
{
    if (context != &g_imeContext)
        return nullptr;
    ++g_ime.locks;
    g_ime.context.virtualKey = g_ime.heldKey;
    return &g_ime.context;
}

BOOL ImmUnlockIMC(HIMC context)
{
    if (context != &g_imeContext || g_ime.locks == 0)
        return FALSE;
    --g_ime.locks;
    return TRUE;
}

BOOL ImmReleaseContext(HWND, HIMC context)
{
    CountCall("ImmReleaseContext");
    return context == &g_imeContext ? TRUE : FALSE;
}

namespace platform_internal {

void ResetShell()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_fullScreenState = 0;
    g_sipFlags = SIPF_ON;
    g_keysGrabbed = false;
    g_sentKeys.clear();
    g_ime = InputMethodState();
}

DWORD FullScreenState()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_fullScreenState;
}

DWORD InputPanelFlags()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_sipFlags;
}

bool KeysGrabbed()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_keysGrabbed;
}

std::vector<std::pair<BYTE, bool>> KeysSent()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_sentKeys;
}

void HoldImeKey(UINT virtualKey)
{
    g_ime.heldKey = virtualKey;
}

}  // namespace platform_internal

#pragma once
// The input method. When it has taken a key, the key message carries VK_PROCESSKEY and its
// context holds the real key.
#include "platform/base.h"

struct INPUTCONTEXT {
    HWND hWnd = nullptr;
    UINT virtualKey = 0;  // the key behind the last VK_PROCESSKEY
};

// VK_PROCESSKEY while the input method holds a key, else 0.
UINT ImmGetVirtualKey(HWND window);
HIMC ImmGetContext(HWND window);
INPUTCONTEXT* ImmLockIMC(HIMC context);
BOOL ImmUnlockIMC(HIMC context);
BOOL ImmReleaseContext(HWND window, HIMC context);

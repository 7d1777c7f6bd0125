#pragma once
// The shell's full-screen switch and the input panel. The virtual handheld has neither a task bar
// nor an input panel: the calls are counted and remembered, nothing else.
#include "platform/base.h"

constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

BOOL SHFullScreen(HWND window, DWORD state);

constexpr DWORD SIPF_ON = 0x00000001;
struct SIPINFO {
    DWORD cbSize = 0;
    DWORD fdwFlags = 0;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize = 0;
    void* pvImData = nullptr;
};

// cbSize must be sizeof(SIPINFO).
BOOL SipGetInfo(SIPINFO* info);
BOOL SipSetInfo(SIPINFO* info);

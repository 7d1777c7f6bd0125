#pragma once
// The game display interface: a frame buffer the program writes between GXBeginDraw and
// GXEndDraw, and the key grab. On a screen wider than 320 it reports half the screen's size and
// each of its pixels covers two by two on the screen, as the handheld's did.
#include "platform/base.h"

struct GXDisplayProperties {
    DWORD cxWidth = 0;
    DWORD cyHeight = 0;
    LONG cbxPitch = 0;  // bytes between horizontally adjacent pixels
    LONG cbyPitch = 0;  // bytes between rows
    LONG cBPP = 0;
    DWORD ffFormat = 0;
};

constexpr DWORD kfLandscape = 0x8;
constexpr DWORD kfPalette = 0x10;
constexpr DWORD kfDirect = 0x20;
constexpr DWORD kfDirect555 = 0x40;
constexpr DWORD kfDirect565 = 0x80;
constexpr DWORD GX_FULLSCREEN = 0x01;

// 0 when the device profile says the display cannot be opened.
int GXOpenDisplay(HWND window, DWORD flags);
int GXCloseDisplay();
// Null while the display is closed or suspended.
void* GXBeginDraw();
// Shows what was drawn.
int GXEndDraw();
GXDisplayProperties GXGetDisplayProperties();
int GXSuspend();
int GXResume();
// The key grab; it changes nothing on the virtual handheld, which gives every key to the program.
BOOL AllKeys(BOOL all);

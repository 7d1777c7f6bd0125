#pragma once
// Display orientation. Turning the display by a quarter swaps the size GetSystemMetrics reports;
// the device profile's screen size is the display at DMDO_0.
#include "platform/base.h"

struct DEVMODE {
    WORD dmSize = 0;
    DWORD dmFields = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
    DWORD dmDisplayOrientation = 0;
};

constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYORIENTATION = 0x00800000;
constexpr DWORD DMDO_0 = 0;
constexpr DWORD DMDO_90 = 1;
constexpr DWORD DMDO_180 = 2;
constexpr DWORD DMDO_270 = 4;
constexpr DWORD CDS_TEST = 0x00000002;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_BADMODE = -2;
constexpr LONG DISP_CHANGE_BADPARAM = -5;

// With CDS_TEST the current orientation (and size) is read into the mode; without, the mode's
// orientation is set. Only DM_DISPLAYORIENTATION is understood.
LONG ChangeDisplaySettingsEx(const char* device, DEVMODE* mode, HWND window, DWORD flags, void* param);
using ChangeDisplaySettingsExProc = LONG (*)(const char*, DEVMODE*, HWND, DWORD, void*);

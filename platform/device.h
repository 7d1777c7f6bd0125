#pragma once
// What the handheld is: screen size, model text, system version, touch screen, and what its
// display and system answer.
#include <string>

#include "platform/base.h"

struct DeviceProfile {
    int screenWidth = 800;
    int screenHeight = 480;
    std::string oemText;  // SPI_GETOEMINFO
    // The screen size above is the display at this orientation's DMDO_0.
    bool rawFrameBuffer = true;     // the GETRAWFRAMEBUFFER escape answers
    bool gapiOpens = true;          // GXOpenDisplay succeeds
    bool displaySettings = true;    // coredll.dll has ChangeDisplaySettingsEx
    bool powerFunctions = true;     // coredll.dll has the message queue and power calls
    DWORD displayOrientation = 0;   // DMDO_* at start
    DWORD majorVersion = 4;         // GetVersionEx; 4.10 watches power by polling
    DWORD minorVersion = 10;
    bool touchScreen = true;
};

// The sides KELO_SCREEN may give: the largest is near the largest handheld screen made, and keeps a
// run's frames and surfaces within its memory.
constexpr int kSmallestScreenSide = 16;
constexpr int kLargestScreenSide = 2048;

// The profile read at start-up from KELO_SCREEN ("800x480") and KELO_OEM.
const DeviceProfile& GetDeviceProfile();
// Tests and the start-up code may replace it.
void SetDeviceProfile(const DeviceProfile& profile);
// Parses "WIDTHxHEIGHT", each side within the bounds above; false leaves the outputs untouched.
bool ParseScreenSize(const char* text, int* width, int* height);
// Parses "MAJOR.MINOR" ("4.20"); false leaves the outputs untouched.
bool ParseSystemVersion(const char* text, DWORD* major, DWORD* minor);

struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
constexpr DWORD VER_PLATFORM_WIN32_CE = 3;
// dwOSVersionInfoSize must be sizeof(OSVERSIONINFO).
BOOL GetVersionEx(OSVERSIONINFO* info);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
// The screen in its current orientation.
int GetSystemMetrics(int index);

constexpr UINT SPI_GETWORKAREA = 48;
constexpr UINT SPI_GETOEMINFO = 258;
// SPI_GETOEMINFO copies the model text (8-bit, NUL-terminated, cut to the buffer of param bytes);
// SPI_GETWORKAREA fills four LONGs {left, top, right, bottom} with the whole screen.
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);

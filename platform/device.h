#pragma once
// What the handheld is: screen size, model text, system version, touch screen.
#include <string>

#include "platform/base.h"

struct DeviceProfile {
    int screenWidth = 800;
    int screenHeight = 480;
    std::string oemText;  // SPI_GETOEMINFO
    bool rawFrameBuffer = false;
    DWORD majorVersion = 5;
    DWORD minorVersion = 0;
    bool touchScreen = true;
};

// The profile read at start-up from KELO_SCREEN ("800x480") and KELO_OEM.
const DeviceProfile& GetDeviceProfile();
// Tests and the start-up code may replace it.
void SetDeviceProfile(const DeviceProfile& profile);
// Parses "WIDTHxHEIGHT"; false leaves the outputs untouched.
bool ParseScreenSize(const char* text, int* width, int* height);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

constexpr UINT SPI_GETWORKAREA = 48;
constexpr UINT SPI_GETOEMINFO = 258;
// SPI_GETOEMINFO copies the model text (8-bit, NUL-terminated, cut to the buffer of param bytes);
// SPI_GETWORKAREA fills four LONGs {left, top, right, bottom} with the whole screen.
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);

#include "platform/backend.h"

#include <cstdlib>
#include <cstring>

#include "platform/device.h"
#include "platform/internal.h"

namespace {
bool g_headless = true;
}

void PlatformStartup()
{
    const char* headless = getenv("KELO_HEADLESS");
    g_headless = headless && headless[0] && strcmp(headless, "0") != 0;

    DeviceProfile profile;
    const char* screen = getenv("KELO_SCREEN");
    if (screen && screen[0] && !ParseScreenSize(screen, &profile.screenWidth, &profile.screenHeight))
        platform_internal::Warn("KELO_SCREEN=%s is not WIDTHxHEIGHT; using 800x480", screen);
    if (const char* oem = getenv("KELO_OEM"))
        profile.oemText = oem;
    SetDeviceProfile(profile);
}

void PlatformShutdown() {}

bool PlatformIsHeadless()
{
    return g_headless;
}

#include "platform/device.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
DeviceProfile g_profile;

bool ParseDimension(const char* begin, const char* end, int* out)
{
    if (begin == end || end - begin > 5)
        return false;
    int value = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (*p - '0');
    }
    if (value < 16 || value > 8192)
        return false;
    *out = value;
    return true;
}
}  // namespace

const DeviceProfile& GetDeviceProfile()
{
    return g_profile;
}

void SetDeviceProfile(const DeviceProfile& profile)
{
    g_profile = profile;
}

bool ParseScreenSize(const char* text, int* width, int* height)
{
    if (!text)
        return false;
    const char* cross = strpbrk(text, "xX");
    if (!cross)
        return false;
    int w, h;
    if (!ParseDimension(text, cross, &w) || !ParseDimension(cross + 1, text + strlen(text), &h))
        return false;
    *width = w;
    *height = h;
    return true;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return g_profile.screenWidth;
    case SM_CYSCREEN:
        return g_profile.screenHeight;
    default:
        return 0;
    }
}

BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT)
{
    if (!data)
        return FALSE;
    if (action == SPI_GETOEMINFO) {
        if (param == 0)
            return FALSE;
        char* out = static_cast<char*>(data);
        size_t n = g_profile.oemText.size();
        if (n > param - 1)
            n = param - 1;
        memcpy(out, g_profile.oemText.data(), n);
        out[n] = 0;
        return TRUE;
    }
    if (action == SPI_GETWORKAREA) {
        LONG* rect = static_cast<LONG*>(data);
        rect[0] = 0;
        rect[1] = 0;
        rect[2] = g_profile.screenWidth;
        rect[3] = g_profile.screenHeight;
        return TRUE;
    }
    return FALSE;
}

#include "platform/device.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/internal.h"

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
    if (value < kSmallestScreenSide || value > kLargestScreenSide)
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
    platform_internal::ResetDisplayOrientation(profile.displayOrientation);
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

bool ParseSystemVersion(const char* text, DWORD* major, DWORD* minor)
{
    if (!text)
        return false;
    const char* dot = strchr(text, '.');
    if (!dot || dot == text || dot[1] == 0 || dot - text > 2 || strlen(dot + 1) > 2)
        return false;
    DWORD parts[2] = {0, 0};
    const char* ranges[2][2] = {{text, dot}, {dot + 1, text + strlen(text)}};
    for (int i = 0; i < 2; ++i) {
        for (const char* p = ranges[i][0]; p < ranges[i][1]; ++p) {
            if (*p < '0' || *p > '9')
                return false;
            parts[i] = parts[i] * 10 + static_cast<DWORD>(*p - '0');
        }
    }
    *major = parts[0];
    *minor = parts[1];
    return true;
}

BOOL GetVersionEx(OSVERSIONINFO* info)
{
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->dwMajorVersion = g_profile.majorVersion;
    info->dwMinorVersion = g_profile.minorVersion;
    info->dwBuildNumber = 0;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    info->szCSDVersion[0] = 0;
    return TRUE;
}

int GetSystemMetrics(int index)
{
    bool turned = platform_internal::DisplaySwapsAxes();
    switch (index) {
    case SM_CXSCREEN:
        return turned ? g_profile.screenHeight : g_profile.screenWidth;
    case SM_CYSCREEN:
        return turned ? g_profile.screenWidth : g_profile.screenHeight;
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
        rect[2] = GetSystemMetrics(SM_CXSCREEN);
        rect[3] = GetSystemMetrics(SM_CYSCREEN);
        return TRUE;
    }
    return FALSE;
}

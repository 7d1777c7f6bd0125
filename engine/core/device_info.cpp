#include "engine/core/device_info.h"

#include <cstring>

#include "platform/device.h"

bool StringContains(const char* needle, const char* haystack)
{
    if (!needle || !haystack)
        return false;
    size_t n = strlen(needle), h = strlen(haystack);
    if (n > h)
        return false;
    for (size_t i = 0; i + n <= h; ++i) {
        if (memcmp(haystack + i, needle, n) == 0)
            return true;
    }
    return false;
}

bool OemInfoContains(const char* text)
{
    char oem[256];
    if (!SystemParametersInfo(SPI_GETOEMINFO, sizeof oem, oem, 0))
        return false;
    return StringContains(text, oem);
}
